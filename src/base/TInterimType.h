#pragma once

// How a period date relates to its month: a plain day, an entry before the first day of its
// month (a period start) or after its last day (a period end). Always a property of the field
// or column holding the value, never of the text.
enum class TInterimType { InterimNo, InterimBeforeFirst, InterimAfterLast };
