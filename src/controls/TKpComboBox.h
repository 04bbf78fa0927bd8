#pragma once

#include "controls/TCustomKpComboBox.h"

// The combo box as forms use it, with a fixed drop-down width or the automatic one.
class TKpComboBox : public TCustomKpComboBox {
    Q_OBJECT
public:
    explicit TKpComboBox(QWidget* AParent = nullptr);

    int DropDownWidth() const { return FDropDownWidth; }
    // 0 or less switches the automatic width on; any other width switches it off.
    void SetDropDownWidth(int AValue);
    bool UseAutoDropDownWidth() const { return FUseAutoDropDownWidth; }
    void SetUseAutoDropDownWidth(bool AValue) { FUseAutoDropDownWidth = AValue; }
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int AValue) { setMaxVisibleItems(AValue); }
};
