# Two tests keep src/ layered (the rules are in LayerRules.cmake):
#   layering            checks the real sources and link lists;
#   layering_rejects    runs the same check over a tree of bad includes and links and
#                       expects each to be reported.
include(${CMAKE_CURRENT_LIST_DIR}/LayerRules.cmake)

function(stumpwise_layer_checks)
  set(_graph "")
  set(_targets ${LAYER_GRAPHICS_FREE_PROGRAMS})
  foreach(_rule IN LISTS LAYER_RULES)
    string(REPLACE "|" ";" _f "${_rule}")
    list(GET _f 1 _t)
    list(APPEND _targets ${_t})
  endforeach()
  foreach(_t IN LISTS _targets)
    if(NOT TARGET ${_t})
      continue()
    endif()
    get_target_property(_type ${_t} TYPE)
    if(_type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(_links ${_t} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(_links ${_t} LINK_LIBRARIES)
    endif()
    if(NOT _links)
      set(_links "")
    endif()
    string(APPEND _graph "set(LAYER_LINKS_${_t} \"${_links}\")\n")
  endforeach()
  set(_dirs "")
  foreach(_m Gui Widgets Svg)
    if(TARGET Qt6::${_m})
      get_target_property(_inc Qt6::${_m} INTERFACE_INCLUDE_DIRECTORIES)
      foreach(_d IN LISTS _inc)
        if(_d MATCHES "/Qt${_m}$")
          list(APPEND _dirs ${_d})
        endif()
      endforeach()
    endif()
  endforeach()
  string(APPEND _graph "set(LAYER_GRAPHICS_DIRS \"${_dirs}\")\n")
  file(WRITE ${PROJECT_BINARY_DIR}/layers/graph.cmake "${_graph}")

  add_test(NAME layering
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src
            -DGRAPH=${PROJECT_BINARY_DIR}/layers/graph.cmake
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
  add_test(NAME layering_rejects
    COMMAND ${CMAKE_COMMAND} -DCHECK=${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
            -DFIXTURE=${PROJECT_SOURCE_DIR}/tests/fixtures/layers
            -P ${PROJECT_SOURCE_DIR}/tests/layers/RejectsBadEdges.cmake)
endfunction()
