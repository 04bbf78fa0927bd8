#include "platform/data/IndexDef.h"

TIndexDef::TIndexDef(const QString& name, const QString& fields, TIndexOptions options,
                     const QString& descFields, const QString& caseInsFields)
    : m_name(name)
    , m_fields(fields)
    , m_options(options)
    , m_descFields(descFields)
    , m_caseInsFields(caseInsFields)
{
}
