#include "grids/SFMWarningColumn.h"

#include "grids/SFMWarningColumns.h"
#include "platform/rtl/DelphiFormat.h"

void TSFMWarningColumn::SetLevels(int Value)
{
    while (FWarningDefs.Count() > Value && FWarningDefs.Count() > 0)
        FWarningDefs.Delete(FWarningDefs.Count() - 1);
    while (FWarningDefs.Count() < Value)
        FWarningDefs.Add();
}

TCustomDBSfmGrid* TSFMWarningColumn::GetGrid() const { return FCollection ? FCollection->Grid : nullptr; }

void TSFMWarningColumn::Assign(const TSFMWarningColumn& Source)
{
    if (&Source == this)
        return;
    Name = Source.Name;
    FieldName = Source.FieldName;
    Datatype = Source.Datatype;
    FWarningDefs.Assign(Source.FWarningDefs);
}

namespace {
template <typename T>
bool compare(TSFMWarningOperator op, const T& v, const T& t)
{
    switch (op) {
    case TSFMWarningOperator::woEqual: return v == t;
    case TSFMWarningOperator::woNotEqual: return v != t;
    case TSFMWarningOperator::woLarger: return v > t;
    case TSFMWarningOperator::woSmaller: return v < t;
    case TSFMWarningOperator::woLargerEqual: return v >= t;
    case TSFMWarningOperator::woSmallerEqual: return v <= t;
    }
    return false;
}
}

bool TSFMWarningColumn::DetermineWarning(const QString& sValue, QColor& WarnForeColor, QColor& WarnBackColor) const
{
    const bool numeric = Datatype == TSFMWarningDatatype::wdNumeric;
    double v = 0;
    if (numeric && !TryStrToFloat(sValue, v))
        return false;
    for (int i = 0; i < FWarningDefs.Count(); ++i) {
        const TSFMWarningDef* d = FWarningDefs.WarningDef(i);
        bool holds;
        if (numeric) {
            double t = 0;
            if (!TryStrToFloat(d->Threshold, t))
                return false;
            holds = compare(d->Operator, v, t);
        } else {
            // Ordinal, case-sensitive comparison of the characters.
            holds = compare(d->Operator, QString::compare(sValue, d->Threshold, Qt::CaseSensitive), 0);
        }
        if (holds) {
            WarnForeColor = d->ForeColor;
            WarnBackColor = d->BackColor;
            return true;
        }
    }
    return false;
}
