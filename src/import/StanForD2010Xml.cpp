#include "import/StanForD2010Xml.h"

#include "import/StanForD2010Errors.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace {

// Compiling an XPath expression costs more than evaluating it on a few children, and the
// readers ask the same handful of expressions for every stem and log: keep them compiled.
const pugi::xpath_query& CompiledQuery(const std::string& sExpr)
{
    thread_local std::unordered_map<std::string, std::unique_ptr<pugi::xpath_query>> cache;
    auto it = cache.find(sExpr);
    if (it == cache.end())
        it = cache.emplace(sExpr, std::make_unique<pugi::xpath_query>(sExpr.c_str())).first;
    return *it->second;
}

// The readers' most frequent expression, "*[local-name() = 'name']", selects the child
// elements of that local name; it is answered by walking the children, which gives the same
// nodes in the same order without the XPath engine's allocations. Returns false for any other
// expression.
bool LocalNameOf(const std::string& sExpr, std::string_view& name)
{
    static constexpr std::string_view kHead = "*[local-name() = '";
    static constexpr std::string_view kTail = "']";
    const std::string_view e(sExpr);
    if (e.size() <= kHead.size() + kTail.size() || !e.starts_with(kHead) || !e.ends_with(kTail))
        return false;
    name = e.substr(kHead.size(), e.size() - kHead.size() - kTail.size());
    return name.find_first_of("'[]") == std::string_view::npos;
}


bool HasLocalName(const pugi::xml_node& n, std::string_view name)
{
    return IsElementNamed(n, name, true);
}

QString NotAnInteger(const QString& sText)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(sText);
}

// StanForDStrToInt of trimmed UTF-8 text: plain decimal numbers are read where they lie, any
// other form (and the error) goes the long way.
int32_t TrimmedUtf8ToInt(std::string_view v)
{
    int32_t n = 0;
    const char* e = v.data() + v.size();
    const auto r = std::from_chars(v.data(), e, n);
    if (!v.empty() && r.ec == std::errc() && r.ptr == e)
        return n;
    return StanForDStrToInt(QString::fromUtf8(v.data(), qsizetype(v.size())));
}

// The usual form of a number in a file, up to nine digits with an optional minus and blanks
// about them, read in one pass without measuring the text; false for anything else.
bool PlainInt(const char* text, int32_t& value)
{
    const auto blank = [](char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; };
    const char* p = text;
    while (blank(*p))
        ++p;
    const bool negative = *p == '-';
    const char* digits = p + negative;
    const char* q = digits;
    int32_t v = 0;
    while (*q >= '0' && *q <= '9' && q - digits < 9)
        v = v * 10 + (*q++ - '0');
    if (q == digits)
        return false;
    while (blank(*q))
        ++q;
    if (*q != 0)
        return false;
    value = negative ? -v : v;
    return true;
}

} // namespace

// In UTF-8 the characters up to the blank are the bytes up to the blank, and no byte of a longer
// character is one.
std::string_view TrimmedUtf8(std::string_view v)
{
    while (!v.empty() && static_cast<unsigned char>(v.front()) <= ' ')
        v.remove_prefix(1);
    while (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ')
        v.remove_suffix(1);
    return v;
}

const char* SoleText(const pugi::xml_node& el)
{
    if (!el)
        return nullptr;
    const pugi::xml_node child = el.first_child();
    // Text kept in the element itself was its first child node: it is alone when no other
    // child node follows.
    if (el.text().data() == el)
        return child ? nullptr : el.value();
    if (child && !child.next_sibling() && child.type() == pugi::node_pcdata)
        return child.value();
    return nullptr;
}

bool HasChildNodes(const pugi::xml_node& el)
{
    return el.first_child() || (el && el.text().data() == el);
}

QString ElementText(const pugi::xml_node& el, std::string_view sName, bool mandatory)
{
    if (const char* text = SoleText(el)) {
        const std::string_view v = TrimmedUtf8(text);
        if (!v.empty() || !mandatory)
            return QString::fromUtf8(v.data(), qsizetype(v.size()));
    }
    if (mandatory)
        StanForD2010Errors::RaiseValidation(
            StanForD2010Errors::MissingFieldText(QString::fromUtf8(sName.data(), qsizetype(sName.size()))));
    return QString();
}

const char* ElementUtf8(const pugi::xml_node& el, std::string_view sName)
{
    const char* text = SoleText(el);
    if (!text || TrimmedUtf8(text).empty())
        StanForD2010Errors::RaiseValidation(
            StanForD2010Errors::MissingFieldText(QString::fromUtf8(sName.data(), qsizetype(sName.size()))));
    return text;
}

int32_t ElementInt(const pugi::xml_node& el, std::string_view sName)
{
    return Utf8TextToInt(ElementUtf8(el, sName));
}

int32_t Utf8TextToInt(const char* text)
{
    int32_t v = 0;
    if (PlainInt(text, v))
        return v;
    return TrimmedUtf8ToInt(TrimmedUtf8(text));
}

std::optional<int32_t> Utf8ToInt(const char* text)
{
    int32_t v = 0;
    if (PlainInt(text, v))
        return v;
    const std::string_view trimmed = TrimmedUtf8(text);
    if (trimmed.empty())
        return std::nullopt;
    return TrimmedUtf8ToInt(trimmed);
}

std::vector<pugi::xml_node> SelectXMLNodes(const pugi::xml_node& node, const std::string& sExpr)
{
    std::vector<pugi::xml_node> result;
    if (!node)
        return result;
    std::string_view name;
    if (LocalNameOf(sExpr, name)) {
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
            if (HasLocalName(c, name))
                result.push_back(c);
        return result;
    }
    const pugi::xpath_node_set set = CompiledQuery(sExpr).evaluate_node_set(node);
    result.reserve(set.size());
    for (const pugi::xpath_node& n : set)
        if (n.node())
            result.push_back(n.node());
    return result;
}

pugi::xml_node SelectXMLNode(const pugi::xml_node& node, const std::string& sExpr)
{
    if (!node)
        return {};
    std::string_view name;
    if (LocalNameOf(sExpr, name)) {
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
            if (HasLocalName(c, name))
                return c;
        return {};
    }
    return CompiledQuery(sExpr).evaluate_node(node).node();
}

bool IsElementNamed(const pugi::xml_node& node, std::string_view name, bool matchLocalName)
{
    if (node.type() != pugi::node_element)
        return false;
    const char* q = node.name();
    // Most names looked at are another element's: the first character tells most of them apart.
    if ((name.empty() || q[0] == name[0]) && NameIs(q, name))
        return true;
    if (!matchLocalName)
        return false;
    const char* colon = std::strchr(q, ':');
    return colon && (name.empty() || colon[1] == name[0]) && NameIs(colon + 1, name);
}

std::string LocalNameXPath(const std::string& sName, bool matchLocalName)
{
    if (matchLocalName)
        return "*[local-name() = '" + sName + "']";
    return sName;
}

pugi::xml_node SelectChildNode(const pugi::xml_node& node, std::string_view sName, bool matchLocalName)
{
    return *TNamedChildren(node, sName, matchLocalName).begin();
}

QString StanForDTrim(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= u' ')
        ++b;
    while (e > b && s.at(e - 1).unicode() <= u' ')
        --e;
    if (b == 0 && e == s.size())
        return s;
    return s.mid(b, e - b);
}

QString ReadNodeText(const pugi::xml_node& node, std::string_view sName, bool mandatory, bool matchLocalName)
{
    return ElementText(SelectChildNode(node, sName, matchLocalName), sName, mandatory);
}

bool ReadNodeBool(const pugi::xml_node& node, std::string_view sName, bool mandatory, bool matchLocalName)
{
    const QString sText = StanForDTrim(ReadNodeText(node, sName, mandatory, matchLocalName));
    if (sText.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (sText.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    StanForD2010Errors::RaiseValidation(
        QStringLiteral("Nekorekta boolean lauka \"%1\" vērtiba \"%2\"! Jābūt \"true\" vai \"false\".")
            .arg(QString::fromUtf8(sName.data(), qsizetype(sName.size())), sText));
}

bool IsIntegerText(const QString& sText)
{
    const QByteArray a = sText.toUtf8();
    const char* b = a.constData();
    const char* e = b + a.size();
    while (b < e && *b == ' ')
        ++b;
    if (b < e && *b == '+')
        ++b;
    if (b == e || (*b == '-' && b + 1 == e))
        return false;
    int64_t v = 0;
    const auto r = std::from_chars(b, e, v);
    return r.ec == std::errc() && r.ptr == e;
}

int32_t StanForDStrToInt(const QString& sText)
{
    const QByteArray a = sText.toUtf8();
    const char* b = a.constData();
    const char* e = b + a.size();
    while (b < e && *b == ' ')
        ++b;
    if (b < e && *b == '+' && b + 1 < e && *(b + 1) != '-')
        ++b;
    int32_t v = 0;
    const auto r = std::from_chars(b, e, v);
    if (b == e || r.ec != std::errc() || r.ptr != e)
        StanForD2010Errors::RaiseConvertError(NotAnInteger(sText));
    return v;
}

double StrToFloatAnySep(const QString& sText)
{
    const QString sTrim = StanForDTrim(sText);
    const QChar sep = sTrim.contains(u'.') ? u'.' : u',';
    std::string s;
    s.reserve(sTrim.size());
    bool ok = !sTrim.isEmpty();
    for (const QChar c : sTrim) {
        if (c == sep)
            s.push_back('.');
        else if (c.unicode() < 128 && c != u'.' && c != u',')
            s.push_back(char(c.unicode()));
        else
            ok = false;
    }
    const char* b = s.data();
    const char* e = b + s.size();
    if (b < e && *b == '+' && b + 1 < e && *(b + 1) != '-')
        ++b;
    double v = 0;
    const auto r = std::from_chars(b, e, v, std::chars_format::general);
    if (!ok || r.ec != std::errc() || r.ptr != e)
        StanForD2010Errors::RaiseConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(sText));
    return v;
}
