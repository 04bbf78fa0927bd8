#pragma once

#include "controls/ImageNamesItem.h"

#include <QString>
#include <memory>
#include <vector>

class TKpImageList;

// The names of a named image list, in order.
class TImageNames {
public:
    explicit TImageNames(TKpImageList* AImageList);
    ~TImageNames();
    TImageNames(const TImageNames&) = delete;
    TImageNames& operator=(const TImageNames&) = delete;

    // A new item without a name (no image yet).
    TImageNamesItem* Add();
    // Removes and destroys the item at APosition; the images after its own move down.
    void Delete(int APosition);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at APosition; throws EListError outside the items.
    TImageNamesItem* Items(int APosition) const;
    // Image index of the first item named exactly AImageName; -1 when none.
    int ImageIndexOf(const QString& AImageName) const;
    // The item holding that image index; throws Exception "ImageIndex %d not found.".
    TImageNamesItem* ItemByImageIndex(int AImageIndex) const;
    int IndexOfItem(const TImageNamesItem* AItem) const;
    TKpImageList* ImageList() const { return FImageList; }

private:
    friend class TImageNamesItem;
    void Changed(TImageNamesItem* AItem);
    TKpImageList* FImageList;
    std::vector<std::unique_ptr<TImageNamesItem>> FItems;
};
