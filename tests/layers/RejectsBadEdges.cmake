# The layering check over a tree of bad includes and links fails and names each fault:
#   cmake -DCHECK=<CheckLayers.cmake> -DFIXTURE=<tests/fixtures/layers> -P RejectsBadEdges.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${FIXTURE}/src -DGRAPH=${FIXTURE}/graph.cmake -P ${CHECK}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(out "${out}${err}")
if(rc EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with bad includes:\n${out}")
endif()

set(expected
  # an include upward, one sideways into another graphical layer, one with odd spacing
  "import/Reader.cpp includes \"controls/TKpBitBtn.h\": import may use only: base, platform/data, platform/rtl"
  "import/Reader.h includes \"grids/DBEditGrid.h\": import may use only"
  "platform/rtl/Value.h includes \"platform/data/Field.h\": platform/rtl may use only: nothing of ours"
  # graphical Qt headers where graphics are not allowed, by name and by module path
  "import/Reader.cpp includes <QMessageBox>: import uses no Qt graphics"
  "import/Reader.h includes <QtWidgets/QWidget>: import uses no Qt graphics"
  "base/Util.cpp includes <QtWidgets/QApplication>: base uses no Qt graphics"
  # links against the layering, unused links, graphics reached directly and through a link
  "import links controls: import may not use controls"
  "grids links export but includes nothing of export"
  "platform_data links Qt6::Gui: platform/data uses no Qt graphics"
  "import links Qt6::Widgets: import uses no Qt graphics"
  "base links Qt6::Gui: base uses no Qt graphics"
  "test_import_ktr links Qt6::Widgets: it must link no Qt graphics")
set(unexpected
  "\"base/KpUt.h\"" "\"Local.h\"" "\"thirdparty/pugixml.h\"" "<QString>" "\"grids/Grid.h\""
  "base/Util.cpp includes \"" "base links platform" "controls links" "platform_data links platform_rtl")
set(failed "")
foreach(e IN LISTS expected)
  string(FIND "${out}" "${e}" at)
  if(at EQUAL -1)
    string(APPEND failed "  missing: ${e}\n")
  endif()
endforeach()
foreach(u IN LISTS unexpected)
  string(FIND "${out}" "${u}" at)
  if(NOT at EQUAL -1)
    string(APPEND failed "  reported although allowed: ${u}\n")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "layering check output:\n${out}\n${failed}")
endif()
