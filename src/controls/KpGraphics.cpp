#include "controls/KpGraphics.h"

#include "controls/AcquiredGlyph.h"
#include "controls/ControlsMath.h"
#include "controls/KpImageList.h"
#include "controls/ResourceUtils.h"
#include "controls/SharedCellBitmap.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyleHints>
#include <memory>

namespace {

// Every colour of a 32-bit device is shown as it is, unless it is translucent.
bool IsPureColor(const QColor& AColor)
{
    return AColor.isValid() && AColor.alpha() == 255;
}

bool HasSolidBrush(const QPainter& ACanvas)
{
    return ACanvas.brush().style() != Qt::NoBrush && ACanvas.brush().color().isValid();
}

void SetClip(QPainter& ACanvas, const QRect& ARect)
{
    ACanvas.setClipRect(ARect, ACanvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

int AlignmentFlag(TAlignment AAlignment)
{
    switch (AAlignment) {
    case TAlignment::taRightJustify:
        return Qt::AlignRight;
    case TAlignment::taCenter:
        return Qt::AlignHCenter;
    case TAlignment::taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

// Each line cut to the width with an ellipsis at its end.
QString ElideLines(const QFontMetrics& AMetrics, const QString& AText, int AWidth, bool ASingleLine)
{
    if (ASingleLine)
        return AMetrics.elidedText(QString(AText).replace(QLatin1Char('\n'), QLatin1Char(' ')), Qt::ElideRight,
                                   std::max(AWidth, 0));
    QStringList lines = AText.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = AMetrics.elidedText(line, Qt::ElideRight, std::max(AWidth, 0));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QPainter& BeginCellBitmap(const QRect& ARect)
{
    return SharedCellBitmap().Begin(ARect);
}

QRect CellBitmapRect(const QRect& ARect)
{
    return QRect(0, 0, ARect.width(), ARect.height());
}

void EndCellBitmap(QPainter& ACanvas, const QRect& ARect)
{
    SharedCellBitmap().End(ACanvas, ARect);
}

void DrawCellImage(QPainter& ACanvas, TKpImageList& AImages, const QRect& ARect, int AIndex, bool AEnabled,
                   int AMargin, const TBackgroundPainter& ABackgroundPainter, const QWidget* AControl)
{
    const auto place = [&](QPainter& APainter, const QRect& AR) {
        const QRect inner = AR.adjusted(AMargin, AMargin, -AMargin, -AMargin);
        QRect imageRect = CalcCellImageRect(AControl, AImages, inner);
        if (imageRect.left() < inner.left())
            imageRect.moveLeft(inner.left());
        if (imageRect.top() < inner.top())
            imageRect.moveTop(inner.top());
        AImages.DrawByIdx(APainter, imageRect, AIndex, AEnabled);
    };
    const bool hasBackground = ABackgroundPainter || HasSolidBrush(ACanvas);
    if (!hasBackground) {
        place(ACanvas, ARect);
        return;
    }
    if (SharedCellBitmap().IsOwnCanvas(ACanvas)) {
        // Already composing on the shared bitmap: draw straight onto it.
        if (ABackgroundPainter)
            ABackgroundPainter(ACanvas, ARect);
        else
            ACanvas.fillRect(ARect, ACanvas.brush());
        place(ACanvas, ARect);
        return;
    }
    const QBrush brush = ACanvas.brush();
    QPainter& bitmap = BeginCellBitmap(ARect);
    const QRect r = CellBitmapRect(ARect);
    try {
        if (ABackgroundPainter)
            ABackgroundPainter(bitmap, r);
        else
            bitmap.fillRect(r, brush);
        place(bitmap, r);
    } catch (...) {
        EndCellBitmap(ACanvas, ARect);
        throw;
    }
    EndCellBitmap(ACanvas, ARect);
}

void DrawCellText(QPainter& ACanvas, const QRect& ARect, int ADX, int ADY, const QString& AText,
                  TAlignment AAlignment, TDrawCellFlags AFlags, const QColor& AEtchColour)
{
    if ((AFlags & dcfTransparent) && AText.isEmpty())
        return;
    // A canvas without a brush has no background colour to fill with: it is drawn on as
    // it is, and soft bold blends towards white.
    const bool hasBrush = ACanvas.brush().style() != Qt::NoBrush;
    const bool transparent = (AFlags & dcfTransparent) != 0 || !hasBrush;
    const QColor brushColor = hasBrush ? ACanvas.brush().color() : QColor(Qt::white);

    if ((AFlags & (dcfSingleLine | dcfEndEllipsis)) == 0 && IsPureColor(brushColor)) {
        // Plain text on a pure colour: one text call, clipped to the cell.
        const QFontMetrics metrics = ACanvas.fontMetrics();
        const int textWidth = metrics.horizontalAdvance(AText);
        const int right = ARect.left() + ARect.width();
        int x = ARect.left() + ADX;
        if (AAlignment == TAlignment::taRightJustify)
            x = right - textWidth - 3;
        else if (AAlignment == TAlignment::taCenter)
            x = ARect.left() + ARect.width() / 2 - textWidth / 2;
        const int y = ARect.top() + ADY;
        ACanvas.save();
        if (!transparent)
            ACanvas.fillRect(ARect, brushColor);
        SetClip(ACanvas, ARect);
        ACanvas.drawText(QPoint(x, y + metrics.ascent()), AText);
        ACanvas.restore();
        return;
    }

    const bool composed = !transparent && !SharedCellBitmap().IsOwnCanvas(ACanvas);
    QPainter* painter = &ACanvas;
    QRect r = ARect;
    if (composed) {
        // The font's pixel size is taken from the target so text looks the same on the bitmap.
        QFont font = ACanvas.font();
        font.setPixelSize(std::max(1, ACanvas.fontInfo().pixelSize()));
        const QPen pen = ACanvas.pen();
        const QBrush brush = ACanvas.brush();
        painter = &BeginCellBitmap(ARect);
        r = CellBitmapRect(ARect);
        painter->setFont(font);
        painter->setPen(pen);
        painter->setBrush(brush);
    } else {
        ACanvas.save();
    }
    const auto finish = [&] {
        if (composed)
            EndCellBitmap(ACanvas, ARect);
        else
            ACanvas.restore();
    };
    try {
        if (!transparent)
            painter->fillRect(r, brushColor);
        r = QRect(r.left() + ADX, r.top() + ADY, r.width() - ADX - 1, r.height() - ADY - 1);

        const bool singleLine = (AFlags & dcfSingleLine) != 0;
        int format = Qt::TextExpandTabs | AlignmentFlag(AAlignment);
        format |= singleLine ? (Qt::TextSingleLine | Qt::AlignVCenter) : Qt::AlignTop;
        QString text = AText;
        if (AFlags & dcfEndEllipsis) {
            text = ElideLines(painter->fontMetrics(), AText, r.width(), singleLine);
            format |= Qt::TextDontClip;
        } else {
            format |= Qt::TextWordWrap;
        }

        const QColor textColor = painter->pen().color();
        if (AFlags & dcfEtched) {
            painter->setPen(QGuiApplication::palette().color(QPalette::Light));
            painter->drawText(r.translated(1, 1), format, text);
            painter->setPen(AEtchColour);
        } else if ((AFlags & dcfSoftBold) && painter->font().bold()) {
            // A softer bold: regular text over copies blended towards the background.
            QFont font = painter->font();
            font.setBold(false);
            painter->setFont(font);
            if (std::abs(painter->fontInfo().pixelSize()) > 14) {
                painter->setPen(BlendColors(textColor, brushColor, 0.85));
                painter->drawText(r.translated(0, 1), format, text);
                painter->drawText(r.translated(-1, 0), format, text);
            }
            painter->setPen(BlendColors(textColor, brushColor, 0.55));
            painter->drawText(r.translated(1, 0), format, text);
            painter->setPen(textColor);
        }
        painter->drawText(r, format, text);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

QRect TextExtentRect(QPainter& ACanvas, const QString& AText, const QPoint& APoint)
{
    const QFontMetrics metrics = ACanvas.fontMetrics();
    return QRect(APoint, QSize(metrics.horizontalAdvance(AText), metrics.height()));
}

QColor BlendColors(const QColor& AColor1, const QColor& AColor2, double AFactor)
{
    const QColor c1 = AColor1.toRgb();
    const QColor c2 = AColor2.toRgb();
    const auto mix = [AFactor](int a, int b) { return RoundHalfEven((1.0 - AFactor) * a + AFactor * b); };
    return QColor(mix(c1.red(), c2.red()), mix(c1.green(), c2.green()), mix(c1.blue(), c2.blue()));
}

QColor LightenColor(const QColor& AColor, int APercent)
{
    const QColor c = AColor.toRgb();
    const auto lighten = [APercent](int v) { return v + MulDiv(255 - v, APercent, 100); };
    return QColor(lighten(c.red()), lighten(c.green()), lighten(c.blue()));
}

QPoint GridDragDistance()
{
    const int distance = QGuiApplication::styleHints()->startDragDistance();
    return QPoint(distance, distance);
}

namespace {

std::unique_ptr<QCursor>& DragRemoveCursorHolder()
{
    static std::unique_ptr<QCursor> cursor;
    return cursor;
}

std::unique_ptr<TKpImageList>& DragMarkImagesHolder()
{
    static std::unique_ptr<TKpImageList> images;
    return images;
}

} // namespace

const QCursor& DragRemoveCursor()
{
    std::unique_ptr<QCursor>& cursor = DragRemoveCursorHolder();
    if (!cursor) {
        TAcquiredGlyph glyph(QStringLiteral("CRDRAGREMOVE"), 32, 32, 96, true);
        cursor = std::make_unique<QCursor>(QPixmap::fromImage(glyph->ToImage()), 1, 1);
    }
    return *cursor;
}

TKpImageList& DragMarkImages()
{
    std::unique_ptr<TKpImageList>& images = DragMarkImagesHolder();
    if (!images) {
        TKpSmartGlyph mark;
        ResourceUtils::LoadGlyph(mark, QStringLiteral("DBEDDRAGMARK"));
        images = std::make_unique<TKpImageList>(mark.SourceWidth(), mark.SourceHeight());
        images->SetMaskColor(QColor(255, 255, 255));
        images->AddImageName(QStringLiteral("DBEDDRAGMARK"));
    }
    return *images;
}

void FreeDragImages()
{
    DragMarkImagesHolder().reset();
    DragRemoveCursorHolder().reset();
}
