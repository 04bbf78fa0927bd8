#include "platform/data/IndexDef.h"

TIndexDef::TIndexDef(const QString& name, const QString& fields, TIndexOptions options,
                     const QString& descFields, const QString& caseInsFields)
    : FName(name)
    , FFields(fields)
    , FOptions(options)
    , FDescFields(descFields)
    , FCaseInsFields(caseInsFields)
{
}
