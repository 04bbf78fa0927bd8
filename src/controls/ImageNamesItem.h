#pragma once

#include <QString>

class TImageNames;

// One name of a named image list. The name is held in upper case; setting it (in any
// letter case other than the current one) loads the image into the owning list.
class TImageNamesItem {
public:
    explicit TImageNamesItem(TImageNames* ACollection);
    ~TImageNamesItem();
    TImageNamesItem(const TImageNamesItem&) = delete;
    TImageNamesItem& operator=(const TImageNamesItem&) = delete;

    const QString& ImageName() const { return FImageName; }
    void SetImageName(const QString& AValue);
    // Position of the item's image in the owning list; -1 while no image is loaded.
    int ImageIndex() const { return FImageIndex; }
    // The image name, or the item's class name when no name is set.
    QString GetDisplayName() const;
    // Copies the image name (through the setter, so the image loads).
    void Assign(const TImageNamesItem& ASource);
    // Position of the item in its collection.
    int Index() const;
    TImageNames* Collection() const { return FCollection; }

private:
    friend class TKpImageList;
    TImageNames* FCollection;
    QString FImageName;
    int FImageIndex = -1;
};
