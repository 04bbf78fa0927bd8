#include "AppTestUtil.h"

#include "controls/TtbtnKp.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "grids/TfrmSFMSearch.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

namespace {

class GridSearch : public AppTest {};

// "&Meklēšana" of each analysis grid opens the search window, which finds a later record's
// value and goes back to where it started on Escape.
TEST_F(GridSearch, FindWorksOnEveryAnalysisGrid)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    ASSERT_TRUE(boxes.empty());
    int beeps = 0;
    UiServices::SetBeepHook([&] { ++beeps; });
    auto restore = qScopeGuard([] { UiServices::SetBeepHook({}); });
    for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grdDiamNovirzes}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        TDataSet* ds = grid->LinkDataSet();
        ASSERT_GT(ds->RecordCount(), 1);
        grid->PopupCol = 1;
        TField* f = ds->FieldByName(grid->Columns()->Items(0)->FieldName());
        ds->Last();
        const QString wanted = f->DisplayText();
        ds->First();
        const TBookmark start = ds->GetBookmark();
        grid->PrepareHeaderPopup(0, 0);
        QAction* find = grid->HeaderPopup()->findChild<QAction*>(QStringLiteral("mnuFind"));
        ASSERT_TRUE(find->isVisible());
        grid->HeaderPopup()->hide();
        find->trigger();
        auto* w = qobject_cast<TfrmSFMSearch*>(grid->SearchForm());
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_EQ(w->windowTitle(), grid->Columns()->Items(0)->Title()->Caption());
        w->edtWhat->setText(wanted);
        w->btnSearchToEnd->click();
        EXPECT_EQ(beeps, 0);
        EXPECT_TRUE(f->DisplayText().contains(wanted, Qt::CaseInsensitive));
        if (grid == frame->grdKoki) {
            // What the user sees: the window over its grid.
            QImage shot = window->grab().toImage();
            QPainter p(&shot);
            p.drawImage(window->mapFromGlobal(w->pos()), w->grab().toImage());
            p.end();
            EXPECT_TRUE(shot.save(QDir::temp().filePath(QStringLiteral("stumpwise_search_window.png"))));
        }
        QTest::keyClick(w->edtWhat, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(ds->GetBookmark(), start);
    }
}

} // namespace
