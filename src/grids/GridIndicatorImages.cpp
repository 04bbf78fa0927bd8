#include "grids/GridIndicatorImages.h"

#include "controls/KpImageList.h"

#include <memory>

namespace {
std::unique_ptr<TKpImageList>& list()
{
    static std::unique_ptr<TKpImageList> l;
    return l;
}
int& holders()
{
    static int n = 0;
    return n;
}
}

void GridIndicatorImages::Acquire()
{
    ++holders();
    if (!list()) {
        auto l = std::make_unique<TKpImageList>(11, 11);
        for (const char* name : {"DBEDGARROW", "DBEDEDIT", "DBEDINSERT", "DBEDMULTIDOT", "DBEDMULTIARROW",
                                 "DBEDCACHEINSERTED", "DBEDCACHEUPDATED", "DBEDCACHEDELETED"})
            l->AddImageName(QString::fromLatin1(name));
        list() = std::move(l);
    }
}

void GridIndicatorImages::Release()
{
    if (holders() <= 0)
        return;
    if (--holders() == 0)
        list().reset();
}

TKpImageList* GridIndicatorImages::List() { return list().get(); }
int GridIndicatorImages::HolderCount() { return holders(); }
