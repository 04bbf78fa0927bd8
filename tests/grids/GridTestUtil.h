#pragma once

#include "controls/KpPainter.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/ui/UiServices.h"

#include <QApplication>
#include <QPainter>
#include <QStringList>
#include <QTest>
#include <memory>
#include <ostream>
#include <vector>

#ifndef STUMPWISE_QSTRING_PRINTTO
#define STUMPWISE_QSTRING_PRINTTO
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
#endif

// Qt remembers the modifiers and mouse buttons of the events it was sent, and the grids read
// them: a Ctrl+click or a double click left by an earlier test would read as Ctrl or a button
// still held. Every fixture starts with no key and no button held.
inline void ReleaseHeldKeys()
{
    QWidget receiver;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseRelease(&receiver, button, Qt::NoModifier, QPoint(1, 1));
    QTest::keyRelease(&receiver, Qt::Key_Control, Qt::NoModifier);
}

// Records the texts of the message boxes shown while it lives, answering each with OK.
struct RecordedMessages {
    QStringList texts;
    RecordedMessages()
    {
        UiServices::SetMessageBoxHook([this](QWidget*, const QString& text, const QString&, QMessageBox::Icon,
                                             QMessageBox::StandardButtons) {
            texts << text;
            return QMessageBox::Ok;
        });
    }
    ~RecordedMessages() { UiServices::SetMessageBoxHook({}); }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;
};

// A grid that paints its title and data cells the way the program's grids do (title gradient
// and caption, data cells through DefaultDrawColumnCell) and records every text it draws.
class TestGrid : public TCustomDBEdGrid {
public:
    struct Text {
        int col, row;
        QString text;
    };
    using TCustomDBEdGrid::TCustomDBEdGrid;

    std::vector<Text> texts;
    int selectedRow = -1;       // data row the test pretends is multi-selected
    int cachedState = 0;        // pending change reported for every non-current row
    bool sequenced = true;

    void DrawCell(int ACol, int ARow, const QRect& ARect, TGridDrawState AState) override
    {
        TCustomDBEdGrid::DrawCell(ACol, ARow, ARect, AState);
        FCurrentCol = ACol;
        FCurrentRow = ARow;
        if (ACol < IndicatorOffset())
            return;
        TEkColumn* column = Columns()->Count() > ACol - IndicatorOffset()
                                ? Columns()->Items(ACol - IndicatorOffset()) : nullptr;
        if (!column)
            return;
        if (ARow < TitleOffset()) {
            GridPainter().Grid_Title(*Canvas(), ARect);
            Canvas()->setPen(Qt::black);
            CellText(*Canvas(), ARect, 2, 2, column->Title()->Caption(), column->Title()->Alignment(), 4);
            return;
        }
        const bool drawn = WithBufferRecord(ARow - TitleOffset(), [&] {
            const bool high = HighlightCell(ACol, ARow, QString(), AState) || (AState & gdSelected);
            Canvas()->fillRect(ARect, high ? QColor(0x33, 0x99, 0xFF) : column->Color());
            Canvas()->setPen(high ? Qt::white : Qt::black);
            Canvas()->setBrush(high ? QColor(0x33, 0x99, 0xFF) : column->Color());
            DefaultDrawColumnCell(ARect, ACol - IndicatorOffset(), column, AState);
        });
        if (!drawn)
            Canvas()->fillRect(ARect, Color());
    }

    void CellText(QPainter& Canvas, const QRect& Rect, int DX, int DY, const QString& Text,
                  TAlignment Alignment, uint8_t Flags) override
    {
        texts.push_back({FCurrentCol, FCurrentRow, Text});
        TCustomDBEdGrid::CellText(Canvas, Rect, DX, DY, Text, Alignment, Flags);
    }

    bool IsCurrentRowSelected() override
    {
        return selectedRow >= 0 && DataLink()->ActiveRecord() == selectedRow;
    }
    int CachedUpdateState() override { return cachedState; }
    bool DataSetIsSequenced(TDataSet*) const override { return sequenced; }

    // Paints whatever is pending now.
    void PaintNow()
    {
        QApplication::processEvents();
        UpdatePending();
        QApplication::processEvents();
    }
    std::vector<QString> TextsOfRow(int row) const
    {
        std::vector<QString> r;
        for (const auto& t : texts)
            if (t.row == row)
                r.push_back(t.text);
        return r;
    }

private:
    int FCurrentCol = -1, FCurrentRow = -1;
};

// Trees: KOKS_NR (integer), SUGA (string 10), DATUMS (date), PIEZ (memo), SLEPTS (hidden).
inline std::unique_ptr<TClientDataSet> MakeTrees(int records)
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("SUGA"), TFieldType::ftString, 10);
    ds->FieldDefs().Add(QStringLiteral("DATUMS"), TFieldType::ftDate);
    ds->FieldDefs().Add(QStringLiteral("PIEZ"), TFieldType::ftMemo);
    ds->FieldDefs().Add(QStringLiteral("SLEPTS"), TFieldType::ftInteger);
    ds->CreateDataSet();
    ds->FieldByName(QStringLiteral("KOKS_NR"))->SetDisplayLabel(QStringLiteral("Koka nr."));
    ds->FieldByName(QStringLiteral("SLEPTS"))->SetVisible(false);
    static const char* const species[] = {"Priede", "Egle", "Bērzs", "Apse"};
    ds->DisableControls();
    for (int i = 1; i <= records; ++i)
        ds->AppendRecord({Value(i), Value(QString::fromUtf8(species[i % 4])),
                          Value(DateTime::EncodeDate(2024, 1 + i % 12, 1 + i % 28)), Value(), Value(i * 10)});
    ds->EnableControls();
    ds->First();
    return ds;
}

// A shown grid over a dataset, sized to a client area.
struct GridOver {
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    std::unique_ptr<TestGrid> grid;

    explicit GridOver(int records, QSize client = QSize(400, 200))
        : ds(MakeTrees(records)), grid(std::make_unique<TestGrid>())
    {
        ReleaseHeldKeys();
        source.SetDataSet(ds.get());
        grid->SetDataSource(&source);
        grid->show();
        const QSize frame = grid->size() - grid->viewport()->size();
        grid->resize(frame + client);
        QApplication::processEvents();
        grid->PaintNow();
    }
    ~GridOver()
    {
        grid.reset();
    }
};
