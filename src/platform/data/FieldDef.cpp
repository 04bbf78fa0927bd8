#include "platform/data/FieldDef.h"

#include "platform/data/BCDField.h"
#include "platform/data/BooleanField.h"
#include "platform/data/BytesField.h"
#include "platform/data/CurrencyField.h"
#include "platform/data/DateField.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/LargeintField.h"
#include "platform/data/SmallintField.h"
#include "platform/data/TimeField.h"
#include "platform/data/WideMemoField.h"
#include "platform/data/WideStringField.h"
#include "platform/data/WordField.h"

TFieldDef::TFieldDef(const QString& name, TFieldType dataType, int size, bool required)
    : FName(name)
    , FDataType(dataType)
    , FSize(size)
    , FRequired(required)
{
}

std::shared_ptr<TField> TFieldDef::CreateField() const
{
    std::shared_ptr<TField> f;
    switch (FDataType) {
    case TFieldType::ftString: f = std::make_shared<TStringField>(FSize); break;
    case TFieldType::ftFixedChar: f = std::make_shared<TStringField>(FSize, TFieldType::ftFixedChar); break;
    case TFieldType::ftWideString: f = std::make_shared<TWideStringField>(FSize); break;
    case TFieldType::ftSmallint: f = std::make_shared<TSmallintField>(); break;
    case TFieldType::ftInteger: f = std::make_shared<TIntegerField>(); break;
    case TFieldType::ftWord: f = std::make_shared<TWordField>(); break;
    case TFieldType::ftLargeint: f = std::make_shared<TLargeintField>(); break;
    case TFieldType::ftBoolean: f = std::make_shared<TBooleanField>(); break;
    case TFieldType::ftFloat: f = std::make_shared<TFloatField>(); break;
    case TFieldType::ftCurrency: f = std::make_shared<TCurrencyField>(); break;
    case TFieldType::ftBCD: f = std::make_shared<TBCDField>(); break;
    case TFieldType::ftDate: f = std::make_shared<TDateField>(); break;
    case TFieldType::ftTime: f = std::make_shared<TTimeField>(); break;
    case TFieldType::ftDateTime: f = std::make_shared<TDateTimeField>(); break;
    case TFieldType::ftBytes: f = std::make_shared<TBytesField>(FSize); break;
    case TFieldType::ftBlob: f = std::make_shared<TBlobField>(); break;
    case TFieldType::ftMemo: f = std::make_shared<TMemoField>(); break;
    case TFieldType::ftWideMemo: f = std::make_shared<TWideMemoField>(); break;
    case TFieldType::ftUnknown:
        throw EDatabaseError(QStringLiteral("Field '%1' is of an unknown type").arg(FName));
    }
    f->SetFieldName(FName);
    f->SetRequired(FRequired);
    return f;
}
