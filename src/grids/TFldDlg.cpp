#include "grids/TFldDlg.h"

int TFldDlg::VisibleColumnsCount()
{
    int n = 0;
    EnumerateVisibleColumns([&n](TEkColumn*) { ++n; });
    return n;
}
