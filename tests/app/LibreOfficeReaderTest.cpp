// LibreOffice Calc as the real reader: every analysis grid of the real control files is
// exported through its export commands in all three formats, converted to CSV by LibreOffice
// and compared cell by cell with its dataset.
#include "AppTestUtil.h"
#include "RecordingShell.h"
#include "base/KpDaTi.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumn.h"
#include "grids/EkColumnTitle.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/FormatSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include <cmath>
#include <utility>

namespace {

// A cell of LibreOffice's CSV; text cells come quoted, numbers and dates bare.
struct CsvCell
{
    QString text;
    bool quoted = false;
};

// Rows of a CSV file written by LibreOffice: comma separated, double quotes around every text
// cell, quotes doubled inside.
QList<QList<CsvCell>> ReadCsv(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    QList<QList<CsvCell>> rows;
    QList<CsvCell> row;
    CsvCell cell;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                cell.text += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                cell.text += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            cell.quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << std::exchange(cell, {});
        } else if (c == QLatin1Char('\n')) {
            row << std::exchange(cell, {});
            rows << std::exchange(row, {});
        } else if (c != QLatin1Char('\r')) {
            cell.text += c;
        }
    }
    if (!row.isEmpty() || !cell.text.isEmpty())
        rows << (row << cell);
    return rows;
}

enum class SheetFormat { Xls, Xlsx, Ods };

const char* Name(SheetFormat f)
{
    return f == SheetFormat::Xls ? "xls" : f == SheetFormat::Xlsx ? "xlsx" : "ods";
}

// What a reader must show for a field on the current record, as the writers define it: texts
// (shown texts where the field has them) as they stand, numbers by value, dates in the short
// date form; no-date values are empty cells in workbooks and dated texts in OpenDocument.
struct Want
{
    enum Kind { Text, Number, Date } kind = Text;
    QString text;
    double number = 0;
};

Want Expected(TField* f, SheetFormat format)
{
    if (f->OnGetText)
        return {Want::Text, f->DisplayText()};
    if (f->IsNull())
        return {};
    const TFieldType t = f->DataType();
    if (t == TFieldType::ftDate || t == TFieldType::ftDateTime) {
        const DateTime d = f->AsDateTime();
        if (format != SheetFormat::Ods && (d == KpDaTi::MinDate || d == KpDaTi::MaxDate))
            return {};
        if (format == SheetFormat::Ods)
            return {Want::Text, f->Value().AsString()};
        return {Want::Date, DateToStr(d)};
    }
    if (IsNumericFieldType(t))
        return {Want::Number, QString(), f->AsFloat()};
    return {Want::Text, f->AsString()};
}

// Texts must arrive as text cells and numbers and dates as numeric cells, so that sums and
// sorting work in the spreadsheet; an empty cell may be either.
bool Matches(const Want& want, const CsvCell& got)
{
    switch (want.kind) {
    case Want::Text:
        return got.text == want.text && (got.quoted || want.text.isEmpty());
    case Want::Date:
        return !got.quoted && got.text.startsWith(want.text); // a date-time may show its time too
    case Want::Number: {
        bool ok = false;
        const double v = got.text.toDouble(&ok);
        return !got.quoted && ok && std::abs(v - want.number) <= 1e-9 * std::max(1.0, std::abs(want.number));
    }
    }
    return false;
}

QString Shown(const Want& want)
{
    return want.kind == Want::Number ? QString::number(want.number, 'g', 17) : want.text;
}

struct Export
{
    QString file;
    std::string caption;
    QList<QList<Want>> rows; // the title row first
};

// The rows an export of a grid must hold: the titles of its shown columns, then each record.
QList<QList<Want>> ExpectedRows(TFrameGrid* grid, SheetFormat format)
{
    std::vector<TEkColumn*> columns;
    QList<Want> titles;
    for (int i = 0; i < grid->Columns()->Count(); ++i)
        if (grid->Columns()->Items(i)->Visible()) {
            columns.push_back(grid->Columns()->Items(i));
            titles << Want{Want::Text, columns.back()->Title()->Caption()};
        }
    QList<QList<Want>> rows{titles};
    TDataSet* ds = grid->LinkDataSet();
    const TBookmark mark = ds->GetBookmark();
    ds->DisableControls();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        QList<Want> row;
        for (TEkColumn* c : columns)
            row << Expected(ds->FieldByName(c->FieldName()), format);
        rows << row;
    }
    ds->GotoBookmark(mark);
    ds->EnableControls();
    return rows;
}

class LibreOfficeReader : public AppTest, public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(LibreOfficeReader, EveryAnalysisGridReadsBackInAllThreeFormats)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty()) << "LibreOffice (soffice) is needed: scripts/setup installs libreoffice-calc-nogui";
    const FormatSettings savedFormat = FormatSettings::Default();
    FormatSettings::SetDefault(FormatSettings()); // day.month.year, point decimals
    auto restoreFormat = qScopeGuard([&] { FormatSettings::SetDefault(savedFormat); });
    RecordingShellScope recording;
    RecordingShell* shell = recording.shell.get();
    MakeWindow();
    ClickLoad(Fixture(GetParam()));
    ASSERT_TRUE(boxes.empty()) << boxes.front().text.toStdString();

    std::vector<Export> exports;
    for (TFrameGrid* grid : {frame->grdKoki, frame->grdBalki, frame->grdMerijumi, frame->grdDiamNovirzes}) {
        ASSERT_GT(grid->LinkDataSet()->RecordCount(), 0) << grid->objectName().toStdString();
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Ods}) {
            const qsizetype before = shell->opened.size();
            if (f == SheetFormat::Ods)
                grid->ExportToOpenDocumentSpreadSheet(false);
            else
                grid->ExportToExcel(false, f == SheetFormat::Xls ? 2 : 9);
            ASSERT_EQ(shell->opened.size(), before + 1) << grid->objectName().toStdString() << " " << Name(f);
            exports.push_back({shell->opened.last(), grid->objectName().toStdString() + "." + Name(f),
                               ExpectedRows(grid, f)});
        }
    }

    // One conversion for all files, with a profile of this run's own so parallel runs do not clash.
    QTemporaryDir temp;
    QDir out(temp.filePath(QStringLiteral("csv")));
    ASSERT_TRUE(out.mkpath(QStringLiteral(".")));
    const QString profile = QStringLiteral("file://") + temp.filePath(QStringLiteral("lo-profile-")
                                                                       + QUuid::createUuid().toString(QUuid::Id128));
    QStringList args{QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                     QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                     // comma, double quote, UTF-8, from line 1, text cells quoted, cells as shown
                     QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true"),
                     QStringLiteral("--outdir"), out.path()};
    for (const Export& e : exports)
        args << e.file;
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, args);
    ASSERT_TRUE(lo.waitForFinished(600000)) << "LibreOffice did not finish";
    const std::string log = QString::fromUtf8(lo.readAll()).toStdString();

    for (const Export& e : exports) {
        SCOPED_TRACE(e.caption);
        const QList<QList<CsvCell>> got = ReadCsv(out.filePath(QFileInfo(e.file).completeBaseName() + QStringLiteral(".csv")));
        ASSERT_EQ(got.size(), e.rows.size()) << log;
        int mismatches = 0;
        for (int r = 0; r < e.rows.size(); ++r) {
            const QList<Want>& want = e.rows[r];
            const QList<CsvCell>& have = got[r];
            ASSERT_GE(have.size(), want.size()) << "row " << r;
            for (int c = 0; c < want.size(); ++c)
                if (!Matches(want[c], have[c]) && ++mismatches <= 5)
                    ADD_FAILURE() << "row " << r << " column " << c << ": want \"" << Shown(want[c]).toStdString()
                                  << "\", LibreOffice shows " << (have[c].quoted ? "text" : "number") << " \""
                                  << have[c].text.toStdString() << "\"";
        }
        EXPECT_EQ(mismatches, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, LibreOfficeReader,
                         ::testing::Values("ktr/komatsu-maxixplorer-2017.ktr", "ktr/jd-timbermatic-2013.ktr",
                                           "hqc/vimek-forester-h70.hqc"));
