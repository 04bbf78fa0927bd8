#include "controls/ImageNamesItem.h"

#include "controls/ImageNames.h"
#include "controls/KpImageList.h"

TImageNamesItem::TImageNamesItem(TImageNames* ACollection) : FCollection(ACollection) {}

TImageNamesItem::~TImageNamesItem() = default;

void TImageNamesItem::SetImageName(const QString& AValue)
{
    if (AValue.compare(FImageName, Qt::CaseInsensitive) == 0)
        return;
    FImageName = AValue.toUpper();
    TKpImageList* list = FCollection ? FCollection->ImageList() : nullptr;
    if (list && !(list->IsLoading() && FImageIndex < 0))
        list->LoadImage(*this);
    if (FCollection)
        FCollection->Changed(this);
}

QString TImageNamesItem::GetDisplayName() const
{
    return FImageName.isEmpty() ? QStringLiteral("TImageNamesItem") : FImageName;
}

void TImageNamesItem::Assign(const TImageNamesItem& ASource)
{
    SetImageName(ASource.ImageName());
}

int TImageNamesItem::Index() const
{
    return FCollection ? FCollection->IndexOfItem(this) : -1;
}
