#include "grids/DynFilterList.h"

#include "platform/data/Field.h"
#include "platform/data/FloatField.h"
#include "platform/data/StringField.h"

#include <charconv>

namespace {
// A floating-point value as the filter parser reads it: a point, no exponent, whatever the
// decimal separator of the program's format settings.
QString FilterNumber(double v)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}
} // namespace

void TDynFilterList::AddFilterFromField(TField* Field, bool bEqual, bool bAppend)
{
    if (!Field)
        return;
    if (!bAppend)
        Clear();
    QString text;
    if (Field->IsNull()) {
        text = Field->FieldName() + QStringLiteral("=NULL");
    } else {
        QString value = Field->AsString();
        if (dynamic_cast<TFloatField*>(Field))
            value = FilterNumber(Field->AsFloat());
        else if (dynamic_cast<TStringField*>(Field))
            value = QLatin1Char('\'') + value.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
        text = Field->FieldName() + QLatin1Char('=') + value;
    }
    Items.push_back({text, bEqual ? 0 : 1});
}

void TDynFilterList::DeleteForField(TField* Field)
{
    if (!Field)
        return;
    for (int i = Count() - 1; i >= 0; --i) {
        const QString& t = Items[i].Text;
        const int eq = t.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? t : t.left(eq);
        if (name == Field->FieldName())
            Items.erase(Items.begin() + i);
    }
}

QString TDynFilterList::FilterText() const
{
    QStringList parts;
    for (const Item& it : Items)
        parts << (it.Object == 0 ? QStringLiteral("(") + it.Text + QStringLiteral(")")
                                 : QStringLiteral("(NOT ") + it.Text + QStringLiteral(")"));
    return parts.join(QStringLiteral(" AND "));
}
