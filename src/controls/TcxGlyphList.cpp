#include "controls/TcxGlyphList.h"

int TcxGlyphList::Add(const QImage& AImage)
{
    for (size_t i = 0; i < FUsed.size(); ++i) {
        if (!FUsed[i]) {
            FImages[i] = AImage;
            FUsed[i] = true;
            ++FCount;
            return static_cast<int>(i);
        }
    }
    FImages.push_back(AImage);
    FUsed.push_back(true);
    ++FCount;
    return static_cast<int>(FImages.size() - 1);
}

void TcxGlyphList::Delete(int AIndex)
{
    if (AIndex < 0 || AIndex >= SlotCount() || !FUsed[static_cast<size_t>(AIndex)])
        return;
    FUsed[static_cast<size_t>(AIndex)] = false;
    FImages[static_cast<size_t>(AIndex)] = QImage();
    --FCount;
}

const QImage* TcxGlyphList::Image(int AIndex) const
{
    if (AIndex < 0 || AIndex >= SlotCount() || !FUsed[static_cast<size_t>(AIndex)])
        return nullptr;
    return &FImages[static_cast<size_t>(AIndex)];
}
