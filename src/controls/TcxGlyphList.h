#pragma once

#include <QImage>
#include <vector>

// An image list that reuses the slots of deleted images, so indices handed out stay valid.
class TcxGlyphList {
public:
    TcxGlyphList(int AWidth, int AHeight) : FWidth(AWidth), FHeight(AHeight) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Puts the image into the first free slot (a new one when none is free); returns its index.
    int Add(const QImage& AImage);
    // Frees an occupied slot; other indices do not move.
    void Delete(int AIndex);
    // The image of an occupied slot, or null.
    const QImage* Image(int AIndex) const;
    int Count() const { return FCount; }
    int SlotCount() const { return static_cast<int>(FImages.size()); }

private:
    int FWidth;
    int FHeight;
    std::vector<QImage> FImages;
    std::vector<bool> FUsed;
    int FCount = 0;
};
