#pragma once

#include "platform/data/DBTypes.h"

#include <QString>

#include <memory>

class TField;

// The definition of one column: name, type, size, whether it must have a value.
class TFieldDef {
public:
    TFieldDef() = default;
    TFieldDef(const QString& name, TFieldType dataType, int size = 0, bool required = false);

    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    TFieldType DataType() const { return m_dataType; }
    void SetDataType(TFieldType type) { m_dataType = type; }
    int Size() const { return m_size; }
    void SetSize(int size) { m_size = size; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }

    // A new field of the class that belongs to this definition's type.
    std::shared_ptr<TField> CreateField() const;

private:
    QString m_name;
    TFieldType m_dataType = TFieldType::ftUnknown;
    int m_size = 0;
    bool m_required = false;
};
