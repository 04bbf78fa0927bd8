#pragma once

// XML helpers of the StanForD 2010 readers: XPath selection relative to a node, elements found
// by local name in any namespace, and the text, number and date readers every message shares.

#include <pugixml.hpp>

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All nodes that the XPath 1.0 expression selects relative to the node, in document order;
// nothing for a missing node.
std::vector<pugi::xml_node> SelectXMLNodes(const pugi::xml_node& node, const std::string& sExpr);
// The first node in document order that the expression selects, or an empty node.
pugi::xml_node SelectXMLNode(const pugi::xml_node& node, const std::string& sExpr);

// "*[local-name() = 'name']" when matchLocalName (child elements of that local name in any
// namespace), else the name itself.
std::string LocalNameXPath(const std::string& sName, bool matchLocalName);

// Whether an element is named so: by its local name in any namespace when matchLocalName
// (what LocalNameXPath selects), else by its whole name.
bool IsElementNamed(const pugi::xml_node& node, std::string_view name, bool matchLocalName);

// The child elements of that name (see IsElementNamed) in document order, walked in place: no
// query text is built or parsed, and nothing is allocated.
class TNamedChildren {
public:
    class iterator {
    public:
        using value_type = pugi::xml_node;
        iterator() = default;
        iterator(pugi::xml_node node, std::string_view name, bool matchLocalName)
            : FNode(node), FName(name), FLocal(matchLocalName)
        {
            Settle();
        }
        const pugi::xml_node& operator*() const { return FNode; }
        iterator& operator++()
        {
            FNode = FNode.next_sibling();
            Settle();
            return *this;
        }
        bool operator==(const iterator& other) const { return FNode == other.FNode; }

    private:
        void Settle()
        {
            while (FNode && !IsElementNamed(FNode, FName, FLocal))
                FNode = FNode.next_sibling();
        }
        pugi::xml_node FNode;
        std::string_view FName;
        bool FLocal = false;
    };

    TNamedChildren(const pugi::xml_node& parent, std::string_view name, bool matchLocalName)
        : FFirst(parent ? parent.first_child() : pugi::xml_node(), name, matchLocalName)
    {
    }
    iterator begin() const { return FFirst; }
    iterator end() const { return iterator(); }

private:
    iterator FFirst;
};

// The first child element of that name (see IsElementNamed), or an empty node.
pugi::xml_node SelectChildNode(const pugi::xml_node& node, std::string_view sName, bool matchLocalName);

// The name an element is matched by (see IsElementNamed): the part after the first ':' when
// matchLocalName, else the whole name. For readers that look at each child once and act on its
// name, instead of searching the children once for every name they need.
inline const char* MatchedName(const char* q, bool matchLocalName)
{
    if (!matchLocalName)
        return q;
    const char* colon = std::strchr(q, ':');
    return colon ? colon + 1 : q;
}
inline const char* MatchedName(const pugi::xml_node& node, bool matchLocalName)
{
    return MatchedName(node.name(), matchLocalName);
}

// Whether the NUL-terminated name is exactly `name`, without measuring it first.
inline bool NameIs(const char* text, std::string_view name)
{
    return std::strncmp(text, name.data(), name.size()) == 0 && text[name.size()] == 0;
}

// The values of the element's first attributes of those names, in one pass over its
// attributes; null for a name it lacks.
template <size_t N>
std::array<const char*, N> AttributeValues(const pugi::xml_node& el, const std::array<std::string_view, N>& names)
{
    std::array<const char*, N> values{};
    size_t missing = N;
    for (pugi::xml_attribute a = el.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        for (size_t i = 0; i < N; ++i)
            if (!values[i] && name[0] == names[i][0] && NameIs(name, names[i])) {
                values[i] = a.value();
                // Every step to the next attribute is a call into the XML library: once every
                // name has its first value, the attributes after it cannot change any.
                if (--missing == 0)
                    return values;
                break;
            }
    }
    return values;
}

// The text of an element that holds text and nothing else (its only child node is one text
// node, or the text is kept in the element itself, see TCSStanDForFile::LoadDocumentInPlace);
// null otherwise. A CDATA section is no such text.
const char* SoleText(const pugi::xml_node& el);

// Whether the element has any child node, text kept in the element itself included.
bool HasChildNodes(const pugi::xml_node& el);

// ReadNodeText for an element found already (el may be empty): its trimmed text, or the
// missing-field error naming sName when mandatory and there is none, else "".
QString ElementText(const pugi::xml_node& el, std::string_view sName, bool mandatory);

// The text of a mandatory element found already, as the document holds it (untrimmed): a
// missing element or one whose trimmed text is empty raises the missing-field error naming sName.
const char* ElementUtf8(const pugi::xml_node& el, std::string_view sName);

// A mandatory number held by an element found already, read straight from the document's
// UTF-8 text: a missing or empty text raises the missing-field error naming sName, a text that
// is no number the conversion error of StanForDStrToInt.
int32_t ElementInt(const pugi::xml_node& el, std::string_view sName);

// UTF-8 text without the characters up to the blank at either end, as StanForDTrim trims.
std::string_view TrimmedUtf8(std::string_view text);

// StanForDStrToInt of UTF-8 text, trimmed as every value is, read where it lies.
int32_t Utf8TextToInt(const char* text);

// A number read straight from UTF-8 text, trimmed as every value is: the same value and the
// same conversion error as StanForDStrToInt of the text. Empty text (after trimming) gives
// nothing.
std::optional<int32_t> Utf8ToInt(const char* text);

// The trimmed text of the first child element of that name when it holds text (its only child
// node is one text node); otherwise raises the missing-field error when mandatory, else "".
QString ReadNodeText(const pugi::xml_node& node, std::string_view sName, bool mandatory, bool matchLocalName);

// "true"/"false" in any letter case from ReadNodeText; anything else raises.
bool ReadNodeBool(const pugi::xml_node& node, std::string_view sName, bool mandatory, bool matchLocalName);

// True when the text is a whole 64-bit integer.
bool IsIntegerText(const QString& sText);

// Decimal text to float: "." is the separator when the text holds one, else ",".
double StrToFloatAnySep(const QString& sText);

// Removes characters up to the blank from both ends, as the readers trim every value.
QString StanForDTrim(const QString& s);

// A decimal 32-bit integer: leading blanks and a sign allowed; anything else raises the
// conversion error.
int32_t StanForDStrToInt(const QString& sText);
