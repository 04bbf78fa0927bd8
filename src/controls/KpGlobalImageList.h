#pragma once

#include "controls/KpImageList.h"

// An image list that adds a name it is asked for and does not hold yet.
class TKpGlobalImageList : public TKpImageList {
public:
    using TKpImageList::TKpImageList;

    // The image index of the name, adding (and loading) the name when it is missing.
    // Names are held in upper case, so a name asked for in another letter case finds the
    // item already added for it instead of adding another one.
    int IndexOf(const QString& AImageName) override;
};

// The two shared 16 x 16 lists of tree and favourites images, filled on first use.
TKpGlobalImageList& GlobalNodeImages();
TKpGlobalImageList& GlobalFavoritesImages();
// Frees both lists (they are made again when next asked for).
void FreeGlobalImageLists();
