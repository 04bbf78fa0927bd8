// Test programs share this main: Qt objects (fonts, pixmaps, widgets) need an application
// object, and tests must never depend on the machine's locale or time zone. Programs of
// graphics-free libraries link no widgets and get a core application.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#ifdef STUMPWISE_DESKTOP_UI
#include "platform/ui/DesktopUserInterface.h"
#endif
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
#ifdef STUMPWISE_DESKTOP_UI
    DesktopUserInterface::InstallAsCurrent();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
