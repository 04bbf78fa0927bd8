#include "controls/SharedCellBitmap.h"

#include <QGuiApplication>
#include <QtMath>
#include <algorithm>

TSharedCellBitmap::TSharedCellBitmap() : FImage(1, 1, QImage::Format_RGB32), FSize(1, 1) {}

TSharedCellBitmap::~TSharedCellBitmap() = default;

QPainter& TSharedCellBitmap::Begin(const QRect& ARect)
{
    FLock.lock();
    ++FDepth;
    if (FPainter) {
        // Already composing (a nested request): keep drawing on the same canvas.
        return *FPainter;
    }
    // On a high-resolution screen cells are composed at its pixel ratio, so text and
    // images stay sharp once copied.
    const qreal ratio = qGuiApp ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
    const QSize logical(std::max(FSize.width(), ARect.width()), std::max(FSize.height(), ARect.height()));
    if (logical != FSize || ratio != FImage.devicePixelRatio()) {
        FImage = QImage(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio), QImage::Format_RGB32);
        FImage.setDevicePixelRatio(ratio);
        FSize = logical;
    }
    FPainter = std::make_unique<QPainter>(&FImage);
    return *FPainter;
}

void TSharedCellBitmap::End(QPainter& ATarget, const QRect& ARect)
{
    if (FPainter && FDepth == 1) {
        FPainter->end();
        FPainter.reset();
        // A plain copy: the composed cell replaces what was there.
        const QPainter::CompositionMode mode = ATarget.compositionMode();
        ATarget.setCompositionMode(QPainter::CompositionMode_Source);
        const qreal ratio = FImage.devicePixelRatio();
        ATarget.drawImage(QRectF(ARect), FImage, QRectF(0, 0, ARect.width() * ratio, ARect.height() * ratio));
        ATarget.setCompositionMode(mode);
    }
    if (FDepth > 0) {
        --FDepth;
        FLock.unlock();
    }
}

bool TSharedCellBitmap::IsOwnCanvas(const QPainter& APainter) const
{
    return FPainter && &APainter == FPainter.get();
}

TSharedCellBitmap& SharedCellBitmap()
{
    static TSharedCellBitmap bitmap;
    return bitmap;
}
