#include "platform/sheet/Workbook.h"

#include "platform/sheet/BiffWriter.h"
#include "platform/sheet/ESheetError.h"
#include "platform/sheet/XlsxWriter.h"

Worksheet& Workbook::Sheet(int index) const
{
    if (index < 1 || index > SheetCount())
        throw ESheetError(QStringLiteral("Sheet index %1 out of range").arg(index));
    return *FSheets[size_t(index - 1)];
}

Worksheet& Workbook::AddSheet()
{
    QString name;
    for (int n = SheetCount() + 1;; ++n) {
        name = QStringLiteral("Sheet%1").arg(n);
        if (UniqueName(name, nullptr) == name)
            break;
    }
    FSheets.push_back(std::make_unique<Worksheet>(this, name));
    return *FSheets.back();
}

int Workbook::IndexOf(const Worksheet& sheet) const
{
    for (size_t i = 0; i < FSheets.size(); ++i)
        if (FSheets[i].get() == &sheet)
            return int(i) + 1;
    return 0;
}

void Workbook::Activate(const Worksheet& sheet)
{
    const int index = IndexOf(sheet);
    if (index > 0)
        FActive = index;
}

QString Workbook::UniqueName(const QString& wanted, const Worksheet* self) const
{
    const QString base = wanted.isEmpty() ? QStringLiteral("Sheet") : wanted.left(31);
    auto taken = [&](const QString& name) {
        for (const auto& s : FSheets)
            if (s.get() != self && s->Name().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    if (!taken(base))
        return base;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral("(%1)").arg(n);
        const QString name = base.left(31 - suffix.size()) + suffix;
        if (!taken(name))
            return name;
    }
}

void Workbook::SaveAs(const QString& fileName, int format) const
{
    switch (format) {
    case FormatXls95:
    case FormatXls:
        BiffWriter::Save(*this, fileName);
        return;
    case FormatXlsx:
        XlsxWriter::Save(*this, fileName);
        return;
    default:
        throw ESheetError(QStringLiteral("Workbook file format %1 is not supported").arg(format));
    }
}
