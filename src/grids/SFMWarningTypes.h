#pragma once

enum class TSFMWarningOperator { woEqual, woNotEqual, woLarger, woSmaller, woLargerEqual, woSmallerEqual };
enum class TSFMWarningDatatype { wdString, wdNumeric };
