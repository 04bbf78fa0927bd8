#include "controls/ImageNames.h"

#include "controls/KpImageList.h"
#include "platform/rtl/EListError.h"
#include "platform/rtl/Exception.h"

TImageNames::TImageNames(TKpImageList* AImageList) : FImageList(AImageList) {}

TImageNames::~TImageNames() = default;

TImageNamesItem* TImageNames::Add()
{
    FItems.push_back(std::make_unique<TImageNamesItem>(this));
    return FItems.back().get();
}

void TImageNames::Delete(int APosition)
{
    if (APosition < 0 || APosition >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(APosition));
    std::unique_ptr<TImageNamesItem> item = std::move(FItems[static_cast<size_t>(APosition)]);
    FItems.erase(FItems.begin() + APosition);
    if (FImageList && item->ImageIndex() >= 0)
        FImageList->ItemDestroying(*item);
}

void TImageNames::Clear()
{
    while (!FItems.empty())
        Delete(Count() - 1);
}

TImageNamesItem* TImageNames::Items(int APosition) const
{
    if (APosition < 0 || APosition >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(APosition));
    return FItems[static_cast<size_t>(APosition)].get();
}

int TImageNames::ImageIndexOf(const QString& AImageName) const
{
    for (const auto& item : FItems) {
        if (item->ImageName() == AImageName)
            return item->ImageIndex();
    }
    return -1;
}

TImageNamesItem* TImageNames::ItemByImageIndex(int AImageIndex) const
{
    if (AImageIndex >= 0) {
        for (const auto& item : FItems) {
            if (item->ImageIndex() == AImageIndex)
                return item.get();
        }
    }
    throw Exception(QStringLiteral("ImageIndex %1 not found.").arg(AImageIndex));
}

int TImageNames::IndexOfItem(const TImageNamesItem* AItem) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].get() == AItem)
            return static_cast<int>(i);
    }
    return -1;
}

void TImageNames::Changed(TImageNamesItem* AItem)
{
    Q_UNUSED(AItem);
}
