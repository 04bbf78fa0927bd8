#include "controls/ControlsModule.h"
#include "platform/rtl/FormatSettings.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {
// The skins, images and grid painter exist for the whole run, as in the program.
class ControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // Numbers typed into the window are read with fixed settings, whatever the machine's.
        FormatSettings::SetDefault(FormatSettings::FromLocale(QLocale::c()));
        ControlsStartup({});
    }
    void TearDown() override { ControlsShutdown(); }
};

[[maybe_unused]] ::testing::Environment* const kControls =
    ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);
} // namespace
