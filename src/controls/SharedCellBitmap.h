#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>
#include <mutex>

// One off-screen bitmap through which cells are composed without flicker: a cell is
// drawn on it at the origin and then copied to its place. It only ever grows, so
// composing a cell allocates nothing once it is large enough.
class TSharedCellBitmap {
public:
    TSharedCellBitmap();
    ~TSharedCellBitmap();
    TSharedCellBitmap(const TSharedCellBitmap&) = delete;
    TSharedCellBitmap& operator=(const TSharedCellBitmap&) = delete;

    // Locks the bitmap, grows it to at least ARect's size and returns its canvas.
    QPainter& Begin(const QRect& ARect);
    // Copies (0, 0, width, height) of ARect to ATarget at ARect and unlocks the bitmap.
    void End(QPainter& ATarget, const QRect& ARect);
    // Whether APainter is the bitmap's own canvas while it is locked.
    bool IsOwnCanvas(const QPainter& APainter) const;
    bool IsLocked() const { return FPainter != nullptr; }
    // Size in the painter's coordinates.
    QSize Size() const { return FSize; }
    const QImage& Image() const { return FImage; }

private:
    std::recursive_mutex FLock;
    QImage FImage;
    QSize FSize;
    std::unique_ptr<QPainter> FPainter;
    int FDepth = 0;
};

// The process's one shared cell bitmap.
TSharedCellBitmap& SharedCellBitmap();
