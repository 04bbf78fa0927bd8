#include "controls/LookAndFeelPainters.h"

#include <algorithm>

void TLookAndFeelPainters::Register(std::unique_ptr<TKpSkinPainter> APainter)
{
    if (!APainter)
        return;
    Unregister(APainter->LookAndFeelName());
    FPainters.push_back(std::move(APainter));
}

void TLookAndFeelPainters::Unregister(const QString& AName)
{
    FPainters.erase(std::remove_if(FPainters.begin(), FPainters.end(),
                                   [&](const std::unique_ptr<TKpSkinPainter>& p) {
                                       return p->LookAndFeelName().compare(AName, Qt::CaseInsensitive) == 0;
                                   }),
                    FPainters.end());
}

const TKpSkinPainter* TLookAndFeelPainters::GetPainter(const QString& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    for (const auto& painter : FPainters) {
        if (painter->LookAndFeelName().compare(AName, Qt::CaseInsensitive) == 0)
            return painter.get();
    }
    return nullptr;
}

TLookAndFeelPainters& LookAndFeelPainters()
{
    static TLookAndFeelPainters painters;
    return painters;
}
