#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// Paints the grids' title and indicator cells as two-colour gradients taken from the
// skin (read anew at each call), the first colour at the left or top.
class TKpPainter {
public:
    // Left to right, header colours.
    void Grid_Indicator(QPainter& ACanvas, const QRect& ARect) const;
    // Left to right, hot header colours (the current row).
    void Grid_IndicatorSelected(QPainter& ACanvas, const QRect& ARect) const;
    // Top to bottom, header colours.
    void Grid_Title(QPainter& ACanvas, const QRect& ARect) const;
    // Top to bottom, pressed header colours.
    void Grid_TitleDown(QPainter& ACanvas, const QRect& ARect) const;
    // Top to bottom, hot header colours.
    void Grid_TitleHover(QPainter& ACanvas, const QRect& ARect) const;
    // Top to bottom, fixed light yellow to orange.
    void Grid_TitleCurrent(QPainter& ACanvas, const QRect& ARect) const;

    // Fills ARect from AColor1 to AColor2, left to right when AHorizontal, else top to
    // bottom; with equal colours a plain fill.
    static void GradientFill(QPainter& ACanvas, const QRect& ARect, const QColor& AColor1,
                             const QColor& AColor2, bool AHorizontal);
};

// The one grid painter.
TKpPainter& GridPainter();
