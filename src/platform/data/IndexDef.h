#pragma once

#include "platform/data/DBTypes.h"

#include <QString>

// A named order of a dataset over a list of fields ("A;B"), some of them descending.
class TIndexDef {
public:
    TIndexDef() = default;
    TIndexDef(const QString& name, const QString& fields, TIndexOptions options = 0,
              const QString& descFields = QString(), const QString& caseInsFields = QString());

    const QString& Name() const { return FName; }
    const QString& Fields() const { return FFields; }
    void SetFields(const QString& fields) { FFields = fields; }
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions options) { FOptions = options; }
    const QString& DescFields() const { return FDescFields; }
    void SetDescFields(const QString& fields) { FDescFields = fields; }
    const QString& CaseInsFields() const { return FCaseInsFields; }
    void SetCaseInsFields(const QString& fields) { FCaseInsFields = fields; }

private:
    QString FName;
    QString FFields;
    TIndexOptions FOptions = 0;
    QString FDescFields;
    QString FCaseInsFields;
};
