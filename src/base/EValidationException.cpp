#include "base/EValidationException.h"

EValidationException::EValidationException(const QString& message, std::weak_ptr<TField> field)
    : Exception(message), FField(std::move(field))
{
}

TField* EValidationException::Field() const
{
    return FField.lock().get();
}

void EValidationException::SetField(std::weak_ptr<TField> field)
{
    FField = std::move(field);
}

bool EValidationException::HasField() const
{
    return !FField.expired();
}
