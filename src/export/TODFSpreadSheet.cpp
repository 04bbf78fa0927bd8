#include "export/TODFSpreadSheet.h"

#include "base/EKelpUserError.h"
#include "export/ExportProgress.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormatSettings.h"

#include <QScopeGuard>
#include <QXmlStreamWriter>
#include <cmath>
#include <vector>

namespace {

const char* const kNamespaces[][2] = {
    {"office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
    {"fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"xlink", "http://www.w3.org/1999/xlink"},
    {"dc", "http://purl.org/dc/elements/1.1/"},
    {"meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
    {"presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
    {"svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
    {"chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
    {"dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
    {"math", "http://www.w3.org/1998/Math/MathML"},
    {"form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
    {"script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
    {"ooo", "http://openoffice.org/2004/office"},
    {"ooow", "http://openoffice.org/2004/writer"},
    {"oooc", "http://openoffice.org/2004/calc"},
    {"dom", "http://www.w3.org/2001/xml-events"},
    {"rpt", "http://openoffice.org/2005/report"},
    {"of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
    {"rdfa", "http://docs.oasis-open.org/opendocument/meta/rdfa#"},
};

// Prefixed names are written as they stand; the declarations go on the root element.
void StartDocument(QXmlStreamWriter& w, const char* root)
{
    w.setAutoFormatting(false);
    w.writeStartDocument(QStringLiteral("1.0"));
    w.writeStartElement(QString::fromLatin1(root));
    for (const auto& ns : kNamespaces)
        w.writeAttribute(QStringLiteral("xmlns:") + QString::fromLatin1(ns[0]), QString::fromLatin1(ns[1]));
    w.writeAttribute(QStringLiteral("office:version"), QStringLiteral("1.2"));
}

void Attr(QXmlStreamWriter& w, const char* name, const QString& value)
{
    w.writeAttribute(QString::fromLatin1(name), value);
}

void Attr(QXmlStreamWriter& w, const char* name, const char* value)
{
    w.writeAttribute(QString::fromLatin1(name), QString::fromUtf8(value));
}

void Start(QXmlStreamWriter& w, const char* name) { w.writeStartElement(QString::fromLatin1(name)); }

// XML 1.0 has no way at all to carry most control characters (not even as references), nor
// unpaired surrogates or U+FFFE/U+FFFF; each becomes a blank, as it would look in a cell.
QString XmlText(const QString& text)
{
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = out.at(i).unicode();
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(out.at(i + 1).unicode())) {
            ++i;
            continue;
        }
        if (!allowed)
            out[i] = QLatin1Char(' ');
    }
    return out;
}

void TextP(QXmlStreamWriter& w, const QString& text)
{
    w.writeTextElement(QStringLiteral("text:p"), XmlText(text));
}

// Ends a part. The writer drops what it cannot write and only notes it: a part with a gap is
// an error, never a file reported as written.
QByteArray Finish(QXmlStreamWriter& w, QByteArray& out, const char* part)
{
    w.writeEndDocument();
    if (w.hasError())
        throw Exception(QStringLiteral("Cannot write \"%1\" of the spreadsheet").arg(QString::fromLatin1(part)));
    return out;
}

void BoldText(QXmlStreamWriter& w)
{
    Start(w, "style:text-properties");
    Attr(w, "fo:font-weight", "bold");
    Attr(w, "style:font-weight-asian", "bold");
    Attr(w, "style:font-weight-complex", "bold");
    w.writeEndElement();
}

void CellStyle(QXmlStreamWriter& w, const QString& name, bool bottom)
{
    Start(w, "style:style");
    Attr(w, "style:name", name);
    Attr(w, "style:family", "table-cell");
    Attr(w, "style:parent-style-name", "Default");
    Start(w, "style:table-cell-properties");
    Attr(w, "fo:border-left", "thin solid #000000");
    Attr(w, "fo:border-right", "thin solid #000000");
    if (bottom)
        Attr(w, "fo:border-bottom", "thin solid #000000");
    Attr(w, "style:vertical-align", "automatic");
    Attr(w, "style:repeat-content", "false");
    w.writeEndElement();
    w.writeEndElement();
}

} // namespace

TODFSpreadSheet::TODFSpreadSheet()
{
    FFileExtension = QStringLiteral(".ods");
    FRowDelta = 2;
}

void TODFSpreadSheet::SetVisible(bool Value)
{
    if (Value)
        OpenExportedFile();
}

void TODFSpreadSheet::Execute(bool AInNewSheet, bool AInNewWorkbook)
{
    TOpenDocument::Execute(AInNewSheet, AInNewWorkbook);
}

void TODFSpreadSheet::Print(const QString&)
{
    throw EKelpUserError(QStringLiteral("Drukāšana no šīs programmas nav pieejama."));
}

void TODFSpreadSheet::WriteParts()
{
    AddPart(QStringLiteral("content.xml"), WriteContent());
    AddPart(QStringLiteral("META-INF/manifest.xml"), WriteManifest());
    AddPart(QStringLiteral("styles.xml"), WriteStyles());
}

QString TODFSpreadSheet::ColumnWidthText(qint32 displayWidth)
{
    // Negative widths (the default -1) mean no width of their own.
    const long cm = std::lround(double(displayWidth) / 5.0);
    return QString::number(std::max(0L, cm)) + QStringLiteral("cm");
}

QString TODFSpreadSheet::ValueText(double value)
{
    static const FormatSettings fs = [] {
        FormatSettings f = FormatSettings::Invariant();
        f.DecimalSeparator = QLatin1Char('.');
        return f;
    }();
    return FloatToStr(value, fs);
}

QByteArray TODFSpreadSheet::WriteManifest()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument(QStringLiteral("1.0"));
    Start(w, "manifest:manifest");
    Attr(w, "xmlns:manifest", "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
    Start(w, "manifest:file-entry");
    Attr(w, "manifest:media-type", "application/vnd.oasis.opendocument.spreadsheet");
    Attr(w, "manifest:version", "1.2");
    Attr(w, "manifest:full-path", "/");
    w.writeEndElement();
    for (const char* part : {"content.xml", "styles.xml"}) {
        Start(w, "manifest:file-entry");
        Attr(w, "manifest:media-type", "text/xml");
        Attr(w, "manifest:full-path", part);
        w.writeEndElement();
    }
    return Finish(w, out, "META-INF/manifest.xml");
}

QByteArray TODFSpreadSheet::WriteStyles()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    StartDocument(w, "office:document-styles");
    return Finish(w, out, "styles.xml");
}

void TODFSpreadSheet::WriteDataCell(QXmlStreamWriter& w, TField* field, bool lastRow)
{
    Start(w, "table:table-cell");
    Attr(w, "table:style-name", lastRow ? FLastRowStyle : FAllCellsStyle);
    if (!field) {
        // A column whose field is missing keeps its place, so later cells stay in line.
        Attr(w, "office:value-type", "string");
        TextP(w, QStringLiteral("???"));
    } else if (field->OnGetText) {
        Attr(w, "office:value-type", "string");
        TextP(w, field->DisplayText());
    } else if (field->IsNull()) {
        Attr(w, "office:value-type", "string");
        TextP(w, QString());
    } else if ((field->DataType() == TFieldType::ftString || field->DataType() == TFieldType::ftFixedChar)
               && field->AsString() == QLatin1String("' '")) {
        Attr(w, "office:value-type", "string");
        TextP(w, QString());
    } else if (IsNumericFieldType(field->DataType())) {
        // Every numeric type, so that sums over any of them work in the spreadsheet; whole
        // numbers exactly, even past 15 digits.
        Attr(w, "office:value-type", "float");
        Attr(w, "office:value", field->DataType() == TFieldType::ftLargeint ? QString::number(field->AsLargeInt())
                                                                            : ValueText(field->AsFloat()));
        TextP(w, QString());
    } else {
        Attr(w, "office:value-type", "string");
        TextP(w, field->Value().AsString());
    }
    w.writeEndElement();
}

QByteArray TODFSpreadSheet::WriteContent()
{
    TDataSet* ds = Dataset();
    if (!ds)
        throw Exception(QStringLiteral("DataSet not specified"));
    QByteArray out;
    // Put the dataset back as it was, whatever happened on the way: closed again, or at the
    // record it showed once a pending edit is posted.
    const TDataSetGuard still(ds, TDataSetGuard::Controls);
    const bool wasOpen = ds->Active();
    if (wasOpen)
        ds->CheckBrowseMode();
    const TDataSetGuard back(ds, TDataSetGuard::Active | TDataSetGuard::Position);
    if (wasOpen)
        ds->First();
    else
        ds->Open();
    const int recordCount = ds->RecordCount();
    ExportProgress::Start(2 * recordCount + 4 * Columns().Count());
    const auto end = qScopeGuard([] { ExportProgress::End(); });

    if (Columns().Count() == 0)
        for (int i = 0; i < ds->FieldCount(); ++i) {
            TField* f = ds->Fields(i);
            if (!f->Visible())
                continue;
            TxlColumn& c = Columns().Add();
            c.SetDataSet(ds);
            c.SetDataField(f->FieldName().toUpper());
        }
    const int n = Columns().Count();

    QXmlStreamWriter w(&out);
    StartDocument(w, "office:document-content");
    Start(w, "office:automatic-styles");
    for (int i = 1; i <= n; ++i) {
        Start(w, "style:style");
        Attr(w, "style:name", QStringLiteral("Lumeret_Co%1").arg(i));
        Attr(w, "style:family", "table-column");
        Start(w, "style:table-column-properties");
        Attr(w, "style:column-width", ColumnWidthText(Columns().Items(i - 1).DisplayWidth()));
        w.writeEndElement();
        w.writeEndElement();
    }
    Start(w, "style:style");
    Attr(w, "style:name", FTitleStyle);
    Attr(w, "style:family", "table-cell");
    Attr(w, "style:parent-style-name", "Default");
    Attr(w, "style:data-style-name", "NO");
    BoldText(w);
    Start(w, "style:table-cell-properties");
    Attr(w, "fo:border", "thin solid #000000");
    Attr(w, "style:vertical-align", "automatic");
    Attr(w, "style:horizontal-align", "center");
    Attr(w, "style:repeat-content", "false");
    w.writeEndElement();
    Start(w, "style:paragraph-properties");
    Attr(w, "fo:text-align", "center");
    Attr(w, "fo:margin-left", "0cm");
    w.writeEndElement();
    w.writeEndElement();

    Start(w, "style:style");
    Attr(w, "style:name", FColumnHeaderStyle);
    Attr(w, "style:family", "table-cell");
    Attr(w, "style:parent-style-name", "Default");
    Attr(w, "style:data-style-name", "NO");
    Start(w, "style:table-cell-properties");
    Attr(w, "fo:border", "thin solid #000000");
    Attr(w, "style:vertical-align", "automatic");
    Attr(w, "style:repeat-content", "false");
    w.writeEndElement();
    Start(w, "style:paragraph-properties");
    Attr(w, "fo:text-align", "start");
    Attr(w, "fo:margin-left", "0cm");
    w.writeEndElement();
    BoldText(w);
    w.writeEndElement();

    CellStyle(w, FAllCellsStyle, false);
    CellStyle(w, FLastRowStyle, true);
    w.writeEndElement(); // automatic-styles

    Start(w, "office:body");
    Start(w, "office:spreadsheet");
    Start(w, "table:table");
    Attr(w, "table:name", "Tabula1");
    for (int i = 1; i <= n; ++i) {
        Start(w, "table:table-column");
        Attr(w, "table:style-name", QStringLiteral("Lumeret_Co%1").arg(i));
        w.writeEndElement();
    }
    const QString title = FullTitle();
    if (!title.isEmpty()) {
        ++FRowDelta;
        Start(w, "table:table-row");
        Start(w, "table:table-cell");
        Attr(w, "office:value-type", "string");
        Attr(w, "table:style-name", FTitleStyle);
        Attr(w, "table:number-columns-spanned", QString::number(n));
        Attr(w, "table:number-rows-spanned", "1");
        TextP(w, title);
        w.writeEndElement();
        w.writeEndElement();
    }
    Start(w, "table:table-row");
    for (int i = 0; i < n; ++i) {
        const TxlColumn& c = Columns().Items(i);
        Start(w, "table:table-cell");
        Attr(w, "office:value-type", "string");
        Attr(w, "table:style-name", FColumnHeaderStyle);
        Start(w, "office:annotation");
        TextP(w, c.DataField());
        w.writeEndElement();
        TextP(w, c.DisplayLabel());
        w.writeEndElement();
    }
    w.writeEndElement();

    int row = 0;
    while (!ds->Eof()) {
        ++row;
        Start(w, "table:table-row");
        for (int i = 0; i < n; ++i)
            WriteDataCell(w, Columns().Items(i).Field(), row == recordCount);
        w.writeEndElement();
        ds->Next();
    }

    bool sums = false;
    for (int i = 0; i < n; ++i)
        sums = sums || Columns().Items(i).Aggregate() == TxlAggregate::xlaSum;
    if (sums) {
        Start(w, "table:table-row");
        for (int i = 0; i < n; ++i) {
            TxlColumn& c = Columns().Items(i);
            Start(w, "table:table-cell");
            if (c.Aggregate() == TxlAggregate::xlaSum) {
                double sum = 0;
                TField* f = c.Field();
                for (ds->First(); !ds->Eof(); ds->Next())
                    if (f && !f->IsNull())
                        sum += f->AsFloat();
                Attr(w, "table:style-name", FLastRowStyle);
                Attr(w, "office:value-type", "float");
                Attr(w, "office:value", ValueText(sum));
                TextP(w, FloatToStr(sum));
            }
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement(); // table
    w.writeEndElement(); // spreadsheet
    w.writeEndElement(); // body
    return Finish(w, out, "content.xml");
}
