#include "controls/TKpComboBox.h"

TKpComboBox::TKpComboBox(QWidget* AParent)
    : TCustomKpComboBox(AParent)
{
}

void TKpComboBox::SetDropDownWidth(int AValue)
{
    if (AValue == FDropDownWidth)
        return;
    FDropDownWidth = AValue;
    FUseAutoDropDownWidth = AValue <= 0;
}
