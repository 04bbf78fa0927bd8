// LibreOffice Calc as the real reader: every analysis dataset of the real control files is
// exported in all three formats, converted to CSV by LibreOffice and compared cell by cell.
#include "ExportTestUtil.h"

#include "base/KpDaTi.h"
#include "export/TODFSpreadSheet.h"
#include "export/TToExcel.h"
#include "import/TCSHrvStumpwiseToDS.h"
#include "platform/data/DateTimeField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUuid>
#include <gtest/gtest.h>

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

enum class Format { Xls, Xlsx, Ods };

const char* Name(Format f)
{
    return f == Format::Xls ? "xls" : f == Format::Xlsx ? "xlsx" : "ods";
}

// What a reader must show for a field on the current record, as the writers define it: texts
// (shown texts where the field has them) as they stand, numbers by value, dates in the day.month.year
// form; no-date values are empty cells in workbooks and dated texts in OpenDocument.
struct Want
{
    enum Kind { Text, Number, Date } kind = Text;
    QString text;
    double number = 0;
};

Want Expected(TField* f, Format format)
{
    if (f->OnGetText)
        return {Want::Text, f->DisplayText()};
    if (f->IsNull())
        return {};
    const TFieldType t = f->DataType();
    if (t == TFieldType::ftDate || t == TFieldType::ftDateTime) {
        const DateTime d = f->AsDateTime();
        if (format != Format::Ods && (d == KpDaTi::MinDate || d == KpDaTi::MaxDate))
            return {};
        if (format == Format::Ods)
            return {Want::Text, f->Value().AsString()};
        return {Want::Date, d.ToQDate().toString(QStringLiteral("dd.MM.yyyy"))};
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
    QString caption;
    QList<QList<Want>> rows; // the header row first
};

QList<QList<Want>> ExpectedRows(TDataSet* ds, const TDocumentExportBase& x, Format format)
{
    QList<QList<Want>> rows;
    QList<Want> header;
    for (int i = 0; i < x.Columns().Count(); ++i)
        header << Want{Want::Text, x.Columns().Items(i).DisplayLabel()};
    rows << header;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        QList<Want> row;
        for (int i = 0; i < x.Columns().Count(); ++i)
            row << Expected(ds->FieldByName(x.Columns().Items(i).DataField()), format);
        rows << row;
    }
    return rows;
}

// Exports a dataset the way the grids' export commands do: its visible fields, a workbook or
// an OpenDocument spreadsheet, saved under a temporary name.
Export Write(TDataSet* ds, Format format, const QString& caption)
{
    Export e;
    e.caption = caption + QLatin1Char('.') + QLatin1String(Name(format));
    if (format == Format::Ods) {
        TODFSpreadSheet x;
        x.SetDataset(ds);
        x.Execute(false, false);
        e.file = x.OutputFileName();
        e.rows = ExpectedRows(ds, x, format);
    } else {
        TToExcel x;
        x.SetXLSFormat(format == Format::Xls ? 2 : 9);
        x.SetDataset(ds);
        x.Execute(false, true);
        x.Save(QString());
        e.file = x.FileName();
        e.rows = ExpectedRows(ds, x, format);
    }
    return e;
}

} // namespace

TEST(LibreOfficeReader, EveryAnalysisDatasetReadsBackInAllThreeFormats)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: scripts/setup installs libreoffice-calc-nogui";
    FormatScope format;
    TempFolderScope temp;

    std::vector<Export> exports;
    for (const char* fixture : {"ktr/komatsu-maxixplorer-2017.ktr", "ktr/jd-timbermatic-2013.ktr",
                                "hqc/vimek-forester-h70.hqc"}) {
        TCSHrvStumpwiseToDS loader;
        loader.ImportFileIntoDS(QStringLiteral(STUMPWISE_FIXTURES "/") + QLatin1String(fixture));
        loader.EnableAllControls();
        for (TClientDataSet* ds : {loader.cdsKoki(), loader.cdsBalki(), loader.cdsMerijumi(), loader.cdsDiamNovirzes()}) {
            ASSERT_GT(ds->RecordCount(), 0) << fixture << " " << ds->Name().toStdString();
            for (Format f : {Format::Xls, Format::Xlsx, Format::Ods})
                exports.push_back(Write(ds, f, QLatin1String(fixture) + QLatin1Char(' ') + ds->Name()));
        }
    }

    // One conversion for all files, with a profile of this run's own so parallel runs do not clash.
    QDir out(temp.dir.filePath(QStringLiteral("csv")));
    ASSERT_TRUE(out.mkpath(QStringLiteral(".")));
    const QString profile = QStringLiteral("file://") + temp.dir.filePath(QStringLiteral("lo-profile-")
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
    const QString log = QString::fromUtf8(lo.readAll());

    for (const Export& e : exports) {
        SCOPED_TRACE(e.caption.toStdString());
        const QList<QList<CsvCell>> got = ReadCsv(out.filePath(QFileInfo(e.file).completeBaseName() + QStringLiteral(".csv")));
        ASSERT_EQ(got.size(), e.rows.size()) << log.toStdString();
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
