#pragma once

#include "platform/data/DBTypes.h"
#include "platform/rtl/Value.h"

#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// A dataset filter text parsed once into an expression tree. The grammar: field names in any
// letter case (or in [brackets]), integers, decimals with ".", texts in single quotes with ''
// for a quote, NULL, TRUE, FALSE, dates as quoted texts, = <> < > <= >=, IS [NOT] NULL,
// AND / OR / NOT in any letter case, parentheses. "= NULL" and "<> NULL" test for null; any
// other comparison with a null is false. A text ending in * matches by prefix unless
// foNoPartialCompare is set.
class TFilterExpression {
public:
    struct FieldInfo {
        int Index = -1;
        TFieldType DataType = TFieldType::ftUnknown;
    };
    // Resolves a field name; Index -1 when there is no such field.
    using FieldResolver = std::function<FieldInfo(const QString& name)>;
    // Reads the stored value of a field (by index) of the record being tested.
    using FieldReader = std::function<::Value(int fieldIndex)>;

    // Raises EDatabaseError for a text that cannot be parsed or names an unknown field.
    static std::unique_ptr<TFilterExpression> Parse(const QString& text, const FieldResolver& resolve,
                                                    TFilterOptions options);
    ~TFilterExpression();

    bool Matches(const FieldReader& read) const;

    // When the whole expression is a conjunction of "field = constant" terms (no null, no
    // prefix match), the terms as field index and stored-form constant.
    bool EqualityTerms(std::vector<std::pair<int, ::Value>>& terms) const;

    struct Node;

private:
    TFilterExpression() = default;
    std::unique_ptr<Node> FRoot;
    TFilterOptions FOptions = 0;
};
