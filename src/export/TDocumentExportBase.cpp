#include "export/TDocumentExportBase.h"

#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/ERangeError.h"

TDocumentExportBase::TDocumentExportBase() : FColumns(std::make_unique<TxlColumns>(this)) { }

TDocumentExportBase::~TDocumentExportBase()
{
    FColumns.reset();
    if (FDataset && FDatasetNotice >= 0)
        FDataset->RemoveFreeNotification(FDatasetNotice);
}

void TDocumentExportBase::SetDataset(TDataSet* value)
{
    if (FDataset) {
        FColumns->Clear();
        if (FDatasetNotice >= 0)
            FDataset->RemoveFreeNotification(FDatasetNotice);
        FDatasetNotice = -1;
    }
    FDataset = value;
    if (FDataset)
        FDatasetNotice = FDataset->AddFreeNotification([this](TDataSet*) {
            FDataset = nullptr;
            FDatasetNotice = -1;
        });
}

QString TDocumentExportBase::FullTitle() const
{
    if (FAlwaysFullTitle || FIsTemplate)
        return QStringLiteral("Veidne: %1").arg(FTitle);
    return FTitle;
}

namespace {

QStringList& Ensure(std::unique_ptr<QStringList>& list)
{
    if (!list)
        list = std::make_unique<QStringList>();
    return *list;
}

void SetList(std::unique_ptr<QStringList>& list, const QStringList* value)
{
    if (!value) {
        list.reset();
        return;
    }
    Ensure(list) = *value;
}

} // namespace

QStringList& TDocumentExportBase::Subtitles() { return Ensure(FSubtitles); }
void TDocumentExportBase::SetSubtitles(const QStringList* value) { SetList(FSubtitles, value); }
QStringList& TDocumentExportBase::Legend() { return Ensure(FLegend); }
void TDocumentExportBase::SetLegend(const QStringList* value) { SetList(FLegend, value); }
QStringList& TDocumentExportBase::UserParams() { return Ensure(FUserParams); }
void TDocumentExportBase::SetUserParams(const QStringList* value) { SetList(FUserParams, value); }

void TDocumentExportBase::Execute(bool, bool) { }

void TDocumentExportBase::Reset() { }

QString TDocumentExportBase::NormalizeName(const QString& s)
{
    if (s.isEmpty())
        return QStringLiteral("Sheet");
    QString r = s.left(31);
    for (QChar& c : r)
        if (QStringLiteral(":\\/?*[]").contains(c))
            c = QLatin1Char('_');
    // Spreadsheets refuse a sheet name that begins or ends with an apostrophe.
    if (r.startsWith(QLatin1Char('\'')))
        r[0] = QLatin1Char('_');
    if (r.endsWith(QLatin1Char('\'')))
        r[r.size() - 1] = QLatin1Char('_');
    return r;
}

QString TDocumentExportBase::ColumnLetters(int column)
{
    if (column < 1)
        throw ERangeError(QStringLiteral("Column number %1 out of range").arg(column));
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString TDocumentExportBase::CellRangeText(int firstCol, int firstRow, int lastCol, int lastRow, bool dotted)
{
    if (firstRow < 1 || lastRow < 1)
        throw ERangeError(QStringLiteral("Row number out of range"));
    const QString first = ColumnLetters(firstCol) + QString::number(firstRow);
    const QString last = ColumnLetters(lastCol) + QString::number(lastRow);
    if (dotted)
        return QStringLiteral(".%1:.%2").arg(first, last);
    return first + QLatin1Char(':') + last;
}

QStringList TDocumentExportBase::SplitDelimited(const QString& text, QChar delimiter)
{
    QStringList items;
    const int n = int(text.size());
    auto at = [&](int i) { return i < n ? text.at(i) : QChar(0); };
    auto blank = [&](int i) { return i < n && text.at(i).unicode() >= 1 && text.at(i).unicode() <= 32; };
    int p = 0;
    while (blank(p))
        ++p;
    while (p < n) {
        QString item;
        if (at(p) == QLatin1Char('"')) {
            ++p;
            while (p < n) {
                if (at(p) == QLatin1Char('"')) {
                    if (at(p + 1) == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += at(p++);
            }
        } else {
            const int start = p;
            while (p < n && at(p).unicode() > 32 && at(p) != delimiter)
                ++p;
            item = text.mid(start, p - start);
        }
        items << item;
        while (blank(p))
            ++p;
        if (p < n && at(p) == delimiter) {
            if (p + 1 >= n)
                items << QString();
            do
                ++p;
            while (blank(p));
        }
    }
    return items;
}

namespace {

// The text after the first "=" of the first item named `name`.
QString ValueOf(const QStringList& items, const QString& name, QChar sep)
{
    for (const QString& item : items) {
        const int eq = int(item.indexOf(sep));
        if (eq >= 0 && item.left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return item.mid(eq + 1);
    }
    return QString();
}

} // namespace

QString TDocumentExportBase::GetRowFormatValue(const QString& Name) const
{
    if (!FDataset)
        return QString();
    TField* f = FDataset->FindField(QStringLiteral("ROW_FORMAT"));
    if (!f)
        return QString();
    return ValueOf(SplitDelimited(f->AsString(), QLatin1Char('*')), Name, QLatin1Char('='));
}

QString TDocumentExportBase::GetCellFormatValue(const QString& Name, const TField* Field) const
{
    const QString v = GetRowFormatValue(Name);
    if (v.isEmpty() || !Field)
        return QString();
    return ValueOf(SplitDelimited(v, QLatin1Char(';')), Field->FieldName().toUpper(), QLatin1Char(','));
}
