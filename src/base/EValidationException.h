#pragma once

#include "platform/rtl/Exception.h"

#include <memory>

class TField;

// Invalid input data, optionally naming the dataset field concerned. The field is held weakly:
// once it is destroyed, Field() reads nullptr instead of a dangling pointer.
class EValidationException : public Exception
{
public:
    explicit EValidationException(const QString& message, std::weak_ptr<TField> field = {});

    TField* Field() const;
    void SetField(std::weak_ptr<TField> field);
    bool HasField() const;

private:
    std::weak_ptr<TField> FField;
};
