#include "xmldom/XmlTree.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include "xmldom/EntityExpansion.h"

namespace ce::detail {

namespace {

// No network, no DTD loading, no entity substitution beyond the predefined ones: the text is outside
// input.
// The trees are never changed after parsing, so short texts may be kept inside their nodes (compact).
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT;
// Text that arrives as UTF-16 is handed over as UTF-8, so a declared encoding is ignored.
constexpr int kTextParseOptions = kParseOptions | XML_PARSE_IGNORE_ENC;

std::u16string FromXmlText(const xmlChar* text) {
    if (text == nullptr) {
        return {};
    }
    return ce::FromUtf8(reinterpret_cast<const char*>(text));
}

BSTR ToBstr(const std::u16string& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// Attribute values and names are mostly ASCII: those widen straight into the BSTR, in the one pass
// that finds whether they are; others are converted.
BSTR Utf8ToBstr(std::string_view text) {
    if (text.size() > UINT_MAX / 2) {
        return ToBstr(ce::FromUtf8(text));
    }
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (result == nullptr) {
        return nullptr;
    }
    unsigned char seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        seen |= static_cast<unsigned char>(text[i]);
        result[i] = static_cast<OLECHAR>(text[i]);
    }
    if (seen < 0x80) {
        return result;
    }
    SysFreeString(result);
    return ToBstr(ce::FromUtf8(text));
}

// The text of a text-like node, or of an attribute whose value is one text node, lies in the tree as
// it is; other content is gathered by libxml2 into a copy.
template <class Use>
auto WithContent(xmlNodePtr node, Use use) {
    xmlNodePtr text = node;
    if (node->type == XML_ATTRIBUTE_NODE) {
        text = node->children != nullptr && node->children->next == nullptr ? node->children : nullptr;
    }
    if (text != nullptr && text->content != nullptr &&
        (text->type == XML_TEXT_NODE || text->type == XML_CDATA_SECTION_NODE ||
         text->type == XML_COMMENT_NODE || text->type == XML_PI_NODE)) {
        return use(reinterpret_cast<const char*>(text->content));
    }
    xmlChar* content = xmlNodeGetContent(node);
    auto result = use(content != nullptr ? reinterpret_cast<const char*>(content) : "");
    xmlFree(content);
    return result;
}

// Whether the terminated UTF-8 text is name. strncmp stops at the text's terminator, so no length of
// the text is taken first; a name holds no 0 byte.
bool IsText(const char* text, std::string_view name) {
    return std::strncmp(text, name.data(), name.size()) == 0 && text[name.size()] == 0;
}

// Where the terminated wide name goes on after the terminated UTF-8 text, or null when it does not
// start with the text as ASCII. One pass, no length taken first.
const OLECHAR* AfterText(const char* text, const OLECHAR* name) {
    for (; *text != 0; ++text, ++name) {
        const auto byte = static_cast<unsigned char>(*text);
        if (byte >= 0x80 || byte != *name) {
            return nullptr;
        }
    }
    return name;
}

// Bytes from 1 to 127 only: they read alike in every encoding that keeps ASCII as it is. Eight bytes
// are tested at a time: a document is tens of kilobytes.
bool IsSevenBitWithoutNul(std::string_view bytes) {
    constexpr uint64_t kLowBits = 0x0101010101010101ull;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= bytes.size(); i += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        // A high bit set, or a byte 0 (the only byte whose decrement borrows into its high bit).
        if ((word & kHighBits) != 0 || ((word - kLowBits) & ~word & kHighBits) != 0) {
            return false;
        }
    }
    for (; i < bytes.size(); ++i) {
        if (bytes[i] == 0 || static_cast<unsigned char>(bytes[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The encoding that the text's declaration names, or empty when it names none.
std::string_view DeclaredEncoding(std::string_view bytes) {
    if (!bytes.starts_with("<?xml")) {
        return {};
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    at = declaration.find_first_not_of(" \t\r\n=", at + 8);
    if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\'')) {
        return {};
    }
    const size_t end = declaration.find(declaration[at], at + 1);
    return end == std::string_view::npos ? std::string_view{} : declaration.substr(at + 1, end - at - 1);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Whether 7-bit bytes read as UTF-8 give what the declared encoding gives: no encoding (UTF-8), or one
// of the usual ones that keep ASCII as it is. Others (UTF-7, EBCDIC, names libxml2 may not know) are
// left to libxml2.
bool ReadsSevenBitAsUtf8(std::string_view bytes) {
    const std::string_view encoding = DeclaredEncoding(bytes);
    if (encoding.empty()) {
        return true;
    }
    for (std::string_view keeping : {"UTF-8", "UTF8", "US-ASCII", "ASCII", "ISO-8859-", "ISO8859-", "ISO_8859-",
                                     "LATIN", "WINDOWS-125", "CP125"}) {
        if (StartsWithIgnoringCase(encoding, keeping)) {
            return true;
        }
    }
    return false;
}

// Whether the node's qualified name ("prefix:name" or "name") is the UTF-8 name. Look-ups compare the
// bytes libxml2 keeps instead of converting every name they pass: the forecast's elements carry about
// a hundred attributes each.
bool HasQualifiedName(xmlNodePtr node, std::string_view name) {
    const char* local = reinterpret_cast<const char*>(node->name);
    if (node->ns == nullptr || node->ns->prefix == nullptr) {
        return IsText(local, name);
    }
    const char* prefix = reinterpret_cast<const char*>(node->ns->prefix);
    const size_t colon = std::char_traits<char>::length(prefix);
    return name.size() > colon && name[colon] == ':' && IsText(prefix, name.substr(0, colon)) &&
           IsText(local, name.substr(colon + 1));
}

// The same for a terminated wide name of ASCII characters, which UTF-8 keeps as they are.
bool HasQualifiedName(xmlNodePtr node, const OLECHAR* name) {
    if (node->ns != nullptr && node->ns->prefix != nullptr) {
        name = AfterText(reinterpret_cast<const char*>(node->ns->prefix), name);
        if (name == nullptr || *name != u':') {
            return false;
        }
        ++name;
    }
    name = AfterText(reinterpret_cast<const char*>(node->name), name);
    return name != nullptr && *name == 0;
}

uint32_t HashBytes(uint32_t hash, std::string_view bytes) {
    for (char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

void CollectElements(xmlNodePtr parent, const std::string& name, std::vector<xmlNodePtr>& out) {
    for (xmlNodePtr child = parent->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (name == "*" || HasQualifiedName(child, std::string_view(name))) {
            out.push_back(child);
        }
        CollectElements(child, name, out);
    }
}

// Empty elements are written with an end tag: "<a/>" and "<a></a>" are the same element, and callers
// that cut an element's content out of its markup find it between the tags either way.
std::string DumpNode(xmlNodePtr node) {
    xmlBufferPtr buffer = xmlBufferCreate();
    if (buffer == nullptr) {
        return {};
    }
    std::string result;
    xmlSaveCtxtPtr context = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_NO_EMPTY | XML_SAVE_NO_DECL);
    if (context != nullptr) {
        bool saved = xmlSaveTree(context, node) >= 0;
        if (xmlSaveClose(context) >= 0 && saved) {
            result.assign(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
        }
    }
    xmlBufferFree(buffer);
    return result;
}

}  // namespace

std::shared_ptr<XmlTree> XmlTree::Parse(std::u16string_view text) {
    std::string utf8 = ce::ToUtf8(text);
    return Read(utf8, "UTF-8", kTextParseOptions);
}

std::shared_ptr<XmlTree> XmlTree::ParseBytes(std::string_view bytes) {
    // Text in 7-bit characters skips libxml2's conversion from the declared encoding into UTF-8.
    if (IsSevenBitWithoutNul(bytes) && ReadsSevenBitAsUtf8(bytes)) {
        return Read(bytes, "UTF-8", kTextParseOptions);
    }
    return Read(bytes, nullptr, kParseOptions);
}

std::shared_ptr<XmlTree> XmlTree::Read(std::string_view bytes, const char* encoding, int options) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        return nullptr;
    }
    xmlDocPtr document =
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding, options);
    if (document == nullptr) {
        return nullptr;
    }
    if (xmlDocGetRootElement(document) == nullptr || !EntityExpansion::IsBounded(document, bytes.size())) {
        xmlFreeDoc(document);
        return nullptr;
    }
    return std::shared_ptr<XmlTree>(new XmlTree(document));
}

std::shared_ptr<XmlTree> XmlTree::Empty() {
    return std::shared_ptr<XmlTree>(new XmlTree(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))));
}

XmlTree::~XmlTree() {
    if (document_ != nullptr) {
        xmlFreeDoc(document_);
    }
}

BSTR ToBstr(const xmlChar* text) {
    return Utf8ToBstr(text != nullptr ? reinterpret_cast<const char*>(text) : "");
}

std::u16string NodeName(xmlNodePtr node) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_ATTRIBUTE_NODE: {
            std::u16string name = FromXmlText(node->name);
            if (node->ns != nullptr && node->ns->prefix != nullptr) {
                name = FromXmlText(node->ns->prefix) + u":" + name;
            }
            return name;
        }
        case XML_TEXT_NODE:
            return u"#text";
        case XML_CDATA_SECTION_NODE:
            return u"#cdata-section";
        case XML_COMMENT_NODE:
            return u"#comment";
        case XML_DOCUMENT_NODE:
            return u"#document";
        case XML_DOCUMENT_FRAG_NODE:
            return u"#document-fragment";
        default:
            return FromXmlText(node->name);
    }
}

BSTR NodeNameBstr(xmlNodePtr node) {
    const bool ownName = node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE;
    if (ownName && node->name != nullptr && (node->ns == nullptr || node->ns->prefix == nullptr)) {
        return Utf8ToBstr(reinterpret_cast<const char*>(node->name));
    }
    return ToBstr(NodeName(node));
}

HRESULT NodeValue(xmlNodePtr node, VARIANT* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    VariantInit(value);
    switch (node->type) {
        case XML_ATTRIBUTE_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            value->vt = VT_BSTR;
            value->bstrVal = WithContent(node, [](const char* content) { return Utf8ToBstr(content); });
            return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
        default:
            value->vt = VT_NULL;
            return S_FALSE;
    }
}

HRESULT NodeText(xmlNodePtr node, BSTR* text) {
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = WithContent(node, [](const char* content) { return Utf8ToBstr(content); });
    return *text != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT NodeMarkup(xmlNodePtr node, BSTR* xml) {
    if (xml == nullptr) {
        return E_POINTER;
    }
    std::string markup;
    if (node->type == XML_DOCUMENT_NODE) {
        for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
            markup += DumpNode(child);
            markup += "\r\n";
        }
    } else {
        markup = DumpNode(node);
    }
    *xml = ToBstr(ce::FromUtf8(markup));
    return *xml != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ChildNodes(const XmlTreePtr& tree, xmlNodePtr node, IXMLDOMNodeList** children) {
    if (children == nullptr) {
        return E_POINTER;
    }
    std::vector<xmlNodePtr> nodes;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        nodes.push_back(child);
    }
    *children = NewDomNodeList(tree, std::move(nodes));
    return S_OK;
}

bool XmlName::IsAscii() const {
    if (ascii_ == Ascii::kUnknown) {
        ascii_ = Ascii::kYes;
        for (const OLECHAR* unit = wide_; *unit != 0; ++unit) {
            if (*unit >= 0x80) {
                ascii_ = Ascii::kNo;
                break;
            }
        }
    }
    return ascii_ == Ascii::kYes;
}

const std::string& XmlName::Converted() const {
    if (!isConverted_) {
        converted_ = ce::ToUtf8(wide_);
        isConverted_ = true;
    }
    return converted_;
}

uint32_t XmlName::Hash() const {
    uint32_t hash = kNameHashSeed;
    for (const OLECHAR* unit = wide_; *unit != 0; ++unit) {
        if (*unit >= 0x80) {
            return HashBytes(kNameHashSeed, Converted());
        }
        hash = (hash ^ *unit) * 16777619u;
    }
    return hash;
}

// The comparison as ASCII finds every match of an ASCII name; a name that fails it may hold other
// characters, and is then compared converted.
bool XmlName::Names(xmlNodePtr node) const {
    if (HasQualifiedName(node, wide_)) {
        return true;
    }
    return !IsAscii() && HasQualifiedName(node, std::string_view(Converted()));
}

uint32_t QualifiedNameHash(xmlNodePtr node) {
    uint32_t hash = kNameHashSeed;
    if (node->ns != nullptr && node->ns->prefix != nullptr) {
        hash = HashBytes(hash, std::string_view(reinterpret_cast<const char*>(node->ns->prefix)));
        hash = HashBytes(hash, std::string_view(":"));
    }
    return HashBytes(hash, std::string_view(reinterpret_cast<const char*>(node->name)));
}

// The qualified names of an element's attributes differ in well-formed XML, so the node found from any
// start is the one a search from the first attribute would find.
xmlNodePtr FindAttribute(xmlNodePtr element, BSTR name, xmlAttrPtr from) {
    const XmlName wanted(name);
    const xmlAttrPtr start = from != nullptr ? from : element->properties;
    const auto find = [&wanted](xmlAttrPtr first, xmlAttrPtr end) -> xmlNodePtr {
        for (xmlAttrPtr attribute = first; attribute != end; attribute = attribute->next) {
            auto* node = reinterpret_cast<xmlNodePtr>(attribute);
            if (wanted.Names(node)) {
                return node;
            }
        }
        return nullptr;
    };
    xmlNodePtr found = find(start, nullptr);
    return found != nullptr ? found : find(element->properties, start);
}

HRESULT ElementsByTagName(const XmlTreePtr& tree, xmlNodePtr node, BSTR name, IXMLDOMNodeList** elements) {
    if (elements == nullptr) {
        return E_POINTER;
    }
    *elements = nullptr;
    if (name == nullptr) {
        return E_INVALIDARG;
    }
    std::vector<xmlNodePtr> found;
    CollectElements(node, ce::ToUtf8(name), found);
    *elements = NewDomNodeList(tree, std::move(found));
    return S_OK;
}

}  // namespace ce::detail
