#include "app/AppExceptionHandler.h"
#include "app/CSKTRImportAppFM.h"
#include "app/AppUserInterface.h"
#include "app/ProgramIdentity.h"
#include "app/QtTranslations.h"
#include "base/KelpUtils.h"
#include "controls/ControlsModule.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    // Without a display Qt aborts with a long message about platform plugins; say it plainly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "stumpwise: no display found; run it under a desktop session or as: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    ProgramIdentity::Apply();
    QtTranslations::Install();
    app.setStyle(QStringLiteral("Fusion"));

    AppUserInterface::InstallAsCurrent();
    KelpUtils::InstallDefaultHooks();
    ControlsStartup(QApplication::arguments());

    int result = 0;
    {
        auto window = std::make_unique<TfmCSKTRImportAppFM>();
        window->show();
        result = app.exec();
    }
    ControlsShutdown();
    return result;
}
