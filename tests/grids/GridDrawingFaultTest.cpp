#include "SortGridTestUtil.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>
#include <set>

namespace {

// A sort grid whose drawing of one title or one data cell text fails.
class FaultySortGrid : public TestSortGrid {
public:
    using TestSortGrid::TestSortGrid;
    QString failingText = QStringLiteral("(nothing fails)");
    void CellText(QPainter& Canvas, const QRect& Rect, int DX, int DY, const QString& Text, TAlignment Alignment,
                  uint8_t Flags) override
    {
        if (Text == failingText)
            throw Exception(QStringLiteral("cannot draw ") + Text);
        TestSortGrid::CellText(Canvas, Rect, DX, DY, Text, Alignment, Flags);
    }
};

struct Boxes {
    std::vector<QString> texts;
    bool duringPaint = false;
    explicit Boxes(TCustomGrid* grid)
    {
        UiServices::SetMessageBoxHook([this, grid](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                                   QMessageBox::StandardButtons) {
            texts.push_back(text);
            duringPaint = duringPaint || grid->Canvas();
            return QMessageBox::Ok;
        });
    }
    ~Boxes() { UiServices::SetMessageBoxHook({}); }
};

TEST(GridDrawingFault, AFailingCellIsReportedOnceOutsideThePaintAndTheRestIsDrawn)
{
    struct Case {
        const char* what;
        QString failing;     // a caption or a cell text
        QString otherText;   // drawn all the same
    };
    const Case cases[] = {{"title", QStringLiteral("SUGA"), QStringLiteral("Koka nr.")},
                          {"data", QStringLiteral("Egle"), QStringLiteral("Priede")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SortGridOver<FaultySortGrid> g(8);
        g.grid->failingText = c.failing;
        Boxes boxes(g.grid.get());
        for (int i = 0; i < 3; ++i) {
            g.grid->texts.clear();
            g.grid->InvalidateGrid();
            EXPECT_NO_THROW(g.grid->PaintNow());
            std::set<QString> drawn;
            for (const auto& t : g.grid->texts)
                drawn.insert(t.text);
            EXPECT_TRUE(drawn.count(c.otherText)) << "the other cells are painted";
            EXPECT_TRUE(drawn.count(QStringLiteral("Bērzs")));
        }
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("cannot draw ") + c.failing);
        EXPECT_FALSE(boxes.duringPaint);
    }
}

TEST(GridDrawingFault, AFailingDrawHandlerGoesToTheReceiverOfTheReport)
{
    SortGridOver<TestSortGrid> g(5);
    Boxes boxes(g.grid.get());
    std::vector<QString> reported;
    QObject::connect(g.grid.get(), &TCustomGrid::DrawingFailed,
                     [&](const QString& message) { reported.push_back(message); });
    g.grid->OnDrawColumnCell = [](TCustomDBEdGrid*, const QRect&, int DataCol, TEkColumn*, TGridDrawState) {
        if (DataCol == 1)
            throw std::runtime_error("handler failed");
    };
    for (int i = 0; i < 3; ++i) {
        g.grid->InvalidateGrid();
        EXPECT_NO_THROW(g.grid->PaintNow());
    }
    EXPECT_EQ(reported, std::vector<QString>{QStringLiteral("handler failed")});
    EXPECT_TRUE(boxes.texts.empty()) << "the receiver shows it, the grid does not";
}

TEST(GridDrawingFault, DataCellEventOnlyWhileTheColumnsAreTheDefaultOnes)
{
    SortGridOver<TestSortGrid> g(3);
    std::set<QString> fields;
    int withoutField = 0;
    g.grid->OnDrawDataCell = [&](TCustomDBEdGrid* sender, const QRect&, TField* field, TGridDrawState) {
        EXPECT_EQ(sender, g.grid.get());
        if (field)
            fields.insert(field->FieldName());
        else
            ++withoutField;
    };
    g.grid->InvalidateGrid();
    g.grid->PaintNow();
    ASSERT_EQ(g.grid->Columns()->State(), TDBEdGridColumnsState::csDefault);
    EXPECT_TRUE(fields.count(QStringLiteral("KOKS_NR")));
    EXPECT_TRUE(fields.count(QStringLiteral("SUGA")));
    EXPECT_EQ(withoutField, 0);

    fields.clear();
    g.grid->Columns()->Add()->SetFieldName(QStringLiteral("SUGA"));
    ASSERT_EQ(g.grid->Columns()->State(), TDBEdGridColumnsState::csCustomized);
    g.grid->InvalidateGrid();
    g.grid->PaintNow();
    EXPECT_TRUE(fields.empty());
}

} // namespace
