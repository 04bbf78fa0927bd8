#pragma once

#include "GridTestUtil.h"
#include "grids/CustomDBSfmGrid.h"
#include "grids/DBEditGrid.h"

#include <QMenu>
#include <QAction>

// A sort grid that records the texts it draws, over the tree dataset of GridTestUtil.
class TestSortGrid : public TCustomDBSfmGrid {
public:
    using TCustomDBSfmGrid::TCustomDBSfmGrid;
    std::vector<TestGrid::Text> texts;
    void CellText(QPainter& Canvas, const QRect& Rect, int DX, int DY, const QString& Text, TAlignment Alignment,
                  uint8_t Flags) override
    {
        texts.push_back({0, 0, Text});
        TCustomDBSfmGrid::CellText(Canvas, Rect, DX, DY, Text, Alignment, Flags);
    }
    void PaintNow()
    {
        QApplication::processEvents();
        UpdatePending();
        QApplication::processEvents();
    }
};

// Counts beeps while alive.
struct BeepCounter {
    int count = 0;
    BeepCounter() { UiServices::SetBeepHook([this] { ++count; }); }
    ~BeepCounter() { UiServices::SetBeepHook({}); }
};

template <class Grid>
struct SortGridOver {
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    std::unique_ptr<Grid> grid;

    explicit SortGridOver(int records, QSize client = QSize(500, 200))
        : ds(MakeTrees(records)), grid(std::make_unique<Grid>())
    {
        ReleaseHeldKeys();
        source.SetDataSet(ds.get());
        grid->SetDataSource(&source);
        grid->show();
        const QSize frame = grid->size() - grid->viewport()->size();
        grid->resize(frame + client);
        QApplication::processEvents();
    }
    ~SortGridOver() { grid.reset(); }

    QAction* Item(const char* name) const
    {
        return grid->HeaderPopup()->template findChild<QAction*>(QString::fromLatin1(name));
    }
    // The visible named entries of the header menu, in order.
    QStringList VisibleItems() const
    {
        QStringList r;
        for (QAction* a : grid->HeaderPopup()->actions())
            if (!a->isSeparator() && a->isVisible())
                r << a->objectName();
        return r;
    }
    // KOKS_NR of every record in the dataset's current order.
    std::vector<int> Order() const
    {
        std::vector<int> r;
        ds->First();
        while (!ds->Eof()) {
            r.push_back(ds->FieldByName(QStringLiteral("KOKS_NR"))->AsInteger());
            ds->Next();
        }
        ds->First();
        return r;
    }
    // Centre of a title cell in viewport coordinates.
    QPoint Title(int col) const { return grid->CellRect(col, 0).center(); }
};
