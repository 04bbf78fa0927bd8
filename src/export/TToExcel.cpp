#include "export/TToExcel.h"

#include "base/KelpUtils.h"
#include "base/KpDaTi.h"
#include "base/TempDirectory.h"
#include "export/EExcel.h"
#include "export/ExportProgress.h"
#include "export/ExportTempFiles.h"
#include "platform/data/DataSet.h"
#include "platform/data/DateTimeField.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/data/StringField.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/FormatSettings.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QUuid>
#include <cmath>
#include <limits>

namespace {

SheetHAlign AlignOf(TAlignment a)
{
    switch (a) {
    case TAlignment::taLeftJustify: return SheetHAlign::Left;
    case TAlignment::taRightJustify: return SheetHAlign::Right;
    case TAlignment::taCenter: return SheetHAlign::Center;
    }
    return SheetHAlign::Left;
}

// A colour as $00BBGGRR, or a system colour (top bit set), as 0xRRGGBB.
std::int64_t ColorToRgb(quint32 color)
{
    if (color & 0x80000000u) {
        const QPalette pal = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
        QPalette::ColorRole role = QPalette::Window;
        switch (color & 0xFF) {
        case 5: role = QPalette::Base; break;            // window
        case 8: role = QPalette::Text; break;            // window text
        case 13: role = QPalette::Highlight; break;
        case 14: role = QPalette::HighlightedText; break;
        case 15: role = QPalette::Button; break;         // button face
        case 18: role = QPalette::ButtonText; break;
        case 24: role = QPalette::ToolTipBase; break;
        default: break;
        }
        return pal.color(role).rgb() & 0xFFFFFF;
    }
    const quint32 r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return std::int64_t((r << 16) | (g << 8) | b);
}

// Plain numbers: a point for decimals, no grouping.
const FormatSettings& PlainNumbers()
{
    static const FormatSettings fs = FormatSettings::Invariant();
    return fs;
}

bool StrToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    double d = 0;
    if (TryStrToFloat(t, d, PlainNumbers()))
        return d != 0;
    throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
}

bool IsStringType(TFieldType t)
{
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar;
}

bool IsPeriodKind(TStringFieldContents k)
{
    return k == TStringFieldContents::sfcPostingDate || k == TStringFieldContents::sfcMonthFrom
           || k == TStringFieldContents::sfcMonthTill;
}

// The content kind of a single-byte string field, asking its handler when it has one.
TStringFieldContents ContentKind(TField* f)
{
    auto* sf = dynamic_cast<TStringField*>(f);
    if (!sf)
        return TStringFieldContents::sfcGeneral;
    if (sf->OnGetFieldContents) {
        TStringFieldContents k = TStringFieldContents::sfcGeneral;
        sf->OnGetFieldContents(f, f->OnGetText ? f->DisplayText() : f->AsString(), k);
        return k;
    }
    return sf->FieldContents();
}

// "Name=value" lines: the value of the first line with that name.
QString ParamValue(const QStringList& lines, const QString& name)
{
    for (const QString& l : lines) {
        const int eq = int(l.indexOf(QLatin1Char('=')));
        if (eq >= 0 && l.left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return l.mid(eq + 1);
    }
    return QString();
}

} // namespace

TToExcel::TToExcel() = default;

TToExcel::~TToExcel() = default;

Workbook& TToExcel::WorkBook()
{
    if (!FWorkBook) {
        FWorkBook = std::make_unique<Workbook>();
        FFileName.clear();
        FSheet = nullptr;
    }
    return *FWorkBook;
}

void TToExcel::SetVisible(bool Value)
{
    if (Value)
        OpenExcel();
}

void TToExcel::Execute(bool, bool AInNewWorkbook)
{
    if (AInNewWorkbook) {
        FWorkBook.reset();
        FSheet = nullptr;
    }
    FlushData();
}

void TToExcel::Reset()
{
    TDocumentExportBase::Reset();
    FFileName.clear();
    FWorkBook.reset();
    FSheet = nullptr;
}

QString TToExcel::Format2Ext(qint32 format)
{
    switch (format) {
    case 1:
    case 2: return QStringLiteral("xls");
    case 3: return QStringLiteral("html");
    case 4: return QStringLiteral("rtf");
    case 5:
    case 7: return QStringLiteral("csv");
    case 6:
    case 8: return QStringLiteral("txt");
    case 9: return QStringLiteral("xlsx");
    default: return QString();
    }
}

quint32 TToExcel::MaxRowsPerSheet(qint32 format)
{
    switch (format) {
    case 1:
    case 2: return 65535;
    case 9: return 1048575;
    default: return std::numeric_limits<quint32>::max();
    }
}

QString TToExcel::NewExportFileName() const
{
    QString folder = GetTempDirectory();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString name = folder + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()
                         + QLatin1Char('.') + Format2Ext(FXLSFormat);
    ExportTempFiles::Add(name);
    return name;
}

Worksheet& TToExcel::CurrentSheet()
{
    if (!FSheet) {
        FSheet = &WorkBook().AddSheet();
        FSheet->Activate();
    }
    return *FSheet;
}

void TToExcel::ActivateForSave()
{
    Workbook& book = WorkBook();
    if (book.SheetCount() == 0)
        CurrentSheet().Activate();
    else
        book.Sheet(1).Activate();
}

void TToExcel::Save(const QString& aFileName)
{
    ActivateForSave();
    FFileName = aFileName.isEmpty() ? NewExportFileName() : aFileName;
    // A failed save is reported, and forgotten, so that no missing file is handed on to be
    // opened later.
    try {
        WorkBook().SaveAs(FFileName, FXLSFormat);
    } catch (...) {
        FFileName.clear();
        throw;
    }
}

void TToExcel::Save(QIODevice& AStream)
{
    ActivateForSave();
    const QString temp = KelpUtils::NewTempFileName(GetTempDirectory());
    struct Remover
    {
        QString name;
        ~Remover() { QFile::remove(name); }
    } remover{temp};
    WorkBook().SaveAs(temp, FXLSFormat);
    QFile f(temp);
    if (!f.open(QIODevice::ReadOnly))
        throw EExcel(QStringLiteral("Cannot read \"%1\": %2").arg(temp, f.errorString()));
    const QByteArray data = f.readAll();
    if (AStream.write(data) != data.size())
        throw EExcel(QStringLiteral("Cannot write the workbook into the stream: %1").arg(AStream.errorString()));
}

void TToExcel::OpenExcel()
{
    if (FFileName.isEmpty())
        Save(QString());
    KelpUtils::ShellOpenFile(FFileName);
}

int TToExcel::FirstVisibleColumn() const
{
    for (int i = 0; i < Columns().Count(); ++i)
        if (Columns().Items(i).DisplayWidth() != 0)
            return i + 1;
    throw EExcel(QStringLiteral("Nav redzamu kolonnu!"));
}

bool TToExcel::HasAggregates() const
{
    return !IsTemplate() && Columns().HasAggregateFields();
}

TField* TToExcel::ColumnField(int index) const
{
    const TxlColumn& c = Columns().Items(index);
    TDataSet* ds = c.DataSet() ? c.DataSet() : Dataset();
    return ds ? ds->FindField(c.DataField()) : nullptr;
}

void TToExcel::FlushData()
{
    TDataSet* ds = Dataset();
    if (!ds)
        throw EExcel(QStringLiteral("DataSet not specified"));
    const bool wasOpen = ds->Active();
    // Put the dataset back as it was, whatever happened on the way: closed again, or at the
    // record it showed once a pending edit is posted.
    const TDataSetGuard still(ds, TDataSetGuard::Controls);
    if (wasOpen)
        ds->CheckBrowseMode();
    const TDataSetGuard back(ds, TDataSetGuard::Active | TDataSetGuard::Position);
    if (wasOpen)
        ds->First();
    else
        ds->Open();
    ExportProgress::Start(ds->RecordCount() + 2);
    try {
        if (IsTemplate())
            WriteFormatSettingsComment(CurrentSheet().Cell(2, FirstVisibleColumn()));
        WriteData();
        if (IsTemplate() || WriteDictionary())
            WriteLegendSheet();
    } catch (...) {
        ExportProgress::End();
        throw;
    }
    ExportProgress::End();
}

void TToExcel::AddDefaultColumns()
{
    if (Columns().Count() > 0)
        return;
    TDataSet* ds = Dataset();
    for (int i = 0; i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        if (f->Visible())
            Columns().Add().SetDataField(f->FieldName().toUpper());
    }
}

void TToExcel::WriteData()
{
    TDataSet* ds = Dataset();
    const quint32 limit = MaxRowsPerSheet(FXLSFormat);
    const quint32 a = HasAggregates() ? 1 : 0;
    AddDefaultColumns();
    PrepareRowColumns();
    int n = 0;
    do {
        ++n;
        Worksheet& sheet = CurrentSheet();
        qint64 row = sheet.UsedFirstRow() + sheet.UsedRowCount() - 1;
        WriteSheetHeader(row, n);
        const qint64 first = row;
        while (!ds->Eof() && quint64(row) < quint64(limit) - a) {
            WriteDataRow(row);
            ++row;
            ExportProgress::Step();
            ds->Next();
        }
        WriteAggregateRow(first, row);
        if (!IsTemplate()) {
            Worksheet& s = CurrentSheet();
            s.AutoFitColumns(s.UsedFirstColumn(), s.UsedFirstColumn() + s.UsedColumnCount() - 1);
        } else {
            WriteTemplateFormats(first);
        }
        if (!ds->Eof())
            NextSheet();
    } while (!ds->Eof());
    NextSheet();
}

namespace {

int CheckedRow(qint64 row)
{
    if (row < 1 || row > Worksheet::MaxRows)
        throw ERangeError(QStringLiteral("Row %1 out of range").arg(row));
    return int(row);
}

} // namespace

void TToExcel::AlignHeaderLine(qint64 Row, int F, int N)
{
    Worksheet& sheet = CurrentSheet();
    const int r = CheckedRow(Row);
    const SheetCell& cell = sheet.Cell(r, F);
    QFont font(cell.style.font.name);
    font.setPointSize(int(std::ceil(cell.style.font.size)));
    font.setBold(cell.style.font.bold);
    font.setItalic(cell.style.font.italic);
    font.setStrikeOut(cell.style.font.strikeOut);
    const QString text = Worksheet::DisplayText(cell);
    const int w = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                      ? QFontMetrics(font).horizontalAdvance(text)
                      : int(text.size()) * 7;
    const SheetHAlign align = sheet.RangePixelWidth(F, N) < w ? SheetHAlign::Left : SheetHAlign::CenterAcross;
    sheet.ForRange(r, F, r, std::max(F, N), [align](SheetCell& c) { c.style.hAlign = align; });
}

void TToExcel::WriteSheetHeader(qint64& Row, int SheetNo)
{
    Worksheet& sheet = CurrentSheet();
    const int F = FirstVisibleColumn();
    const int N = Columns().Count();
    if (HasUserParams()) {
        const QStringList& params = UserParams();
        for (const QString& line : params) {
            const int eq = int(line.indexOf(QLatin1Char('=')));
            const QString name = (eq >= 0 ? line.left(eq) : line).trimmed();
            sheet.SetValue(CheckedRow(Row), F, SheetValue::Text(name));
            sheet.SetValue(CheckedRow(Row), F + 1,
                           SheetValue::Text(ParamValue(params, eq >= 0 ? line.left(eq) : line).trimmed()));
            ++Row;
        }
        ++Row;
    }
    const QString title = FullTitle();
    if (!title.isEmpty()) {
        sheet.SetName(NormalizeName(title + QString::number(SheetNo)));
        SheetCell& c = sheet.Cell(CheckedRow(Row), F);
        c.value = SheetValue::Text(title);
        c.style.font.bold = true;
        AlignHeaderLine(Row, F, N);
        ++Row;
    }
    if (HasSubtitles()) {
        for (const QString& line : Subtitles()) {
            sheet.SetValue(CheckedRow(Row), F, SheetValue::Text(line));
            AlignHeaderLine(Row, F, N);
            ++Row;
        }
    }
    for (int i = 1; i <= N; ++i) {
        const TxlColumn& col = Columns().Items(i - 1);
        SheetColumn& sc = sheet.Column(i);
        const int w = col.DisplayWidth();
        SheetCell& c = sheet.Cell(CheckedRow(Row), i);
        c.style.hAlign = AlignOf(col.LabelAlignment());
        c.style.font.bold = true;
        c.style.borders = sbAll;
        c.value = SheetValue::Text(col.DisplayLabel());
        c.style.orientation = col.CaptionOrientation();
        if (col.CellColor() != TxlColumn::clNone)
            c.style.fill = ColorToRgb(col.CellColor());
        if (!col.Comment().isEmpty())
            c.comment = col.Comment();
        if (w >= 1 && w <= 254)
            sc.width = w;
        else if (w == 0)
            sc.hidden = true;
        else
            sheet.AutoFitColumns(i, i);
    }
    ++Row;
    ExportProgress::Step();
}

SheetValue TToExcel::GetCellValue(TField* Fld)
{
    if (!Fld)
        return SheetValue::Text(QStringLiteral("???"));
    const TFieldType t = Fld->DataType();
    if (t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime) {
        if (Fld->IsNull())
            return SheetValue::Empty();
        const DateTime d = Fld->AsDateTime();
        if (d == KpDaTi::MinDate || d == KpDaTi::MaxDate)
            return SheetValue::Empty();
        return SheetValue::Date(d.Days());
    }
    if (IsStringType(t)) {
        const TStringFieldContents k = ContentKind(Fld);
        if (IsPeriodKind(k)) {
            if (Fld->OnGetText)
                return SheetValue::Text(Fld->DisplayText());
            const QString s = Fld->AsString();
            if (s.mid(8, 2) == QLatin1String("00"))
                return SheetValue::Date(StrToDate(KelpUtils::InterimDateToDisplayText(s, false)).Days());
            return SheetValue::Text(s);
        }
        if (k == TStringFieldContents::sfcNumber) {
            const QString s = Fld->OnGetText ? Fld->DisplayText() : Fld->AsString();
            double v = 0;
            if (TryStrToFloat(s, v, PlainNumbers()))
                return SheetValue::Number(v);
            return SheetValue::Text(s);
        }
    }
    if (Fld->OnGetText)
        return SheetValue::Text(Fld->DisplayText());
    if (Fld->IsNull())
        return SheetValue::Empty();
    if (IsNumericFieldType(t))
        return SheetValue::Number(Fld->AsFloat());
    switch (t) {
    case TFieldType::ftBoolean:
        return SheetValue::Boolean(Fld->AsBoolean());
    case TFieldType::ftBytes:
    case TFieldType::ftBlob:
        return SheetValue::Empty();
    default:
        return SheetValue::Text(Fld->AsString());
    }
}

QString TToExcel::GetCellNumberFormat(TField* Fld)
{
    if (!Fld)
        return QStringLiteral("General");
    const FormatSettings& fs = FormatSettings::Default();
    const QString df = Fld->DisplayFormat();
    const TFieldType t = Fld->DataType();
    switch (t) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString: {
        const TStringFieldContents k = ContentKind(Fld);
        if (IsPeriodKind(k))
            return Fld->AsString().mid(8, 2) != QLatin1String("00")
                       ? QStringLiteral("@")
                       : KelpUtils::DateFormatToSheetFormat(fs.ShortDateFormat);
        if (k == TStringFieldContents::sfcNumber)
            return QStringLiteral("#,##0.00");
        return QStringLiteral("@");
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftWord:
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        if (Fld->OnGetText) {
            double v = 0;
            if (!TryStrToFloat(Fld->Text(), v, PlainNumbers()))
                return QStringLiteral("@");
        }
        return df.isEmpty() ? QStringLiteral("General") : KelpUtils::NumberFormatToSheetFormat(df);
    case TFieldType::ftCurrency:
        return df.isEmpty() ? QStringLiteral("#,##0.00") : df;
    case TFieldType::ftDate:
        return KelpUtils::DateFormatToSheetFormat(df.isEmpty() ? fs.ShortDateFormat : df);
    case TFieldType::ftTime:
        return KelpUtils::DateFormatToSheetFormat(df.isEmpty() ? fs.ShortTimeFormat : df);
    case TFieldType::ftDateTime: {
        if (!df.isEmpty())
            return KelpUtils::DateFormatToSheetFormat(df);
        auto* dtf = dynamic_cast<TDateTimeField*>(Fld);
        if (dtf && dtf->FieldContents() == TDateFieldContents::dfcDateTime)
            return KelpUtils::DateFormatToSheetFormat(fs.ShortDateFormat + QLatin1Char(' ') + fs.ShortTimeFormat);
        return KelpUtils::DateFormatToSheetFormat(fs.ShortDateFormat);
    }
    case TFieldType::ftMemo:
    case TFieldType::ftWideMemo:
        return QStringLiteral("@");
    default:
        return QStringLiteral("General");
    }
}

void TToExcel::PrepareRowColumns()
{
    FHasRowFormat = Dataset() && Dataset()->FindField(QStringLiteral("ROW_FORMAT"));
    FRowColumns.clear();
    for (int i = 0; i < Columns().Count(); ++i) {
        RowColumn rc;
        rc.field = ColumnField(i);
        rc.align = AlignOf(Columns().Items(i).Alignment());
        // Only text kinds and shown texts can change the format from one record to the next.
        rc.fixedFormat = !rc.field || (!IsStringType(rc.field->DataType()) && !rc.field->OnGetText);
        if (rc.fixedFormat)
            rc.numberFormat = GetCellNumberFormat(rc.field);
        FRowColumns.push_back(std::move(rc));
    }
}

void TToExcel::WriteDataRow(qint64 Row)
{
    Worksheet& sheet = CurrentSheet();
    const int r = CheckedRow(Row);
    if (FRowColumns.size() != size_t(Columns().Count()))
        PrepareRowColumns();
    // Without a ROW_FORMAT field every lookup gives the empty text.
    const QString rowColor = FHasRowFormat ? GetRowFormatValue(QStringLiteral("RWBKGCOLOR")) : QString();
    const std::int64_t R = rowColor.isEmpty() ? -1 : std::int64_t(quint32(StrToInt(rowColor)));
    for (int i = 1; i <= int(FRowColumns.size()); ++i) {
        const RowColumn& rc = FRowColumns[size_t(i - 1)];
        TField* fld = rc.field;
        SheetCell& c = sheet.Cell(r, i);
        c.value = GetCellValue(fld);
        std::int64_t color = R;
        bool italic = false;
        bool bold = false;
        if (FHasRowFormat) {
            if (color < 0) {
                const QString cc = GetCellFormatValue(QStringLiteral("CLBKGCOLOR"), fld);
                if (!cc.isEmpty())
                    color = std::int64_t(quint32(StrToInt(cc)));
            }
            const QString it = GetCellFormatValue(QStringLiteral("CLITALIC"), fld);
            italic = !it.isEmpty() && StrToBool(it);
            const QString bd = GetCellFormatValue(QStringLiteral("CLBOLD"), fld);
            bold = !bd.isEmpty() && StrToBool(bd);
        }
        c.style.font.italic = italic;
        c.style.font.bold = bold;
        if (color >= 0 && quint32(color) != TxlColumn::clNone)
            c.style.fill = ColorToRgb(quint32(color));
        c.style.hAlign = rc.align;
        c.style.borders |= sbLeft | sbRight;
        c.style.numberFormat = rc.fixedFormat ? rc.numberFormat : GetCellNumberFormat(fld);
    }
}

void TToExcel::WriteAggregateRow(qint64 First, qint64 AggRow)
{
    Worksheet& sheet = CurrentSheet();
    const int F = FirstVisibleColumn();
    const int N = Columns().Count();
    const int last = CheckedRow(AggRow - 1);
    sheet.ForRange(last, F, last, N, [](SheetCell& c) { c.style.borders |= sbBottom; });
    if (!HasAggregates())
        return;
    sheet.ForRange(last, F, last, N, [](SheetCell& c) { c.style.font.bold = true; });
    for (int i = 1; i <= N; ++i) {
        const TxlAggregate agg = Columns().Items(i - 1).Aggregate();
        if (agg == TxlAggregate::xlaNone)
            continue;
        const QString fn = agg == TxlAggregate::xlaSum   ? QStringLiteral("=SUM(")
                           : agg == TxlAggregate::xlaMin ? QStringLiteral("=MIN(")
                                                         : QStringLiteral("=MAX(");
        sheet.SetValue(CheckedRow(AggRow), i,
                       SheetValue::Formula(fn + CellRangeText(i, int(First), i, last, false) + QLatin1Char(')')));
    }
    ExportProgress::Step();
}

void TToExcel::WriteTemplateFormats(qint64 First)
{
    Worksheet& sheet = CurrentSheet();
    // A whole column or row takes its format through every cell written in it.
    for (int i = 1; i <= Columns().Count(); ++i) {
        TField* fld = ColumnField(i - 1);
        if (!fld)
            continue;
        const QString fmt = GetCellNumberFormat(fld);
        for (const auto& [row, cells] : sheet.Rows())
            if (cells.count(i))
                sheet.Cell(row, i).style.numberFormat = fmt;
    }
    for (qint64 r = 1; r < First; ++r) {
        auto it = sheet.Rows().find(int(r));
        if (it == sheet.Rows().end())
            continue;
        for (const auto& [col, cell] : it->second)
            sheet.Cell(int(r), col).style.numberFormat = QStringLiteral("General");
    }
}

void TToExcel::WriteFormatSettingsComment(SheetCell& Cell)
{
    const FormatSettings& fs = FormatSettings::Default();
    Cell.comment = QStringLiteral("DecimalSeparator=%1\r\nDateSeparator=%2\r\nTimeSeparator=%3\r\n"
                                  "ShortDateFormat=%4\r\nShortTimeFormat=%5\r\n")
                       .arg(fs.DecimalSeparator)
                       .arg(fs.DateSeparator)
                       .arg(fs.TimeSeparator)
                       .arg(fs.ShortDateFormat, fs.ShortTimeFormat);
}

void TToExcel::WriteLegendSheet()
{
    bool created = false;
    auto sheet = [&]() -> Worksheet& {
        if (!created) {
            created = true;
            CurrentSheet().SetName(NormalizeName(QStringLiteral("Leģenda: %1").arg(Title())));
        }
        return CurrentSheet();
    };
    int L = 1;
    if (HasLegend()) {
        const QStringList& legend = Legend();
        for (int j = 0; j < legend.size(); ++j) {
            SheetCell& c = sheet().Cell(j + 1, 1);
            if (legend[j].startsWith(QLatin1String("\\b"))) {
                c.value = SheetValue::Text(legend[j].mid(2));
                c.style.font.bold = true;
            } else {
                c.value = SheetValue::Text(legend[j]);
            }
        }
        // The column blocks follow the legend lines after an empty row instead of
        // overwriting them.
        L = int(legend.size()) + 2;
    }
    for (int i = 0; i < Columns().Count(); ++i) {
        const TxlColumn& col = Columns().Items(i);
        bool wrote = false;
        auto heading = [&]() {
            SheetCell& c = sheet().Cell(L, 1);
            c.value = SheetValue::Text(col.DisplayLabel());
            c.style.font.bold = true;
            if (!col.Comment().isEmpty())
                c.comment = col.Comment();
            ++L;
            wrote = true;
        };
        if (col.Dictionary().Count() > 0) {
            heading();
            for (int k = 0; k < col.Dictionary().Count(); ++k)
                sheet().SetValue(L++, 1, SheetValue::Text(col.Dictionary().AsString(k)));
            ++L;
        }
        if (!col.CommentLegend().isEmpty()) {
            if (!wrote)
                heading();
            for (const QString& line : col.CommentLegend())
                sheet().SetValue(L++, 1, SheetValue::Text(line));
            ++L;
        }
    }
    NextSheet();
}
