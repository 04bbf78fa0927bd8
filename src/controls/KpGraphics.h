#pragma once

#include "platform/data/DBTypes.h"

#include <QColor>
#include <QCursor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGlobal>
#include <functional>

class QPainter;
class QWidget;
class TKpImageList;

// Cell drawing shared by the grids. A "canvas" is a QPainter: its brush is the cell's
// background and its pen colour is the text colour.

// Flags of DrawCellText (bits of one byte).
enum TDrawCellFlag : quint8 {
    dcfEtched = 1,       // a highlight copy one pixel down-right, the text in the etch colour
    dcfSingleLine = 2,   // one line, centred vertically
    dcfTransparent = 4,  // no background fill
    dcfEndEllipsis = 8,  // cut with an ellipsis at the end instead of wrapping
    dcfSoftBold = 16,    // bold drawn as regular text over blended copies
};
using TDrawCellFlags = quint8;

// Paints a cell's background on a canvas inside a rectangle (e.g. a TKpPainter method).
using TBackgroundPainter = std::function<void(QPainter&, const QRect&)>;

// Locks the shared cell bitmap, grows it to at least ARect's size and returns its canvas.
QPainter& BeginCellBitmap(const QRect& ARect);
// Where a cell of ARect is drawn on the shared bitmap: (0, 0, width, height).
QRect CellBitmapRect(const QRect& ARect);
// Copies the composed cell to ACanvas at ARect and unlocks the shared bitmap.
void EndCellBitmap(QPainter& ACanvas, const QRect& ARect);

// Draws image AIndex of AImages in a cell. With a background (a painter is given or the
// canvas brush is solid) the cell is composed on the shared bitmap: background first,
// then the image. The image is placed by CalcCellImageRect for AControl inside the cell
// shrunk by AMargin, never starting left of or above that area.
void DrawCellImage(QPainter& ACanvas, TKpImageList& AImages, const QRect& ARect, int AIndex,
                   bool AEnabled, int AMargin, const TBackgroundPainter& ABackgroundPainter,
                   const QWidget* AControl);

// Draws a cell's text. ADX and ADY are offsets from the cell's left and top edges;
// AEtchColour is the text colour of an etched text. Unless dcfTransparent is given the
// cell is first filled with the canvas brush's colour (a canvas without a brush is not
// filled).
void DrawCellText(QPainter& ACanvas, const QRect& ARect, int ADX, int ADY, const QString& AText,
                  TAlignment AAlignment, TDrawCellFlags AFlags, const QColor& AEtchColour);

// A rectangle at APoint the size of AText on the canvas.
QRect TextExtentRect(QPainter& ACanvas, const QString& AText, const QPoint& APoint);

// Per channel (1 - AFactor) * AColor1 + AFactor * AColor2, rounded.
QColor BlendColors(const QColor& AColor1, const QColor& AColor2, double AFactor);
// Per channel c + (255 - c) * APercent / 100, rounded.
QColor LightenColor(const QColor& AColor, int APercent);

// The system's drag distances (horizontal, vertical).
QPoint GridDragDistance();
// The cursor shown while a column is dragged off its grid.
const QCursor& DragRemoveCursor();
// The drop mark of a column drag (image 0), white shown as transparent.
TKpImageList& DragMarkImages();
// Frees the drag cursor and the drop mark (they are made again when next asked for).
void FreeDragImages();
