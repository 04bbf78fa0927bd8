#include "controls/TcxLookAndFeel.h"

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind AValue)
{
    if (AValue == FKind)
        return;
    FKind = AValue;
    FPainter = TKpButtonPainter(AValue);
    Changed();
}

void TcxLookAndFeel::SetSkinName(const QString& AValue)
{
    if (AValue == FSkinName)
        return;
    FSkinName = AValue;
    Changed();
}

void TcxLookAndFeel::Changed()
{
    if (OnChanged)
        OnChanged();
}
