#include "controls/KpGlobalImageList.h"

#include <QStringList>
#include <memory>

int TKpGlobalImageList::IndexOf(const QString& AImageName)
{
    int index = TKpImageList::IndexOf(AImageName);
    if (index >= 0 || AImageName.isEmpty())
        return index;
    const QString stored = AImageName.toUpper();
    index = TKpImageList::IndexOf(stored);
    if (index >= 0)
        return index;
    AddImageName(stored);
    return TKpImageList::IndexOf(stored);
}

namespace {

std::unique_ptr<TKpGlobalImageList>& NodeImagesHolder()
{
    static std::unique_ptr<TKpGlobalImageList> holder;
    return holder;
}

std::unique_ptr<TKpGlobalImageList>& FavoritesImagesHolder()
{
    static std::unique_ptr<TKpGlobalImageList> holder;
    return holder;
}

TKpGlobalImageList& MakeList(std::unique_ptr<TKpGlobalImageList>& AHolder, const QStringList& ANames)
{
    if (!AHolder) {
        AHolder = std::make_unique<TKpGlobalImageList>(16, 16);
        for (const QString& name : ANames)
            AHolder->AddImageName(name);
    }
    return *AHolder;
}

} // namespace

TKpGlobalImageList& GlobalNodeImages()
{
    static const QStringList names = {
        QStringLiteral("NODEEXPAND"),  QStringLiteral("NODECOLLAPSE"),  QStringLiteral("NODESONLY"),
        QStringLiteral("NODEDOCUMENT"), QStringLiteral("NODELIST"),     QStringLiteral("NODEPAMATDATI"),
        QStringLiteral("NODEMENU"),    QStringLiteral("SUBSIS"),        QStringLiteral("SUBSIS2"),
        QStringLiteral("SUBSIS3"),     QStringLiteral("SUBSIS4"),       QStringLiteral("SUBSIS_NONE"),
        QStringLiteral("NONE"),        QStringLiteral("TREECOLLAPSE"),  QStringLiteral("TREEEXPAND"),
    };
    return MakeList(NodeImagesHolder(), names);
}

TKpGlobalImageList& GlobalFavoritesImages()
{
    static const QStringList names = {
        QStringLiteral("SUBSIS"),      QStringLiteral("SUBSIS2"),  QStringLiteral("SUBSIS3"),
        QStringLiteral("SUBSIS4"),     QStringLiteral("SUBSIS_NONE"), QStringLiteral("ADD_FAVS"),
        QStringLiteral("REM_FAVS"),
    };
    return MakeList(FavoritesImagesHolder(), names);
}

void FreeGlobalImageLists()
{
    NodeImagesHolder().reset();
    FavoritesImagesHolder().reset();
}
