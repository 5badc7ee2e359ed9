# The layers of the program, lowest first. Each folder of the core is one
# static library; a folder may include and link only its own files and
# folders of a lower layer, apart from the arrows within a layer listed in
# LAPFORGE_LAYER_ARROWS. The build refuses a library that links upward
# (lapforge_check_layer_links) and the test "layers" (cmake/CheckLayers.cmake)
# fails on an include that runs upward.
#
# The data flows description -> track -> mesh -> formats -> roads -> fronts;
# the mesh model sits below the track because it is the vocabulary that
# track meshing produces and the writers consume, and the shader dictionary
# sits just above the mesh model because it only fills mesh materials.
#
#   folder              layer  library (- for a front)
set(LAPFORGE_LAYERS
  support               0      lf_support
  description           1      lf_description
  description/tables    2      lf_tables
  mesh                  3      lf_mesh
  formats/shaders       4      lf_shaders
  ptf                   5      lf_ptf
  track                 6      lf_track
  gpl                   6      lf_gpl
  track/racingline      7      lf_racingline
  formats/base          8      lf_formats_base
  formats/mts           9      lf_mts
  formats/gmt           9      lf_gmt
  formats/3ds           9      lf_3ds
  formats/3se           9      lf_3se
  formats/gltf          9      lf_gltf
  formats/scene         9      lf_scene
  formats/aiw           9      lf_aiw
  mapping               10     lf_mapping
  roads                 11     lf_roads
  preview               12     lapforge_preview
  cli                   13     -
  draw                  13     -
  gui                   13     -)

# Arrows between folders of one layer, FROM>TO.
set(LAPFORGE_LAYER_ARROWS
  # The GMT family (rFactor, GTR, GTR2, GTL) builds on the MTS object code.
  formats/gmt>formats/mts
  # The command line loads its drawing module through draw/DrawModule.h
  # (no Qt); the module paints the PNG track map with gui/MapImage.
  cli>draw
  draw>gui)

# Downward arrows narrowed to single files, FROM>FILE: FROM may include
# nothing else of FILE's folder. The AI waypoint and camera writers place
# things through the track-query interface only, so they need not link the
# track model.
set(LAPFORGE_NARROW_ARROWS
  formats/aiw>track/TrackQuery.h)

# Files of a low folder that only folders from a given layer up may include,
# FILE>FOLDER (the lowest folder allowed), besides FILE's own folder. The
# core returns what went wrong (support/Result.h) and shows nothing: only
# the conversion driver and the fronts talk to the user-interface port.
set(LAPFORGE_RAISED_FILES
  support/UserInterface.h>roads)

# Sets out_folders to the folders of the table, out_layer_<folder> and
# out_target_<folder> (with / as _) in the caller's scope.
macro(lapforge_read_layers)
  set(LAPFORGE_LAYER_FOLDERS)
  list(LENGTH LAPFORGE_LAYERS _lf_n)
  math(EXPR _lf_last "${_lf_n} - 1")
  foreach(_lf_i RANGE 0 ${_lf_last} 3)
    math(EXPR _lf_j "${_lf_i} + 1")
    math(EXPR _lf_k "${_lf_i} + 2")
    list(GET LAPFORGE_LAYERS ${_lf_i} _lf_folder)
    list(GET LAPFORGE_LAYERS ${_lf_j} _lf_layer)
    list(GET LAPFORGE_LAYERS ${_lf_k} _lf_target)
    list(APPEND LAPFORGE_LAYER_FOLDERS ${_lf_folder})
    string(REPLACE "/" "_" _lf_key ${_lf_folder})
    set(LAPFORGE_LAYER_OF_${_lf_key} ${_lf_layer})
    set(LAPFORGE_TARGET_OF_${_lf_key} ${_lf_target})
    if(NOT _lf_target STREQUAL "-")
      set(LAPFORGE_LAYER_OF_TARGET_${_lf_target} ${_lf_layer})
      set(LAPFORGE_FOLDER_OF_TARGET_${_lf_target} ${_lf_folder})
    endif()
  endforeach()
endmacro()

# Whether an arrow from folder FROM (layer a) to folder TO (layer b) is
# allowed: the same folder, a lower layer, or a listed arrow within a layer.
function(lapforge_arrow_allowed from to out)
  string(REPLACE "/" "_" _a ${from})
  string(REPLACE "/" "_" _b ${to})
  set(_ok OFF)
  if(from STREQUAL to)
    set(_ok ON)
  elseif(LAPFORGE_LAYER_OF_${_b} LESS LAPFORGE_LAYER_OF_${_a})
    set(_ok ON)
  elseif(LAPFORGE_LAYER_OF_${_b} EQUAL LAPFORGE_LAYER_OF_${_a} AND "${from}>${to}" IN_LIST LAPFORGE_LAYER_ARROWS)
    set(_ok ON)
  endif()
  set(${out} ${_ok} PARENT_SCOPE)
endfunction()
