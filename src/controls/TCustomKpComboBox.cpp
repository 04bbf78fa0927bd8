#include "controls/TCustomKpComboBox.h"

#include "controls/ControlsMath.h"
#include "controls/ScaleCheck.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

TCustomKpComboBox::TCustomKpComboBox(QWidget* AParent)
    : QComboBox(AParent)
{
}

TCustomKpComboBox::~TCustomKpComboBox() = default;

int TCustomKpComboBox::MaxItemWidth(int ACap) const
{
    const QFontMetrics fm(font());
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = fm.horizontalAdvance(itemText(i));
        if (w >= ACap)
            return ACap;
        widest = std::max(widest, w);
    }
    return widest;
}

void TCustomKpComboBox::UpdateAutoDropDownWidth()
{
    if (!FUseAutoDropDownWidth)
        return;
    int room = 6;
    if (count() > maxVisibleItems())
        room += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int cap = 3 * width();
    FAutoDropDownWidth = std::max(FAutoDropDownWidth, width());
    if (FAutoDropDownWidth < cap)
        FAutoDropDownWidth = std::max(FAutoDropDownWidth, MaxItemWidth(cap - room) + room);
}

int TCustomKpComboBox::GetDropDownWidth()
{
    if (!FUseAutoDropDownWidth)
        return FDropDownWidth;
    if (FAutoDropDownWidth < width())
        UpdateAutoDropDownWidth();
    return FAutoDropDownWidth;
}

void TCustomKpComboBox::showPopup()
{
    if (OnDropDown)
        OnDropDown(this);
    UpdateAutoDropDownWidth();
    // The popup is at least as wide as its view asks.
    view()->setMinimumWidth(GetDropDownWidth());
    QComboBox::showPopup();
}

void TCustomKpComboBox::Loaded()
{
    FLoadedHeight = 0;
    if (!isEditable()) {
        FAdjustHeight = true;
        FLoadedHeight = height();
        AdjustDropDownListHeight();
    }
}

void TCustomKpComboBox::AdjustDropDownListHeight()
{
    if (!FAdjustHeight || FLoadedHeight <= 0)
        return;
    FAdjustHeight = false;
    if (height() != FLoadedHeight)
        setFixedHeight(FLoadedHeight);
    FAdjustHeight = true;
}

void TCustomKpComboBox::SetScale(double AValue)
{
    if (AValue == FScale)
        return;
    CheckScale(AValue);
    const double old = FScale;
    FScale = AValue;
    if (FAdjustHeight && FLoadedHeight > 0) {
        FLoadedHeight = RoundHalfEven(FLoadedHeight * AValue / old);
        AdjustDropDownListHeight();
    }
    if (testAttribute(Qt::WA_SetFont)) {
        QFont f = font();
        if (f.pixelSize() > 0)
            f.setPixelSize(RoundHalfEven(f.pixelSize() * AValue / old));
        else
            f.setPointSizeF(f.pointSizeF() * AValue / old);
        setFont(f);
    }
}

void TCustomKpComboBox::changeEvent(QEvent* AEvent)
{
    QComboBox::changeEvent(AEvent);
    // A new font changes the item widths and, while the height is free, the height.
    if (AEvent->type() == QEvent::FontChange) {
        updateGeometry();
        AdjustDropDownListHeight();
    }
}
