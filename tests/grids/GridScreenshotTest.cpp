#include "GridTestUtil.h"

#include "controls/ControlsModule.h"
#include "controls/KelpSkinManager.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Grabs a grid over a small dataset to a PNG so that a person can look at it.
TEST(GridScreenshot, SmallDatasetToPng)
{
    ControlsStartup({});
    QWidget form;
    SkinManager().Initialize(&form, QStringLiteral("QurtaLumeret"));
    GridOver g(8, QSize(520, 200));
    TestGrid& grid = *g.grid;
    grid.SetOptions(grid.Options() | dgRowSelect);
    g.ds->MoveBy(2);
    grid.PaintNow();
    const QImage image = grid.grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QString path = QDir::temp().filePath(QStringLiteral("stumpwise_grid.png"));
    ASSERT_TRUE(image.save(path));
    // The title row is painted, not left white.
    const QRect title = grid.CellRect(1, 0);
    const QPoint inTitle = grid.viewport()->mapTo(&grid, title.topLeft() + QPoint(1, 1));
    EXPECT_NE(image.pixelColor(inTitle), QColor(Qt::white));
    g.grid.reset();
    ControlsShutdown();
}

} // namespace
