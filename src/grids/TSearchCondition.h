#pragma once

#include "platform/data/TDataSetGuard.h"
#include "platform/rtl/Value.h"

#include <QString>
#include <functional>

class TDataSet;
class TField;

// One step of the search window: the dataset's Find operations look for the records that
// meet Test (and, while the dataset is filtered, its own filter), with its data-aware
// controls kept still. The typed text is never turned into a filter text: the record test is
// a callback that compares the field with a value. Whatever happens, the dataset gets back
// its filter text and record filter when the step ends.
class TSearchCondition {
public:
    using TRecordTest = std::function<bool()>;

    TSearchCondition(TDataSet* DataSet, TRecordTest Test);
    ~TSearchCondition();
    TSearchCondition(const TSearchCondition&) = delete;
    TSearchCondition& operator=(const TSearchCondition&) = delete;

    // The value of the field's own kind that Text stands for (a number with "." or the
    // locale's decimal separator, a date in the locale's order or as YYYY-MM-DD, any text for
    // a text field); false when it stands for none, which then matches no record.
    static bool TypedValue(const TField* Field, const QString& Text, ::Value& Result);
    // Three-way comparison of the field's value with a value from TypedValue or from the
    // field itself; false (no answer) when either is null.
    static bool CompareField(const TField* Field, const ::Value& Key, bool CaseInsensitive, int& Result);
    static bool IsStringField(const TField* Field);
    static bool IsNumberField(const TField* Field);

private:
    TDataSet* FDataSet;
    // Controls kept still and the filter text given back, after the record filter.
    TDataSetGuard FKeep;
    std::function<void(TDataSet*, bool&)> FSavedFilterRecord;
};
