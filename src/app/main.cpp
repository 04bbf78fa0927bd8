#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

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
    app.setApplicationName(QStringLiteral("Stumpwise"));
    app.setOrganizationName(QStringLiteral("Qurta"));
    return 0;
}
