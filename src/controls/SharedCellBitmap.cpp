#include "controls/SharedCellBitmap.h"

TSharedCellBitmap::TSharedCellBitmap() : FImage(1, 1, QImage::Format_RGB32) {}

TSharedCellBitmap::~TSharedCellBitmap() = default;

QPainter& TSharedCellBitmap::Begin(const QRect& ARect)
{
    FLock.lock();
    ++FDepth;
    if (FPainter) {
        // Already composing (a nested request): keep drawing on the same canvas.
        return *FPainter;
    }
    const int width = std::max(FImage.width(), ARect.width());
    const int height = std::max(FImage.height(), ARect.height());
    if (width != FImage.width() || height != FImage.height())
        FImage = QImage(width, height, QImage::Format_RGB32);
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
        ATarget.drawImage(ARect.topLeft(), FImage, QRect(0, 0, ARect.width(), ARect.height()));
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
