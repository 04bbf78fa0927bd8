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

    const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType type) { FDataType = type; }
    int Size() const { return FSize; }
    void SetSize(int size) { FSize = size; }
    bool Required() const { return FRequired; }
    void SetRequired(bool required) { FRequired = required; }

    // A new field of the class that belongs to this definition's type.
    std::shared_ptr<TField> CreateField() const;

private:
    QString FName;
    TFieldType FDataType = TFieldType::ftUnknown;
    int FSize = 0;
    bool FRequired = false;
};
