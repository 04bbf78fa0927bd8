#include "controls/KpButtonPainter.h"

#include <QPainter>
#include <QPalette>

TcxLookAndFeelStyle TKpButtonPainter::LookAndFeelStyle() const
{
    switch (FKind) {
    case TcxLookAndFeelKind::lfFlat: return TcxLookAndFeelStyle::lfsFlat;
    case TcxLookAndFeelKind::lfStandard: return TcxLookAndFeelStyle::lfsStandard;
    case TcxLookAndFeelKind::lfUltraFlat: return TcxLookAndFeelStyle::lfsUltraFlat;
    case TcxLookAndFeelKind::lfOffice11: return TcxLookAndFeelStyle::lfsOffice11;
    }
    return TcxLookAndFeelStyle::lfsFlat;
}

int TKpButtonPainter::ButtonBorderSize(TcxButtonState) const
{
    return FKind == TcxLookAndFeelKind::lfStandard ? 2 : 1;
}

int TKpButtonPainter::ButtonTextShift() const
{
    return FKind == TcxLookAndFeelKind::lfUltraFlat || FKind == TcxLookAndFeelKind::lfOffice11 ? 0 : 1;
}

QColor TKpButtonPainter::ButtonSymbolColor(TcxButtonState AState, const QPalette& APalette,
                                           const QColor& ADefault) const
{
    if (AState == TcxButtonState::cxbsDisabled)
        return APalette.color(QPalette::Disabled, QPalette::ButtonText);
    return ADefault.isValid() ? ADefault : APalette.color(QPalette::Active, QPalette::ButtonText);
}

bool TKpButtonPainter::IsButtonHotTrack() const
{
    return FKind == TcxLookAndFeelKind::lfUltraFlat || FKind == TcxLookAndFeelKind::lfOffice11;
}

QColor TKpButtonPainter::DefaultFaceColor(TcxButtonState AState, const QPalette& APalette) const
{
    const QColor face = APalette.color(QPalette::Active, QPalette::Button);
    switch (AState) {
    case TcxButtonState::cxbsHot: return face.lighter(110);
    case TcxButtonState::cxbsPressed: return face.darker(115);
    default: return face;
    }
}

void TKpButtonPainter::DrawButton(QPainter& ACanvas, const QRect& AR, TcxButtonState AState,
                                  bool ABorder, const QColor& AColor, const QPalette& APalette) const
{
    if (AR.isEmpty())
        return;
    ACanvas.save();
    ACanvas.fillRect(AR, AColor.isValid() ? AColor : DefaultFaceColor(AState, APalette));
    if (ABorder) {
        const QColor light = APalette.color(QPalette::Light);
        const QColor dark = APalette.color(QPalette::Dark);
        const bool sunken = AState == TcxButtonState::cxbsPressed;
        const int size = ButtonBorderSize(AState);
        QRect r = AR;
        for (int i = 0; i < size; ++i) {
            const QColor topLeft = sunken ? dark : (i == 0 ? light : light.lighter(105));
            const QColor bottomRight = sunken ? light : (i == 0 ? dark : dark.lighter(120));
            ACanvas.setPen(topLeft);
            ACanvas.drawLine(r.topLeft(), r.topRight());
            ACanvas.drawLine(r.topLeft(), r.bottomLeft());
            ACanvas.setPen(bottomRight);
            ACanvas.drawLine(r.bottomLeft(), r.bottomRight());
            ACanvas.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    }
    ACanvas.restore();
}
