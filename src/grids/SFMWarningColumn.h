#pragma once

#include "grids/SFMWarningDefs.h"
#include "grids/SFMWarningTypes.h"

#include <QColor>
#include <QString>

class TCustomDBSfmGrid;
class TSFMWarningColumns;

// The warning rules of one field.
class TSFMWarningColumn {
public:
    explicit TSFMWarningColumn(TSFMWarningColumns* Collection = nullptr) : FCollection(Collection) {}

    QString Name;
    QString FieldName;
    TSFMWarningDatatype Datatype = TSFMWarningDatatype::wdNumeric;

    int Levels() const { return FWarningDefs.Count(); }
    // Fewer levels drop them from the last one down; more add default levels at the end.
    void SetLevels(int Value);
    TSFMWarningDefs& WarningDefs() { return FWarningDefs; }
    const TSFMWarningDefs& WarningDefs() const { return FWarningDefs; }
    void SetWarningDefs(const TSFMWarningDefs& Value) { FWarningDefs.Assign(Value); }
    TCustomDBSfmGrid* GetGrid() const;
    void Assign(const TSFMWarningColumn& Source);

    // The colours of the first level that the displayed value meets; false when none does
    // or a number does not convert.
    bool DetermineWarning(const QString& sValue, QColor& WarnForeColor, QColor& WarnBackColor) const;

private:
    TSFMWarningColumns* FCollection;
    TSFMWarningDefs FWarningDefs;
};
