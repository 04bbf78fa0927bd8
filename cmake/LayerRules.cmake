# The layers of src/: which library each folder builds and which folders its code may use.
# Read by CheckLayers.cmake; the build's link lists and every `#include "..."` must keep to it.
# One entry per folder: folder|library target|folders it may use (",") |graphics allowed (yes/no).
# "Graphics" is any Qt Gui, Widgets or Svg header or library.
set(LAYER_RULES
  "platform/rtl|platform_rtl||no"
  "platform/data|platform_data|platform/rtl|no"
  "platform/ui|platform_ui|platform/rtl|yes"
  "platform/sheet|platform_sheet|platform/rtl|no"
  "base|base|platform/rtl,platform/data,platform/ui|no"
  "import|import|base,platform/data,platform/rtl|no"
  "controls|controls|base,platform/data,platform/rtl,platform/ui|yes"
  "export|export|controls,platform/sheet,base,platform/data,platform/rtl,platform/ui|yes"
  "grids|grids|export,controls,platform/sheet,base,platform/data,platform/rtl,platform/ui|yes"
  "app|app_lib|grids,export,controls,import,platform/sheet,base,platform/data,platform/rtl,platform/ui|yes"
)
# Test programs that must build and link without graphics, like the libraries they test.
set(LAYER_GRAPHICS_FREE_PROGRAMS test_platform_rtl test_platform_data test_platform_sheet
    test_import test_import_ktr test_import_hqc)
