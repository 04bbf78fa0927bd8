#include "controls/KpSkinPainter.h"

#include "controls/ControlsResources.h"
#include "controls/EKpSkinError.h"

#include <QFile>
#include <QtDebug>

TKpSkinPainter::TKpSkinPainter(const QString& ALookAndFeelName, const QString& AResourceName)
    : FLookAndFeelName(ALookAndFeelName), FResourceName(AResourceName)
{
}

TKpSkinPainter::TKpSkinPainter(const QString& ALookAndFeelName, std::unique_ptr<TKpSkin> ASkin)
    : FLookAndFeelName(ALookAndFeelName), FLoaded(true), FSkin(std::move(ASkin))
{
}

const TKpSkin* TKpSkinPainter::Skin() const
{
    if (!FLoaded) {
        FLoaded = true;
        EnsureControlsResources();
        QFile file(QStringLiteral(":/skins/") + FResourceName.toUpper() + QStringLiteral(".json"));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning().noquote() << QStringLiteral("Skin %1 not found").arg(FResourceName);
            return nullptr;
        }
        try {
            FSkin = std::make_unique<TKpSkin>(TKpSkin::FromJson(file.readAll()));
        } catch (const EKpSkinError& e) {
            // A broken skin leaves windows unskinned and every colour white.
            qWarning().noquote() << QStringLiteral("Skin %1 cannot be read: %2").arg(FResourceName, e.Message());
        }
    }
    return FSkin.get();
}
