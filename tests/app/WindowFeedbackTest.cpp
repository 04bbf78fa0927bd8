#include "AppTestUtil.h"

#include "controls/KelpSkinManager.h"
#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/rtl/Exception.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QBackingStore>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

namespace {

// What the screen holds of a widget: the window's painted pixels, not a fresh rendering.
QImage OnScreen(QWidget* w)
{
    // Until nothing is pending: a paint may ask for another.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    return w->screen()->grabWindow(w->window()->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
}

// What the screen holds now, events still pending left as they are.
QImage OnScreenNow(QWidget* w)
{
    return w->screen()->grabWindow(w->winId(), 0, 0, w->width(), w->height()).toImage();
}

// The smallest rectangle holding every pixel in which two images of one size differ.
QRect Differences(const QImage& a, const QImage& b)
{
    QRect r;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

// The grid painted from scratch, as it should look.
QImage Fresh(TCustomDBEdGrid* grid)
{
    grid->InvalidateGrid();
    grid->viewport()->repaint();
    return OnScreen(grid->viewport());
}

// Every value a column shows fits its cell in bold, the font the current row is drawn in
// (the total rows of the deviation table too), up to the width past which columns are not
// widened: the cell less its inner margins holds it.
void ExpectValuesFitInBold(TCustomDBEdGrid* grid, int limit)
{
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
        TEkColumn* column = grid->Columns()->Items(i);
        QFont bold = column->Font();
        bold.setBold(true);
        for (int r = 0; r < grid->DataLink()->RecordCount(); ++r)
            grid->WithBufferRecord(r, [&] {
                const QString text = grid->GetEditText(i + grid->IndicatorOffset(), r + grid->TitleOffset());
                EXPECT_LE(std::min(grid->TextWidth(bold, text), limit), column->Width() - 3)
                    << column->FieldName().toStdString() << " " << text.toStdString();
            });
    }
}

class WindowFeedback : public AppTest {
protected:
    int cursorDepth = 0;
    int cursorOns = 0;
    void SetUp() override
    {
        AppTest::SetUp();
        UiServices::SetWaitCursorHook([this](bool on) {
            cursorDepth += on ? 1 : -1;
            cursorOns += on ? 1 : 0;
        });
    }
    void TearDown() override
    {
        AppTest::TearDown();
        UiServices::SetWaitCursorHook({});
    }
};

TEST_F(WindowFeedback, NoticeAndHourglassWhileAFileIsRead)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    ASSERT_EQ(cursorDepth, 0);
    const QList<TFrameGrid*> shown = {frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grd1};
    struct Case {
        const char* file;
        bool fails;
    };
    const Case cases[] = {{"hqc/vimek-forester-h70.hqc", false}, {"ktr/bad-number.ktr", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (TFrameGrid* g : shown)
            ASSERT_FALSE(g->ShowingNoDataMessage());
        int seen = 0;
        // Painted before the reading starts, with the hourglass on.
        auto reading = [&] {
            ++seen;
            for (TFrameGrid* g : shown)
                EXPECT_TRUE(g->ShowingNoDataMessage()) << g->objectName().toStdString();
            EXPECT_EQ(cursorDepth, 1);
            // On the screen, not only decided: the notice's band over the old rows.
            const QPoint at = frame->grdKoki->viewport()->mapTo(window.get(), QPoint(0, 0));
            const QImage screen = window->screen()->grabWindow(window->winId(), at.x(), at.y(), 40, 40).toImage();
            EXPECT_EQ(screen.pixelColor(30, 30), SkinManager().ColorHeaderBeginGradient());
        };
        loader->SetReaders([&](const QString& f, TAnalysisModel& m) { reading(); ImportKTRFile(f, m); },
                           [&](const QString& f, TAnalysisModel& m) { reading(); ImportHQCFile(f, m); });
        const size_t boxesBefore = boxes.size();
        ClickLoad(Fixture(c.file));
        EXPECT_EQ(seen, 1);
        EXPECT_EQ(boxes.size(), boxesBefore + (c.fails ? 1 : 0));
        // Both end, also after a failure.
        EXPECT_EQ(cursorDepth, 0);
        for (TFrameGrid* g : shown) {
            g->viewport()->repaint();
            EXPECT_FALSE(g->ShowingNoDataMessage()) << g->objectName().toStdString();
            EXPECT_FALSE(g->DataSetControlsDisabled());
        }
    }
    // A cancelled dialog reads nothing and shows no notice.
    const int ons = cursorOns;
    ClickLoad(QString());
    EXPECT_EQ(cursorOns, ons);
}

// The desktop asks for the part a closed file dialog covered to be drawn again, but that
// request waits behind the reading: the whole window is painted before reading starts.
TEST_F(WindowFeedback, NoticeIsPaintedOverWhatTheClosedDialogLeft)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    const QColor dialog(255, 0, 255);
    const QRect covered(window->width() / 4, window->height() / 8, window->width() / 2, window->height() / 2);
    int seen = 0;
    auto reading = [&] {
        ++seen;
        const QImage screen = OnScreenNow(window.get());
        int left = 0;
        for (int y = covered.top(); y <= covered.bottom(); y += 4)
            for (int x = covered.left(); x <= covered.right(); x += 4)
                left += screen.pixelColor(x, y) == dialog ? 1 : 0;
        EXPECT_EQ(left, 0) << "pixels of the closed dialog while the file is read";
        EXPECT_TRUE(screen.save(QDir::temp().filePath(QStringLiteral("stumpwise_loading_notice.png"))));
    };
    loader->SetReaders([&](const QString& f, TAnalysisModel& m) { reading(); ImportKTRFile(f, m); },
                       [&](const QString& f, TAnalysisModel& m) { reading(); ImportHQCFile(f, m); });
    // The dialog's pixels stay on the window's surface when it closes.
    loader->odKTRFiles()->OnExecute = [&](TOpenFileDialog& d) {
        QBackingStore* store = window->backingStore();
        store->beginPaint(QRegion(covered));
        {
            QPainter p(store->paintDevice());
            p.fillRect(covered, dialog);
        }
        store->endPaint();
        store->flush(QRegion(covered));
        d.SetFileName(Fixture("hqc/vimek-forester-h70.hqc"));
        return true;
    };
    QTest::mouseClick(frame->btnLoadFile, Qt::LeftButton);
    EXPECT_EQ(seen, 1);
}

// Fitting a column to its values (a double click on its title's edge, Shift for the values
// alone) leaves room for the bold current row too.
TEST_F(WindowFeedback, AColumnFittedToItsValuesHoldsThemInBold)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        for (int i = 0; i < grid->Columns()->Count(); ++i)
            grid->AutoFitColumn(i + grid->IndicatorOffset(), Qt::ShiftModifier);
        ExpectValuesFitInBold(grid, grid->ScaleValue(590));
    }
}

TEST_F(WindowFeedback, AFailingDrawHandlerIsReportedOnceInTheProgramsErrorBox)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    ASSERT_TRUE(boxes.empty());
    TFrameGrid* grid = frame->grdKoki;
    auto frameHandler = grid->OnDrawColumnCell;
    grid->OnDrawColumnCell = [&](TCustomDBEdGrid* s, const QRect& r, int c, TEkColumn* col, TGridDrawState st) {
        frameHandler(s, r, c, col, st);
        if (c == 2)
            throw Exception(QStringLiteral("no drawing"));
    };
    for (int i = 0; i < 3; ++i) {
        grid->InvalidateGrid();
        EXPECT_NO_THROW(grid->viewport()->repaint());
        QApplication::processEvents();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("no drawing"));
    EXPECT_EQ(boxes[0].caption, AppExceptionHandler::ApplicationTitle());
    grid->OnDrawColumnCell = frameHandler;
}

TEST_F(WindowFeedback, ANewFileIsShownFromItsFirstColumn)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    TCustomDBEdGrid* grid = frame->grdMerijumi;
    grid->SetLeftCol(grid->MaxLeftCol());
    ASSERT_GT(grid->LeftCol(), grid->FixedCols());
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    EXPECT_EQ(grid->LeftCol(), grid->FixedCols());
    EXPECT_EQ(grid->horizontalScrollBar()->value(), grid->horizontalScrollBar()->minimum());
}

TEST_F(WindowFeedback, TypedMaximumLeftAfterACancelledDialogRecomputes)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/jd-timbermatic-2013.ktr"));
    ASSERT_EQ(loads, 1);
    frame->edtMaxNovirze->setText(QStringLiteral("15"));
    ClickLoad(QString());
    EXPECT_EQ(loads, 1);
    frame->edtMaxNovirze->OnExit(frame->edtMaxNovirze);
    EXPECT_EQ(loads, 2) << "the shown data were computed with 20";
    EXPECT_EQ(loader->MaksNovirze(), 15);
    frame->edtMaxNovirze->OnExit(frame->edtMaxNovirze);
    EXPECT_EQ(loads, 2);
}

TEST_F(WindowFeedback, LoadErrorsArePlainReadableText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Bytes of every value, as a broken or foreign file holds them.
    const QString garbage = dir.filePath(QStringLiteral("random.ktr"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes;
        for (int i = 0; i < 2048; ++i)
            bytes += char((i * 97 + 13) % 256);
        f.write(bytes);
    }
    // Folders stand for files that are there but cannot be read.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.hqc")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ktr")));
    struct Case {
        QString file;
        bool notFound;
    };
    const Case cases[] = {{garbage, false},
                          {dir.filePath(QStringLiteral("folder.hqc")), false},
                          {dir.filePath(QStringLiteral("folder.ktr")), false},
                          {dir.filePath(QStringLiteral("missing.hqc")), true}};
    MakeWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        boxes.clear();
        ClickLoad(c.file);
        ASSERT_EQ(boxes.size(), 1u);
        const QString& text = boxes[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Kļūda ielādējot failu!"))) << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("nav atrasts")), c.notFound) << text.toStdString();
        for (const QStringView line : QStringView(text).split(QStringLiteral("\r\n")))
            EXPECT_LE(line.size(), AppExceptionHandler::MaxLineChars);
        for (const QChar ch : text)
            EXPECT_TRUE(ch.isPrint() || ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) << int(ch.unicode());
    }
}

TEST(AppExceptionHandlerText, UnprintableCharactersAreEscapedAndLongTextCut)
{
    struct Case {
        QString text;
        QString shown;
    };
    const QString longLine(AppExceptionHandler::MaxLineChars + 1, QLatin1Char('x'));
    const Case cases[] = {
        {QStringLiteral("Kļūda: \"a\""), QStringLiteral("Kļūda: \"a\"")},
        {QStringLiteral("a\r\nb"), QStringLiteral("a\r\nb")},
        {QStringLiteral("a") + QChar(0) + QChar(0x1B) + QChar(0x85) + QStringLiteral("\tb"),
         QStringLiteral("a\\x00\\x1b\\x85 b")},
        {QStringLiteral("a\u200bb"), QStringLiteral("a\\u200bb")},
        {longLine, QString(AppExceptionHandler::MaxLineChars - 3, QLatin1Char('x')) + QStringLiteral("...")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppExceptionHandler::Readable(c.text), c.shown) << c.text.toStdString();
    QStringList many;
    for (int i = 0; i < 50; ++i)
        many << QString::number(i);
    EXPECT_EQ(AppExceptionHandler::Readable(many.join(QLatin1Char('\n'))).split(QStringLiteral("\r\n")).size(),
              AppExceptionHandler::MaxLines);
}

// After any move only the current row shows the indicator arrow and the focus frame: what
// the screen holds equals a fresh painting of the grid.
TEST_F(WindowFeedback, MovesLeaveNoStaleMarks)
{
    MakeWindow();
    ClickLoad(Fixture("ktr/komatsu-maxixplorer-2017.ktr"));
    // Every measurement of the file: more rows than the grid shows.
    frame->chkFilterByBalkis->setChecked(false);
    TCustomDBEdGrid* grid = frame->grdMerijumi;
    TClientDataSet* koki = loader->cdsMerijumi();
    ASSERT_GT(koki->RecordCount(), grid->VisibleRowCount() + 3);
    grid->setFocus();
    QApplication::processEvents();
    struct Move {
        const char* what;
        std::function<void()> act;
    };
    const Move moves[] = {
        {"Down", [&] { QTest::keyClick(grid, Qt::Key_Down); }},
        {"Down", [&] { QTest::keyClick(grid, Qt::Key_Down); }},
        {"Up", [&] { QTest::keyClick(grid, Qt::Key_Up); }},
        {"Next", [&] { koki->Next(); }},
        {"MoveBy 3", [&] { koki->MoveBy(3); }},
        {"Last", [&] { koki->Last(); }},
        {"Up", [&] { QTest::keyClick(grid, Qt::Key_Up); }},
        {"First", [&] { koki->First(); }},
        {"PageDown", [&] { QTest::keyClick(grid, Qt::Key_PageDown); }},
        {"Down", [&] { QTest::keyClick(grid, Qt::Key_Down); }},
        {"Prior", [&] { koki->Prior(); }},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(m.what);
        m.act();
        const QImage shown = OnScreen(grid->viewport());
        const QImage fresh = Fresh(grid);
        ASSERT_EQ(shown.size(), fresh.size());
        const QRect stale = Differences(shown, fresh);
        EXPECT_TRUE(stale.isNull()) << "stale pixels after " << m.what << " at " << stale.x() << "," << stale.y()
                                    << " " << stale.width() << "x" << stale.height() << "; current row "
                                    << grid->CellRect(1, grid->Row()).y();
    }
}

// Each real file: loaded at the window's design size, moved through by keys in the three
// linked grids without leaving marks, and every column of every grid can be brought into view.
TEST_F(WindowFeedback, RealFilesShownWholeAndMovedThroughByKeys)
{
    const char* const files[] = {"ktr/jd-timbermatic-2013.ktr", "ktr/komatsu-maxixplorer-2017.ktr",
                                 "hqc/vimek-forester-h70.hqc"};
    MakeWindow();
    for (const QSize size : {QSize(1100, 700), QSize(1600, 900)})
    for (const char* file : files) {
        SCOPED_TRACE(file);
        SCOPED_TRACE(size.width());
        window->resize(size);
        frame->pgcRows->setCurrentWidget(frame->tsMerijumi);
        ClickLoad(Fixture(file));
        ASSERT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
        for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi}) {
            SCOPED_TRACE(grid->objectName().toStdString());
            grid->setFocus();
            for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down}) {
                QTest::keyClick(grid, key);
                const QRect stale = Differences(OnScreen(grid->viewport()), Fresh(grid));
                EXPECT_TRUE(stale.isNull()) << "stale pixels at " << stale.y();
            }
        }
        const QString name = QFileInfo(QString::fromLatin1(file)).completeBaseName();
        EXPECT_TRUE(OnScreen(window.get()).save(QDir::temp().filePath(QStringLiteral("stumpwise_%1_%2.png").arg(name).arg(size.width()))));
        frame->pgcRows->setCurrentWidget(frame->tsDiametruNovirzes);
        QApplication::processEvents();
        EXPECT_TRUE(OnScreen(window.get()).save(QDir::temp().filePath(QStringLiteral("stumpwise_%1_%2_dev.png").arg(name).arg(size.width()))));
        // In each linked grid, focused: the record with the longest text current, its column in view.
        frame->pgcRows->setCurrentWidget(frame->tsMerijumi);
        for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi}) {
            TDataSet* ds = grid->LinkDataSet();
            int longest = -1, at = 1, col = grid->FixedCols();
            for (ds->First(); !ds->Eof(); ds->Next())
                for (int i = 0; i < grid->Columns()->Count(); ++i)
                    if (TField* f = grid->Columns()->Items(i)->Field(); f && f->DisplayText().size() > longest) {
                        longest = int(f->DisplayText().size());
                        at = ds->RecNo();
                        col = i + grid->IndicatorOffset();
                    }
            ds->SetRecNo(at);
            grid->setFocus();
            grid->SetLeftCol(std::min(col, grid->MaxLeftCol()));
            EXPECT_TRUE(OnScreen(window.get()).save(QDir::temp().filePath(
                QStringLiteral("stumpwise_%1_%2_%3.png").arg(name).arg(size.width()).arg(grid->objectName()))));
            grid->SetLeftCol(grid->FixedCols());
        }
        for (TFrameGrid* grid : {frame->grd1, frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grdDiamNovirzes}) {
            SCOPED_TRACE(grid->objectName().toStdString());
            frame->pgcRows->setCurrentWidget(grid == frame->grdDiamNovirzes ? frame->tsDiametruNovirzes : frame->tsMerijumi);
            QApplication::processEvents();
            // No title and no value shown is cut (up to a width limit), not even in the bold
            // current row.
            for (int i = 0; i < grid->Columns()->Count(); ++i) {
                TEkColumn* column = grid->Columns()->Items(i);
                EXPECT_GE(column->Width(), grid->TextWidth(column->Title()->Font(), column->Title()->Caption()) + 4)
                    << column->FieldName().toStdString();
            }
            ExpectValuesFitInBold(grid, grid->ScaleValue(380));
            grid->SetLeftCol(grid->MaxLeftCol());
            const QRect last = grid->CellRect(grid->ColCount() - 1, 0);
            EXPECT_FALSE(last.isEmpty());
            EXPECT_TRUE(grid->viewport()->rect().contains(last)) << "the last column is wholly in view";
            grid->SetLeftCol(grid->FixedCols());
        }
    }
}

} // namespace
