#include "controls/KpPainter.h"

#include "controls/KelpSkinManager.h"

#include <QLinearGradient>
#include <QPainter>

void TKpPainter::GradientFill(QPainter& ACanvas, const QRect& ARect, const QColor& AColor1, const QColor& AColor2,
                              bool AHorizontal)
{
    if (ARect.isEmpty())
        return;
    if (AColor1 == AColor2) {
        ACanvas.fillRect(ARect, AColor1);
        return;
    }
    const QRectF r(ARect);
    QLinearGradient gradient(r.topLeft(), AHorizontal ? r.topRight() : r.bottomLeft());
    gradient.setColorAt(0.0, AColor1);
    gradient.setColorAt(1.0, AColor2);
    ACanvas.fillRect(ARect, QBrush(gradient));
}

void TKpPainter::Grid_Indicator(QPainter& ACanvas, const QRect& ARect) const
{
    const TKelpSkinManager& skin = SkinManager();
    GradientFill(ACanvas, ARect, skin.ColorHeaderBeginGradient(), skin.ColorHeaderEndGradient(), true);
}

void TKpPainter::Grid_IndicatorSelected(QPainter& ACanvas, const QRect& ARect) const
{
    const TKelpSkinManager& skin = SkinManager();
    GradientFill(ACanvas, ARect, skin.ColorHeaderHotBeginGradient(), skin.ColorHeaderHotEndGradient(), true);
}

void TKpPainter::Grid_Title(QPainter& ACanvas, const QRect& ARect) const
{
    const TKelpSkinManager& skin = SkinManager();
    GradientFill(ACanvas, ARect, skin.ColorHeaderBeginGradient(), skin.ColorHeaderEndGradient(), false);
}

void TKpPainter::Grid_TitleDown(QPainter& ACanvas, const QRect& ARect) const
{
    const TKelpSkinManager& skin = SkinManager();
    GradientFill(ACanvas, ARect, skin.ColorHeaderPressedBeginGradient(), skin.ColorHeaderPressedEndGradient(), false);
}

void TKpPainter::Grid_TitleHover(QPainter& ACanvas, const QRect& ARect) const
{
    const TKelpSkinManager& skin = SkinManager();
    GradientFill(ACanvas, ARect, skin.ColorHeaderHotBeginGradient(), skin.ColorHeaderHotEndGradient(), false);
}

void TKpPainter::Grid_TitleCurrent(QPainter& ACanvas, const QRect& ARect) const
{
    // $CCF4FF and $91D0FF, written blue-green-red.
    GradientFill(ACanvas, ARect, QColor(0xFF, 0xF4, 0xCC), QColor(0xFF, 0xD0, 0x91), false);
}

TKpPainter& GridPainter()
{
    static TKpPainter painter;
    return painter;
}
