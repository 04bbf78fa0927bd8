#include "base/EValidationException.h"

EValidationException::EValidationException(const QString& message, std::weak_ptr<TField> field)
    : Exception(message), m_field(std::move(field))
{
}

TField* EValidationException::Field() const
{
    return m_field.lock().get();
}

void EValidationException::SetField(std::weak_ptr<TField> field)
{
    m_field = std::move(field);
}

bool EValidationException::HasField() const
{
    return !m_field.expired();
}
