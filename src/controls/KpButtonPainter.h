#pragma once

#include "controls/ButtonTypes.h"

#include <QColor>
#include <QRect>

class QPainter;
class QPalette;

// Draws button faces of one look-and-feel kind with the colours of a palette.
class TKpButtonPainter {
public:
    explicit TKpButtonPainter(TcxLookAndFeelKind AKind) : FKind(AKind) {}

    TcxLookAndFeelKind Kind() const { return FKind; }
    TcxLookAndFeelStyle LookAndFeelStyle() const;
    // Width of the border drawn round the face in the state.
    int ButtonBorderSize(TcxButtonState AState) const;
    // How far the content moves while the button is pressed.
    int ButtonTextShift() const;
    // The text colour of the state; ADefault (when valid) for the enabled states.
    QColor ButtonSymbolColor(TcxButtonState AState, const QPalette& APalette,
                             const QColor& ADefault = QColor()) const;
    // Whether the face changes while the pointer is over it.
    bool IsButtonHotTrack() const;
    // The face colour the painter picks for the state when the button has none.
    QColor DefaultFaceColor(TcxButtonState AState, const QPalette& APalette) const;
    // Fills the face (AColor invalid: the painter's choice) and draws the border when asked.
    void DrawButton(QPainter& ACanvas, const QRect& AR, TcxButtonState AState, bool ABorder,
                    const QColor& AColor, const QPalette& APalette) const;

private:
    TcxLookAndFeelKind FKind;
};
