# The libraries of a Windows build, made by the cross compiler from Debian's
# own sources and headers (scripts/lapforge-setup.sh windows fetches the
# sources): pugixml and libsquish compiled from their Debian source
# packages, tinygltf and stb from Debian's headers with their implementation
# compiled here, and the header-only CLI11, nlohmann-json and Eigen. Each
# gets the target or variables its find_package gives on Linux, so the rest
# of the build is the same.
set(LAPFORGE_PUGIXML_SOURCE "" CACHE PATH "Debian's pugixml source (apt-get source pugixml)")
set(LAPFORGE_SQUISH_SOURCE "" CACHE PATH "Debian's libsquish source (apt-get source libsquish)")
set(LAPFORGE_DEBIAN_INCLUDE /usr/include CACHE PATH "Debian's header folder")
foreach(_src LAPFORGE_PUGIXML_SOURCE LAPFORGE_SQUISH_SOURCE)
  if(NOT IS_DIRECTORY "${${_src}}")
    message(FATAL_ERROR "${_src} must name an unpacked Debian source package (see scripts/lapforge-setup.sh windows)")
  endif()
endforeach()

# The header-only libraries are reached through links in the build folder:
# the whole of /usr/include would give the cross compiler Linux's C headers.
set(_inc ${CMAKE_BINARY_DIR}/debian-include)
file(MAKE_DIRECTORY ${_inc})
foreach(_h CLI nlohmann stb tiny_gltf.h eigen3/Eigen)
  get_filename_component(_name ${_h} NAME)
  if(NOT EXISTS ${LAPFORGE_DEBIAN_INCLUDE}/${_h})
    message(FATAL_ERROR "${LAPFORGE_DEBIAN_INCLUDE}/${_h} is missing (Debian's headers of the libraries)")
  endif()
  if(NOT EXISTS ${_inc}/${_name})
    file(CREATE_LINK ${LAPFORGE_DEBIAN_INCLUDE}/${_h} ${_inc}/${_name} SYMBOLIC)
  endif()
endforeach()

add_library(lapforge_headers INTERFACE)
target_include_directories(lapforge_headers SYSTEM INTERFACE ${_inc})
add_library(CLI11::CLI11 ALIAS lapforge_headers)
add_library(nlohmann_json::nlohmann_json ALIAS lapforge_headers)
add_library(Eigen3::Eigen ALIAS lapforge_headers)

add_library(lapforge_pugixml STATIC ${LAPFORGE_PUGIXML_SOURCE}/src/pugixml.cpp)
target_include_directories(lapforge_pugixml SYSTEM PUBLIC ${LAPFORGE_PUGIXML_SOURCE}/src)
target_compile_options(lapforge_pugixml PRIVATE -w)
add_library(pugixml::pugixml ALIAS lapforge_pugixml)

file(GLOB _squish ${LAPFORGE_SQUISH_SOURCE}/*.cpp)
add_library(lapforge_squish STATIC ${_squish})
target_compile_options(lapforge_squish PRIVATE -w)
set(SQUISH_LIBRARY lapforge_squish)
set(SQUISH_INCLUDE_DIR ${LAPFORGE_SQUISH_SOURCE})

# The implementations of the single-header libraries, tinygltf's with its
# image functions on stb as Debian builds it (the writer's TinyGLTF object
# refers to them).
set(_impl ${CMAKE_BINARY_DIR}/generated)
file(WRITE ${_impl}/stb_implementation.cpp
  "#define STB_IMAGE_IMPLEMENTATION\n#define STB_IMAGE_WRITE_IMPLEMENTATION\n"
  "#include <stb/stb_image.h>\n#include <stb/stb_image_write.h>\n")
add_library(lapforge_stb STATIC ${_impl}/stb_implementation.cpp)
target_link_libraries(lapforge_stb PRIVATE lapforge_headers)
target_compile_options(lapforge_stb PRIVATE -w)
set(STB_LIBRARY lapforge_stb)
set(STB_INCLUDE_DIR ${_inc})

file(WRITE ${_impl}/tinygltf_implementation.cpp "#define TINYGLTF_IMPLEMENTATION\n#include <tiny_gltf.h>\n")
add_library(lapforge_tinygltf STATIC ${_impl}/tinygltf_implementation.cpp)
target_link_libraries(lapforge_tinygltf PUBLIC lapforge_headers lapforge_stb)
# tiny_gltf.h includes <stb_image.h> without the stb/ folder.
target_include_directories(lapforge_tinygltf SYSTEM PRIVATE ${LAPFORGE_DEBIAN_INCLUDE}/stb)
target_compile_options(lapforge_tinygltf PRIVATE -w)
add_library(TinyGLTF::TinyGLTF ALIAS lapforge_tinygltf)

# GoogleTest from Debian's source (package googletest, /usr/src/googletest),
# which names its targets GTest::gtest and GTest::gtest_main itself.
if(LAPFORGE_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
endif()

# A program that needs only the system's own DLLs: the GCC runtime, the C++
# library and the thread library linked in. printf follows C99 (%zu, %lld,
# two-digit exponents) rather than the old system C library.
add_link_options(-static)
# GCC 12 warns of overlapping and overflowing copies inside std::string and
# std::vector that cannot happen; the Linux build with clang keeps those
# checks. The format checks are left to the Linux build too: GCC on MinGW
# checks printf-like functions against the formats of Microsoft's C library
# (no %zu), while the program uses MinGW's C99 printf, and the format
# strings are the same on both systems.
add_compile_options(-Wno-restrict -Wno-stringop-overflow -Wno-format)
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 _FILE_OFFSET_BITS=64 UNICODE _UNICODE)
