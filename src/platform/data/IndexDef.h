#pragma once

#include "platform/data/DBTypes.h"

#include <QString>

// A named order of a dataset over a list of fields ("A;B"), some of them descending.
class TIndexDef {
public:
    TIndexDef() = default;
    TIndexDef(const QString& name, const QString& fields, TIndexOptions options = 0,
              const QString& descFields = QString(), const QString& caseInsFields = QString());

    const QString& Name() const { return m_name; }
    const QString& Fields() const { return m_fields; }
    void SetFields(const QString& fields) { m_fields = fields; }
    TIndexOptions Options() const { return m_options; }
    void SetOptions(TIndexOptions options) { m_options = options; }
    const QString& DescFields() const { return m_descFields; }
    void SetDescFields(const QString& fields) { m_descFields = fields; }
    const QString& CaseInsFields() const { return m_caseInsFields; }
    void SetCaseInsFields(const QString& fields) { m_caseInsFields = fields; }

private:
    QString m_name;
    QString m_fields;
    TIndexOptions m_options = 0;
    QString m_descFields;
    QString m_caseInsFields;
};
