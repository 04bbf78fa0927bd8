#include "SortGridTestUtil.h"

#include "controls/ControlsModule.h"
#include "controls/KelpSkinManager.h"
#include "controls/TKpBtnPnl.h"
#include "controls/TtbtnKp.h"
#include "grids/EkColumn.h"
#include "grids/TfrmSFMSearch.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormatSettings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Six records with a repeated price, texts in both letter cases and a quote.
std::unique_ptr<TClientDataSet> MakeGoods()
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add(QStringLiteral("NR"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("NOSAUK"), TFieldType::ftString, 20);
    ds->FieldDefs().Add(QStringLiteral("DATUMS"), TFieldType::ftDate);
    ds->FieldDefs().Add(QStringLiteral("CENA"), TFieldType::ftFloat);
    ds->CreateDataSet();
    struct Row { int nr; const char* name; int month; double price; };
    static const Row rows[] = {{1, "Priede", 1, 1.5}, {2, "egle", 2, 2.25}, {3, "KOKS 7", 3, 10},
                               {4, "O'Brien", 4, 7.75}, {5, "koks", 5, 3}, {6, "Egle", 6, 2.25}};
    for (const Row& r : rows)
        ds->AppendRecord({Value(r.nr), Value(QString::fromUtf8(r.name)), Value(DateTime::EncodeDate(2024, r.month, 10)),
                          Value(r.price)});
    ds->First();
    return ds;
}

template <class Grid = TCustomDBSfmGrid>
struct Searching {
    QWidget host;
    std::unique_ptr<TClientDataSet> ds = MakeGoods();
    TDataSource source;
    Grid* grid = new Grid(&host);
    BeepCounter beeps;

    Searching()
    {
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(grid);
        source.SetDataSet(ds.get());
        grid->SetDataSource(&source);
        host.resize(520, 240);
        host.show();
        QApplication::processEvents();
    }
    ~Searching()
    {
        delete grid;
        source.SetDataSet(nullptr);
    }
    void Column(const char* field)
    {
        const int indicator = (grid->Options() & dgIndicator) ? 1 : 0;
        for (int i = 0; i < grid->Columns()->Count(); ++i)
            if (grid->Columns()->Items(i)->FieldName() == QLatin1String(field))
                grid->PopupCol = i + indicator;
    }
    TfrmSFMSearch* W() const { return qobject_cast<TfrmSFMSearch*>(grid->SearchForm()); }
    int Nr() const { return ds->FieldByName(QStringLiteral("NR"))->AsInteger(); }
    void GoTo(int nr) { ASSERT_TRUE(ds->Locate(QStringLiteral("NR"), Value(nr))); }
    void Type(const QString& text) { W()->edtWhat->setText(text); }
};

TEST(SearchForm, FindForwardAndBackwardWithAndWithoutCase)
{
    struct Case { int start; const char* text; bool caseSensitive; bool forward; int expect; int beeps; };
    const Case cases[] = {
        {1, "koks", false, true, 3, 0},  {1, "koks", true, true, 5, 0},   {3, "koks", false, true, 5, 0},
        {5, "koks", false, true, 5, 1},  {6, "koks", false, false, 5, 0}, {6, "KOKS", true, false, 3, 0},
        {1, "O'B", false, true, 4, 0},   {1, "7", false, true, 3, 0},     {1, "zzz", false, true, 1, 1},
        {2, "", false, true, 2, 1},      {2, "", false, false, 2, 1},     {1, "priede", false, false, 1, 1},
    };
    Searching<> s;
    s.Column("NOSAUK");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.start));
        s.GoTo(c.start);
        s.grid->ShowFind(QString());
        TfrmSFMSearch* w = s.W();
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_FALSE(w->chkCase->isHidden());
        s.Type(QString::fromUtf8(c.text));
        w->chkCase->setChecked(c.caseSensitive);
        s.beeps.count = 0;
        (c.forward ? w->btnSearchToEnd : w->btnSearchToStart)->click();
        EXPECT_EQ(s.Nr(), c.expect);
        EXPECT_EQ(s.beeps.count, c.beeps);
        EXPECT_TRUE(w->isVisible());
    }
}

TEST(SearchForm, FindFromStartCountsTheFirstRecord)
{
    Searching<> s;
    s.Column("NOSAUK");
    s.GoTo(4);
    s.grid->ShowFind(QStringLiteral("pri"));
    EXPECT_EQ(s.W()->edtWhat->text(), QStringLiteral("pri"));
    s.W()->btnSearchFromStart->click();
    EXPECT_EQ(s.Nr(), 1);
    // Enter finds on, and the window stays.
    QTest::keyClick(s.W()->edtWhat, Qt::Key_Return);
    EXPECT_EQ(s.Nr(), 1);
    EXPECT_EQ(s.beeps.count, 1);
    EXPECT_TRUE(s.W()->isVisible());
}

TEST(SearchForm, FindWithoutTextShowsTheCurrentValue)
{
    Searching<TDBEditGrid> s;
    s.Column("CENA");
    s.GoTo(2);
    s.grid->HeaderPopup()->findChild<QAction*>(QStringLiteral("mnuFind"))->trigger();
    ASSERT_TRUE(s.W() && s.W()->isVisible());
    EXPECT_EQ(s.beeps.count, 0);
    EXPECT_EQ(s.W()->edtWhat->text(), s.ds->FieldByName(QStringLiteral("CENA"))->DisplayText());
    EXPECT_EQ(s.W()->edtWhat->selectedText(), s.W()->edtWhat->text());
    EXPECT_EQ(s.W()->windowTitle(), QStringLiteral("CENA"));
    // A lone control character (typed into a date column) only opens the window.
    s.grid->ShowFind(QString(QChar(0)));
    EXPECT_EQ(s.W()->edtWhat->text(), QString());
}

TEST(SearchForm, IncrementalSearchOverNumbersDatesAndTexts)
{
    struct Case { const char* order; const char* field; const char* text; int expect; int beeps; };
    const Case cases[] = {
        {"NR", "NR", "3", 3, 0},          {"NR", "NR", "12", 6, 0},          {"NR DESC", "NR", "3", 3, 0},
        {"NR DESC", "NR", "12", 6, 0},    {"NR", "NR", "-", 1, 1},           {"NR", "NR", "9 or NR = 2", 1, 1},
        {"NR", "NR", "0) or (NR > 0", 1, 1},
        {"CENA", "CENA", "2,25", 2, 0},   {"CENA", "CENA", "2.3", 5, 0},     {"CENA", "CENA", "8", 3, 0},
        {"CENA", "CENA", "x", 1, 1},
        {"DATUMS", "DATUMS", "2024-03-01", 3, 0}, {"DATUMS", "DATUMS", "1.03.2024", 3, 0},
        {"DATUMS", "DATUMS", "garbage", 1, 1},
        {"NOSAUK", "NOSAUK", "o'b", 4, 0}, {"NOSAUK", "NOSAUK", "PRI", 1, 0}, {"NOSAUK", "NOSAUK", "zz", 1, 1},
    };
    FormatSettings comma = FormatSettings::Default();
    const FormatSettings saved = comma;
    comma.DecimalSeparator = QLatin1Char(',');
    comma.DateSeparator = QLatin1Char('.');
    comma.ShortDateFormat = QStringLiteral("d.mm.yyyy");
    FormatSettings::SetDefault(comma);
    Searching<> s;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.order) + " " + c.text);
        s.grid->SetOrderBy(QString::fromLatin1(c.order));
        s.Column(c.field);
        s.GoTo(1);
        s.grid->ShowIncrementalSearch(QString());
        ASSERT_TRUE(s.W()->isVisible());
        EXPECT_TRUE(s.W()->btnSearchToEnd->isHidden());
        EXPECT_TRUE(s.W()->chkCase->isHidden());
        s.beeps.count = 0;
        s.Type(QString::fromUtf8(c.text));
        EXPECT_EQ(s.Nr(), c.expect);
        EXPECT_EQ(s.beeps.count, c.beeps);
        EXPECT_EQ(s.ds->Filter(), QString());
        // Deleting the text goes back to where the window opened.
        s.Type(QString());
        EXPECT_EQ(s.Nr(), 1);
        s.W()->hide();
    }
    FormatSettings::SetDefault(saved);
}

TEST(SearchForm, IncrementalSearchOverAKeyOfSeveralFields)
{
    Searching<> s;
    s.grid->SetOrderBy(QStringLiteral("NOSAUK, NR"));
    s.Column("NOSAUK");
    s.grid->Columns()->Items(1)->SetIndexFields(QStringLiteral("NOSAUK;NR"));
    s.ds->Last();
    const int last = s.Nr();
    s.GoTo(1);
    s.grid->ShowIncrementalSearch(QStringLiteral("x"));
    EXPECT_EQ(s.W()->edtWhat->text(), QString());
    s.Type(QStringLiteral("O'"));
    EXPECT_EQ(s.Nr(), 4);
    s.Type(QStringLiteral("zz"));
    EXPECT_EQ(s.Nr(), last);
}

TEST(SearchForm, NextAndPriorValue)
{
    struct Step { bool forward; int expect; int beeps; };
    const Step steps[] = {{true, 2, 0}, {true, 5, 0}, {false, 6, 0}, {false, 1, 0}, {false, 1, 1},
                          {true, 2, 0}, {true, 5, 0}, {true, 4, 0}, {true, 3, 0}, {true, 3, 1}};
    Searching<> s;
    s.grid->SetOrderBy(QStringLiteral("CENA"));
    s.Column("CENA");
    s.GoTo(1);
    s.grid->ShowNextValue();
    TfrmSFMSearch* w = s.W();
    EXPECT_FALSE(w->edtWhat->isEnabled());
    EXPECT_EQ(w->btnSearchToEnd->Hint(), QStringLiteral("Nākošā vērtība"));
    for (const Step& st : steps) {
        s.beeps.count = 0;
        (st.forward ? w->btnSearchToEnd : w->btnSearchToStart)->click();
        EXPECT_EQ(s.Nr(), st.expect);
        EXPECT_EQ(s.beeps.count, st.beeps);
        EXPECT_EQ(w->edtWhat->text(), s.ds->FieldByName(QStringLiteral("CENA"))->AsString());
    }
    // From the start: the value after the first record's.
    w->btnSearchFromStart->click();
    EXPECT_EQ(s.Nr(), 2);
    // Descending order: the next value is the smaller one.
    s.grid->SetOrderBy(QStringLiteral("CENA DESC"));
    s.GoTo(4);
    s.grid->ShowNextValue();
    s.W()->btnSearchToEnd->click();
    EXPECT_EQ(s.Nr(), 5);
}

// Own filters of the dataset, kept whatever the search does.
struct OwnFilter {
    int calls = 0;
    bool fail = false;
    void Install(TDataSet& ds)
    {
        ds.OnFilterRecord = [this](TDataSet* d, bool& accept) {
            ++calls;
            if (fail)
                throw Exception(QStringLiteral("record filter failed"));
            accept = d->FieldByName(QStringLiteral("NR"))->AsInteger() != 2;
        };
    }
};

TEST(SearchForm, TheDatasetKeepsItsFilterAndIndex)
{
    for (const bool filtered : {false, true}) {
        SCOPED_TRACE(filtered ? "filtered" : "filter off");
        Searching<> s;
        OwnFilter own;
        own.Install(*s.ds);
        const std::type_info& ownType = s.ds->OnFilterRecord.target_type();
        s.ds->SetFilter(QStringLiteral("NR <> 4"));
        s.ds->SetFiltered(filtered);
        s.grid->SetOrderBy(QStringLiteral("NR"));
        const QString index = s.ds->IndexName();
        const int count = s.ds->RecordCount();
        const auto check = [&] {
            EXPECT_EQ(s.ds->Filter(), QStringLiteral("NR <> 4"));
            EXPECT_EQ(s.ds->Filtered(), filtered);
            EXPECT_EQ(s.ds->IndexName(), index);
            EXPECT_EQ(s.ds->RecordCount(), count);
            EXPECT_TRUE(s.ds->OnFilterRecord.target_type() == ownType);
        };
        s.Column("NOSAUK");
        s.ds->First();
        s.grid->ShowFind(QStringLiteral("O'B"));
        s.W()->btnSearchToEnd->click();
        // Switched off, the dataset's filter does not narrow the search.
        EXPECT_EQ(s.Nr(), filtered ? 1 : 4);
        check();
        s.W()->btnSearchToStart->click();
        check();
        s.Column("NR");
        s.grid->ShowIncrementalSearch(QStringLiteral("2"));
        EXPECT_EQ(s.Nr(), filtered ? 3 : 2);
        check();
        s.Type(QStringLiteral("99"));
        check();
        s.grid->ShowNextValue();
        s.W()->btnSearchToEnd->click();
        check();
        // A search that fails on the way.
        if (filtered) {
            own.fail = true;
            s.ds->First();
            s.grid->ShowIncrementalSearch(QStringLiteral("5"));
            EXPECT_EQ(s.Nr(), 1);
            own.fail = false;
            check();
        }
    }
}

TEST(SearchForm, EscapeGoesBackAndEnterKeepsTheFoundRecord)
{
    Searching<> s;
    s.grid->SetOrderBy(QStringLiteral("NR"));
    s.Column("NR");
    s.GoTo(2);
    s.grid->ShowIncrementalSearch(QStringLiteral("5"));
    EXPECT_EQ(s.Nr(), 5);
    QTest::keyClick(s.W()->edtWhat, Qt::Key_Escape);
    EXPECT_FALSE(s.W()->isVisible());
    EXPECT_EQ(s.Nr(), 2);
    s.grid->ShowIncrementalSearch(QStringLiteral("4"));
    QTest::keyClick(s.W()->edtWhat, Qt::Key_Return);
    EXPECT_FALSE(s.W()->isVisible());
    EXPECT_EQ(s.Nr(), 4);
    // Another window taking the activation closes it; the found record stays.
    s.grid->ShowIncrementalSearch(QStringLiteral("3"));
    s.W()->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(s.W()->isActiveWindow());
    s.host.activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(s.W()->isVisible());
    EXPECT_EQ(s.Nr(), 3);
    // Letters do not reach the text of a number column.
    s.grid->ShowIncrementalSearch(QStringLiteral("1"));
    QTest::keyClicks(s.W()->edtWhat, QStringLiteral("a5"));
    EXPECT_EQ(s.W()->edtWhat->text(), QStringLiteral("15"));
}

TEST(SearchForm, ComesBackWhereTheUserLeftItInsideTheScreen)
{
    Searching<> s;
    s.Column("NOSAUK");
    s.grid->ShowFind(QStringLiteral("a"));
    TfrmSFMSearch* w = s.W();
    const QPoint corner = s.grid->mapToGlobal(QPoint(0, s.grid->height()));
    EXPECT_EQ(w->pos(), s.grid->mapToGlobal(QPoint(11, s.grid->height() - w->frameGeometry().height())));
    w->move(corner + QPoint(40, 25));
    w->hide();
    EXPECT_EQ(s.grid->SearchFormPos, QPoint(40, 25));
    s.grid->ShowFind(QStringLiteral("a"));
    EXPECT_EQ(s.W(), w);
    EXPECT_EQ(w->pos(), corner + QPoint(40, 25));
    w->hide();
    s.grid->SearchFormPos = QPoint(100000, 100000);
    s.grid->ShowFind(QStringLiteral("a"));
    const QRect screen = s.grid->screen()->geometry();
    EXPECT_EQ(w->frameGeometry().right(), screen.right());
    EXPECT_EQ(w->frameGeometry().bottom(), screen.bottom());
}

TEST(SearchForm, EnterShortcutOfTheWindowIsLentWhileUp)
{
    Searching<> s;
    auto* ok = new QAction(QStringLiteral("OK"), &s.host);
    ok->setShortcut(QKeySequence(Qt::Key_Return));
    s.Column("NOSAUK");
    s.grid->ShowFind(QStringLiteral("a"));
    EXPECT_TRUE(ok->shortcut().isEmpty());
    s.W()->hide();
    EXPECT_EQ(ok->shortcut(), QKeySequence(Qt::Key_Return));
}

// A grid that takes the searches over.
class TakingGrid : public TCustomDBSfmGrid {
public:
    using TCustomDBSfmGrid::TCustomDBSfmGrid;
    QStringList calls;
    void DoIncrementalSearch(const QString& F, const QString& T, bool& Handled) override
    {
        calls << QStringLiteral("inc %1 %2").arg(F, T);
        Handled = true;
    }
    void DoSearchForward(const QString& F, const QString& T, bool CI, bool& Handled) override
    {
        calls << QStringLiteral("fwd %1 %2 %3").arg(F, T).arg(CI);
        Handled = true;
    }
    void DoSearchBackward(const QString& F, const QString& T, bool CI, bool& Handled) override
    {
        calls << QStringLiteral("back %1 %2 %3").arg(F, T).arg(CI);
        Handled = true;
    }
    void JumpToStart(bool& Handled) override
    {
        calls << QStringLiteral("start");
        Handled = true;
    }
};

TEST(SearchForm, AGridCanTakeTheSearchOver)
{
    Searching<TakingGrid> s;
    s.Column("NOSAUK");
    s.GoTo(3);
    s.grid->ShowFind(QStringLiteral("Egle"));
    s.W()->chkCase->setChecked(true);
    s.W()->btnSearchToEnd->click();
    s.W()->btnSearchToStart->click();
    s.W()->btnSearchFromStart->click();
    s.W()->hide();
    s.grid->SetOrderBy(QStringLiteral("NOSAUK"));
    s.grid->ShowIncrementalSearch(QStringLiteral("E"));
    EXPECT_EQ(s.Nr(), 3);
    EXPECT_EQ(s.beeps.count, 0);
    EXPECT_EQ(s.grid->calls, (QStringList{"fwd NOSAUK Egle 0", "back NOSAUK Egle 0", "start",
                                          "fwd NOSAUK Egle 0", "inc NOSAUK E"}));
}

TEST(SearchForm, PastingIntoASortedGridSearchesTheClipboardText)
{
    Searching<> s;
    s.grid->SetOptions(s.grid->Options() & ~dgEditing);
    s.grid->SetOrderBy(QStringLiteral("NOSAUK"));
    s.grid->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("kok"));
    QTest::keyClick(s.grid, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(s.W() && s.W()->isVisible());
    EXPECT_EQ(s.W()->edtWhat->text(), QStringLiteral("kok"));
    EXPECT_TRUE(s.ds->FieldByName(QStringLiteral("NOSAUK"))->AsString().startsWith(QStringLiteral("kok"),
                                                                                    Qt::CaseInsensitive));
    s.W()->hide();
    // Without text on the clipboard Ctrl+V opens nothing.
    QApplication::clipboard()->clear();
    delete s.grid->SearchForm();
    QTest::keyClick(s.grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(s.W(), nullptr);
}

TEST(SearchForm, WindowToPng)
{
    ControlsStartup({});
    {
        Searching<> s;
        SkinManager().Initialize(&s.host, QStringLiteral("QurtaLumeret"));
        s.Column("NOSAUK");
        s.grid->ShowFind(QStringLiteral("koks"));
        TfrmSFMSearch* w = s.W();
        EXPECT_EQ(w->size(), QSize(290, TfrmSFMSearch::FindHeight));
        // Text, the three buttons and the case box lie side by side inside the window.
        EXPECT_LT(w->edtWhat->geometry().right(), w->btnSearchFromStart->geometry().left());
        EXPECT_LT(w->btnSearchFromStart->geometry().right(), w->btnSearchToEnd->geometry().left());
        EXPECT_LT(w->btnSearchToEnd->geometry().right(), w->btnSearchToStart->geometry().left());
        EXPECT_LE(w->btnSearchToStart->mapTo(w, QPoint(w->btnSearchToStart->width(), 0)).x(), w->width());
        EXPECT_LE(w->chkCase->geometry().bottom(), w->height());
        const QImage image = w->grab().toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.save(QDir::temp().filePath(QStringLiteral("stumpwise_search_find.png"))));
        w->hide();
        s.grid->SetOrderBy(QStringLiteral("NR"));
        s.Column("NR");
        s.grid->ShowIncrementalSearch(QStringLiteral("4"));
        EXPECT_TRUE(w->grab().toImage().save(QDir::temp().filePath(QStringLiteral("stumpwise_search_inc.png"))));
    }
    ControlsShutdown();
}

} // namespace
