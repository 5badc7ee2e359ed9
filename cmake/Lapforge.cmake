# Helpers shared by the build files.

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# A core component: every .cpp of a folder as one static library. The glob
# does not descend: a subfolder is a component of its own. An empty folder
# still gives a library (from a generated stub) so that the dependency graph
# stays the same while the folders fill up.
function(lapforge_component target folder)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT _srcs)
    set(_stub ${CMAKE_BINARY_DIR}/stubs/${target}_stub.cpp)
    file(WRITE ${_stub} "// ${folder} has no sources yet\n")
    set(_srcs ${_stub})
  endif()
  add_library(${target} STATIC ${_srcs})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Stops the configuration when a library of the layer table links one that
# its layer may not use (see cmake/Layers.cmake).
function(lapforge_check_layer_links)
  lapforge_read_layers()
  foreach(_folder IN LISTS LAPFORGE_LAYER_FOLDERS)
    string(REPLACE "/" "_" _key ${_folder})
    set(_t ${LAPFORGE_TARGET_OF_${_key}})
    if(_t STREQUAL "-" OR NOT TARGET ${_t})
      continue()
    endif()
    get_target_property(_libs ${_t} LINK_LIBRARIES)
    get_target_property(_ilibs ${_t} INTERFACE_LINK_LIBRARIES)
    foreach(_l IN LISTS _libs _ilibs)
      if(NOT DEFINED LAPFORGE_FOLDER_OF_TARGET_${_l})
        continue()
      endif()
      set(_to ${LAPFORGE_FOLDER_OF_TARGET_${_l}})
      lapforge_arrow_allowed(${_folder} ${_to} _ok)
      if(NOT _ok)
        message(FATAL_ERROR "${_t} (${_folder}, layer ${LAPFORGE_LAYER_OF_${_key}}) links ${_l} "
                            "(${_to}, layer ${LAPFORGE_LAYER_OF_TARGET_${_l}}): a library links only downward")
      endif()
    endforeach()
  endforeach()
endfunction()

# Compiles every file of a resource folder into the target as a byte array.
# A file named NNN_kind_anything (kind "text" or "binary") becomes template
# NNN of that kind; its bytes are kept exactly.
function(lapforge_resources target folder)
  file(GLOB _res CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*)
  set(_out ${CMAKE_BINARY_DIR}/generated/lapforge_resources.cpp)
  add_custom_command(
    OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${_out} -DFILES="${_res}" -P ${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake
    DEPENDS ${_res} ${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake
    COMMENT "Embedding program templates")
  target_sources(${target} PRIVATE ${_out})
endfunction()

# A GoogleTest executable from every .cpp of a tests/ subfolder.
function(lapforge_test_folder name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(test_${name} ${_srcs})
  set(_libs lapforge_testsupport ${ARGN})
  foreach(_sub IN LISTS LAPFORGE_TEST_BUILDERS)
    if(TARGET lapforge_testsupport_${_sub} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/support/${_sub})
      # A folder's own builders, and those of the subsystems it is linked to.
      if(name STREQUAL _sub OR "lf_${_sub}" IN_LIST ARGN OR "lapforge_core" IN_LIST ARGN)
        list(APPEND _libs lapforge_testsupport_${_sub})
      endif()
    endif()
  endforeach()
  target_link_libraries(test_${name} PRIVATE ${_libs} GTest::gtest_main)
  add_test(NAME ${name} COMMAND test_${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "LAPFORGE_CONFIG=${CMAKE_BINARY_DIR}/test-settings/${name}.ini")
endfunction()
