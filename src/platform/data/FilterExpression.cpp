#include "platform/data/FilterExpression.h"

#include "platform/data/EDatabaseError.h"
#include "platform/rtl/DelphiFormat.h"

#include <QDate>

struct TFilterExpression::Node {
    enum class Kind { Const, Field, Compare, And, Or, Not, IsNull };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

    Kind kind = Kind::Const;
    Op op = Op::Eq;
    ::Value value;               // Const
    int field = -1;              // Field
    TFieldType fieldType = TFieldType::ftUnknown;
    bool negate = false;         // IsNull: IS NOT NULL
    bool prefix = false;         // Compare: the constant is a prefix pattern
    std::unique_ptr<Node> left, right;
};

namespace {

using Node = TFilterExpression::Node;

enum class Tok { End, Ident, Number, String, LParen, RParen, Op };

struct Token {
    Tok type = Tok::End;
    QString text;
    int pos = 0;
};

[[noreturn]] void Fail(const QString& text, const QString& why)
{
    throw EDatabaseError(QStringLiteral("Invalid filter '%1': %2").arg(text, why));
}

std::vector<Token> Tokenize(const QString& s)
{
    std::vector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            t.type = c == QLatin1Char('(') ? Tok::LParen : Tok::RParen;
            t.text = c;
            ++i;
        } else if (c == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        t.text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text += s[i++];
            }
            if (!closed)
                Fail(s, QStringLiteral("unterminated text"));
            t.type = Tok::String;
        } else if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                Fail(s, QStringLiteral("unterminated field name"));
            t.type = Tok::Ident;
            t.text = s.mid(i + 1, close - i - 1);
            t.pos = -1; // a bracketed name is never a keyword
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            if (j < n && (s[j].isLetter() || s[j] == QLatin1Char('_')))
                Fail(s, QStringLiteral("bad number"));
            t.type = Tok::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_')))
                ++j;
            t.type = Tok::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('=')) {
            t.type = Tok::Op;
            t.text = QStringLiteral("=");
            ++i;
        } else if (c == QLatin1Char('<') || c == QLatin1Char('>')) {
            t.type = Tok::Op;
            t.text = c;
            ++i;
            if (i < n && (s[i] == QLatin1Char('=') || (c == QLatin1Char('<') && s[i] == QLatin1Char('>'))))
                t.text += s[i++];
        } else if (c == QLatin1Char('-') || c == QLatin1Char('+')) {
            t.type = Tok::Op;
            t.text = c;
            ++i;
        } else {
            Fail(s, QStringLiteral("unexpected character '%1'").arg(c));
        }
        out.push_back(std::move(t));
    }
    out.push_back(Token { Tok::End, QString(), n });
    return out;
}

bool IsKeyword(const Token& t, const char* word)
{
    return t.type == Tok::Ident && t.pos >= 0 && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsDateType(TFieldType t)
{
    return t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime;
}

bool ParseIsoDate(const QString& text, DateTime& out)
{
    // yyyy-mm-dd with an optional time, independent of the locale.
    static const char* const formats[] = { "yyyy-MM-dd", "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss",
                                           "yyyy-MM-ddTHH:mm:ss" };
    for (const char* f : formats) {
        if (f == formats[0]) {
            const QDate d = QDate::fromString(text, QLatin1String(f));
            if (d.isValid()) {
                out = DateTime::FromQDate(d);
                return true;
            }
        } else {
            const QDateTime dt = QDateTime::fromString(text, QLatin1String(f));
            if (dt.isValid()) {
                out = DateTime::FromQDateTime(dt);
                return true;
            }
        }
    }
    return false;
}

class Parser {
public:
    Parser(const QString& text, const TFilterExpression::FieldResolver& resolve, TFilterOptions options)
        : FText(text)
        , FTokens(Tokenize(text))
        , FResolve(resolve)
        , FOptions(options)
    {
    }

    std::unique_ptr<Node> ParseAll()
    {
        auto node = ParseOr();
        if (Peek().type != Tok::End)
            Fail(FText, QStringLiteral("unexpected '%1'").arg(Peek().text));
        return node;
    }

private:
    const Token& Peek() const { return FTokens[size_t(FPos)]; }
    Token Take() { return FTokens[size_t(FPos++)]; }

    std::unique_ptr<Node> ParseOr()
    {
        auto left = ParseAnd();
        while (IsKeyword(Peek(), "OR")) {
            Take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::Or;
            node->left = std::move(left);
            node->right = ParseAnd();
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> ParseAnd()
    {
        auto left = ParseNot();
        while (IsKeyword(Peek(), "AND")) {
            Take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::And;
            node->left = std::move(left);
            node->right = ParseNot();
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> ParseNot()
    {
        if (IsKeyword(Peek(), "NOT")) {
            Take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::Not;
            node->left = ParseNot();
            return node;
        }
        return ParseComparison();
    }

    std::unique_ptr<Node> ParseComparison()
    {
        auto left = ParseOperand();
        if (IsKeyword(Peek(), "IS")) {
            Take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::IsNull;
            if (IsKeyword(Peek(), "NOT")) {
                Take();
                node->negate = true;
            }
            if (!IsKeyword(Peek(), "NULL"))
                Fail(FText, QStringLiteral("NULL expected after IS"));
            Take();
            node->left = std::move(left);
            return node;
        }
        if (Peek().type != Tok::Op || Peek().text == QLatin1String("-") || Peek().text == QLatin1String("+"))
            return left;
        const QString opText = Take().text;
        auto node = std::make_unique<Node>();
        node->kind = Node::Kind::Compare;
        if (opText == QLatin1String("="))
            node->op = Node::Op::Eq;
        else if (opText == QLatin1String("<>"))
            node->op = Node::Op::Ne;
        else if (opText == QLatin1String("<"))
            node->op = Node::Op::Lt;
        else if (opText == QLatin1String(">"))
            node->op = Node::Op::Gt;
        else if (opText == QLatin1String("<="))
            node->op = Node::Op::Le;
        else
            node->op = Node::Op::Ge;
        node->left = std::move(left);
        node->right = ParseOperand();
        Coerce(*node, *node->left, *node->right);
        Coerce(*node, *node->right, *node->left);
        return node;
    }

    std::unique_ptr<Node> ParseOperand()
    {
        const Token t = Take();
        auto node = std::make_unique<Node>();
        switch (t.type) {
        case Tok::LParen: {
            auto inner = ParseOr();
            if (Peek().type != Tok::RParen)
                Fail(FText, QStringLiteral("')' expected"));
            Take();
            return inner;
        }
        case Tok::Number:
            node->value = NumberValue(t.text, false);
            return node;
        case Tok::Op:
            if ((t.text == QLatin1String("-") || t.text == QLatin1String("+")) && Peek().type == Tok::Number) {
                node->value = NumberValue(Take().text, t.text == QLatin1String("-"));
                return node;
            }
            Fail(FText, QStringLiteral("unexpected '%1'").arg(t.text));
        case Tok::String:
            node->value = ::Value(t.text);
            return node;
        case Tok::Ident: {
            if (IsKeyword(t, "NULL"))
                return node; // null constant
            if (IsKeyword(t, "TRUE") || IsKeyword(t, "FALSE")) {
                node->value = ::Value(IsKeyword(t, "TRUE"));
                return node;
            }
            if (IsKeyword(t, "AND") || IsKeyword(t, "OR") || IsKeyword(t, "NOT") || IsKeyword(t, "IS"))
                Fail(FText, QStringLiteral("unexpected '%1'").arg(t.text));
            const auto info = FResolve(t.text);
            if (info.Index < 0)
                Fail(FText, QStringLiteral("field '%1' not found").arg(t.text));
            node->kind = Node::Kind::Field;
            node->field = info.Index;
            node->fieldType = info.DataType;
            return node;
        }
        case Tok::RParen:
        case Tok::End:
            break;
        }
        Fail(FText, QStringLiteral("operand expected"));
    }

    ::Value NumberValue(const QString& text, bool negative)
    {
        const QString s = negative ? QLatin1Char('-') + text : text;
        if (!text.contains(QLatin1Char('.'))) {
            bool ok = false;
            const qint64 v = s.toLongLong(&ok);
            if (ok)
                return ::Value(v);
        }
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            Fail(FText, QStringLiteral("bad number '%1'").arg(s));
        return ::Value(d);
    }

    // Brings a constant compared with a field into the field's stored form.
    void Coerce(Node& cmp, Node& constant, const Node& other)
    {
        if (constant.kind != Node::Kind::Const || other.kind != Node::Kind::Field || constant.value.IsNull())
            return;
        const TFieldType type = other.fieldType;
        ::Value& v = constant.value;
        if (IsStringFieldType(type)) {
            QString text = v.AsString();
            if ((FOptions & foNoPartialCompare) == 0 && text.endsWith(QLatin1Char('*'))
                && (cmp.op == Node::Op::Eq || cmp.op == Node::Op::Ne)) {
                text.chop(1);
                cmp.prefix = true;
            }
            v = ::Value(text);
        } else if (IsNumericFieldType(type)) {
            if (v.IsString()) {
                bool ok = false;
                const double d = v.AsString().trimmed().toDouble(&ok);
                if (!ok)
                    Fail(FText, QStringLiteral("'%1' is not a number").arg(v.AsString()));
                v = ::Value(d);
            } else if (v.GetKind() == ::Value::Kind::Boolean) {
                Fail(FText, QStringLiteral("type mismatch"));
            }
        } else if (IsDateType(type)) {
            DateTime d;
            if (v.IsString()) {
                const QString text = v.AsString().trimmed();
                if (!ParseIsoDate(text, d) && !TryStrToDateTime(text, d))
                    Fail(FText, QStringLiteral("'%1' is not a valid date").arg(text));
            } else if (v.IsNumeric()) {
                d = DateTime(v.AsFloat());
            } else {
                Fail(FText, QStringLiteral("type mismatch"));
            }
            if (type == TFieldType::ftDate)
                d = d.DateOf();
            v = ::Value(d.Days());
        } else if (type == TFieldType::ftBoolean) {
            if (v.IsString()) {
                const QString text = v.AsString().trimmed();
                if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                    v = ::Value(1);
                else if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                    v = ::Value(0);
                else
                    Fail(FText, QStringLiteral("'%1' is not a boolean").arg(text));
            } else {
                v = ::Value(v.AsBoolean() ? 1 : 0);
            }
        }
    }

    QString FText;
    std::vector<Token> FTokens;
    int FPos = 0;
    const TFilterExpression::FieldResolver& FResolve;
    TFilterOptions FOptions;
};

::Value Eval(const Node& n, const TFilterExpression::FieldReader& read, TFilterOptions options);

bool Truth(const ::Value& v)
{
    if (v.IsNull())
        return false;
    return v.AsBoolean();
}

bool EvalCompare(const Node& n, const TFilterExpression::FieldReader& read, TFilterOptions options)
{
    const bool leftNullConst = n.left->kind == Node::Kind::Const && n.left->value.IsNull();
    const bool rightNullConst = n.right->kind == Node::Kind::Const && n.right->value.IsNull();
    if (leftNullConst || rightNullConst) {
        const ::Value other = Eval(leftNullConst ? *n.right : *n.left, read, options);
        if (n.op == Node::Op::Eq)
            return other.IsNull();
        if (n.op == Node::Op::Ne)
            return !other.IsNull();
        return false;
    }
    const ::Value a = Eval(*n.left, read, options);
    const ::Value b = Eval(*n.right, read, options);
    if (a.IsNull() || b.IsNull())
        return false;
    const bool ci = (options & foCaseInsensitive) != 0;
    int c;
    if (n.prefix) {
        const bool constRight = n.right->kind == Node::Kind::Const;
        const QString text = (constRight ? a : b).AsString();
        const QString pattern = (constRight ? b : a).AsString();
        c = text.startsWith(pattern, ci ? Qt::CaseInsensitive : Qt::CaseSensitive) ? 0 : 1;
    } else if (a.IsString() && b.IsString()) {
        c = QString::compare(a.AsString(), b.AsString(), ci ? Qt::CaseInsensitive : Qt::CaseSensitive);
    } else {
        c = ::Value::Compare(a, b, ci);
    }
    switch (n.op) {
    case Node::Op::Eq: return c == 0;
    case Node::Op::Ne: return c != 0;
    case Node::Op::Lt: return c < 0;
    case Node::Op::Gt: return c > 0;
    case Node::Op::Le: return c <= 0;
    case Node::Op::Ge: return c >= 0;
    }
    return false;
}

::Value Eval(const Node& n, const TFilterExpression::FieldReader& read, TFilterOptions options)
{
    switch (n.kind) {
    case Node::Kind::Const: return n.value;
    case Node::Kind::Field: return read(n.field);
    case Node::Kind::Compare: return ::Value(EvalCompare(n, read, options));
    case Node::Kind::And: return ::Value(Truth(Eval(*n.left, read, options)) && Truth(Eval(*n.right, read, options)));
    case Node::Kind::Or: return ::Value(Truth(Eval(*n.left, read, options)) || Truth(Eval(*n.right, read, options)));
    case Node::Kind::Not: return ::Value(!Truth(Eval(*n.left, read, options)));
    case Node::Kind::IsNull: return ::Value(Eval(*n.left, read, options).IsNull() != n.negate);
    }
    return ::Value();
}

bool CollectEqualities(const Node& n, std::vector<std::pair<int, ::Value>>& terms)
{
    if (n.kind == Node::Kind::And)
        return CollectEqualities(*n.left, terms) && CollectEqualities(*n.right, terms);
    if (n.kind != Node::Kind::Compare || n.op != Node::Op::Eq || n.prefix)
        return false;
    const Node* field = n.left.get();
    const Node* constant = n.right.get();
    if (field->kind != Node::Kind::Field)
        std::swap(field, constant);
    if (field->kind != Node::Kind::Field || constant->kind != Node::Kind::Const || constant->value.IsNull())
        return false;
    const bool stringField = IsStringFieldType(field->fieldType);
    if (stringField != constant->value.IsString())
        return false;
    terms.emplace_back(field->field, constant->value);
    return true;
}

} // namespace

TFilterExpression::~TFilterExpression() = default;

std::unique_ptr<TFilterExpression> TFilterExpression::Parse(const QString& text, const FieldResolver& resolve,
                                                            TFilterOptions options)
{
    std::unique_ptr<TFilterExpression> result(new TFilterExpression());
    result->FOptions = options;
    if (text.trimmed().isEmpty())
        return result;
    Parser parser(text, resolve, options);
    result->FRoot = parser.ParseAll();
    return result;
}

bool TFilterExpression::Matches(const FieldReader& read) const
{
    if (!FRoot)
        return true;
    return Truth(Eval(*FRoot, read, FOptions));
}

bool TFilterExpression::EqualityTerms(std::vector<std::pair<int, ::Value>>& terms) const
{
    terms.clear();
    if (!FRoot)
        return false;
    if ((FOptions & foCaseInsensitive) != 0) {
        // Text keys compared without case do not follow the index's order.
        std::vector<std::pair<int, ::Value>> probe;
        if (!CollectEqualities(*FRoot, probe))
            return false;
        for (const auto& t : probe)
            if (t.second.IsString())
                return false;
        terms = std::move(probe);
        return true;
    }
    return CollectEqualities(*FRoot, terms);
}
