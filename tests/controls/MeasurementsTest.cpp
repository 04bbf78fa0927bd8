#include "base/Perf.h"
#include "controls/KelpSkinManager.h"
#include "controls/KpImageList.h"

#include <gtest/gtest.h>

namespace {

int Started = 0;

void CountingStart(const TCodeLocation&, TPerfSimple&)
{
    ++Started;
}

// Installs the counting hook while it lives.
class TCountMeasurements {
public:
    TCountMeasurements() : FPrevious(PerfStartProc) { PerfStartProc = &CountingStart; Started = 0; }
    ~TCountMeasurements() { PerfStartProc = FPrevious; }

private:
    TPerfStartProc FPrevious;
};

} // namespace

TEST(Measurements, LoadingRescalingAndReskinningAreMeasured)
{
    TCountMeasurements counting;
    TKpImageList list(9, 9);
    list.AddImageName("ASC1");
    EXPECT_GE(Started, 1);
    Started = 0;
    list.SetScale(2.0);
    EXPECT_GE(Started, 3); // the scale, the rebuild and the reload
    Started = 0;
    TKelpSkinManager manager;
    manager.SetSkinName("QurtaLumeret");
    manager.RefreshVisualization(nullptr);
    EXPECT_EQ(Started, 2);
}
