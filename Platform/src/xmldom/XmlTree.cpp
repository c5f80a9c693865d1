#include "xmldom/XmlTree.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <string>

namespace ce::detail {

namespace {

// No network, no DTD loading, no entity substitution beyond the predefined ones: the text is outside
// input. The text arrives as UTF-16 and is handed over as UTF-8, so a declared encoding is ignored.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS |
                              XML_PARSE_IGNORE_ENC;

std::u16string FromXmlText(const xmlChar* text) {
    if (text == nullptr) {
        return {};
    }
    return ce::FromUtf8(reinterpret_cast<const char*>(text));
}

BSTR ToBstr(const std::u16string& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// Whether the node's qualified name ("prefix:name" or "name") is the UTF-8 text. Look-ups compare the
// bytes libxml2 keeps instead of converting every name they pass: the forecast's elements carry about
// a hundred attributes each.
bool HasQualifiedName(xmlNodePtr node, std::string_view name) {
    const std::string_view local = reinterpret_cast<const char*>(node->name);
    if (node->ns == nullptr || node->ns->prefix == nullptr) {
        return name == local;
    }
    const std::string_view prefix = reinterpret_cast<const char*>(node->ns->prefix);
    return name.size() == prefix.size() + 1 + local.size() && name.starts_with(prefix) &&
           name[prefix.size()] == ':' && name.ends_with(local);
}

void CollectElements(xmlNodePtr parent, const std::string& name, std::vector<xmlNodePtr>& out) {
    for (xmlNodePtr child = parent->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (name == "*" || HasQualifiedName(child, name)) {
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
    if (utf8.size() > static_cast<size_t>(INT_MAX)) {
        return nullptr;
    }
    xmlDocPtr document =
        xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", kParseOptions);
    if (document == nullptr) {
        return nullptr;
    }
    if (xmlDocGetRootElement(document) == nullptr) {
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

BSTR ToBstr(const xmlChar* text) { return ToBstr(FromXmlText(text)); }

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
    case XML_PI_NODE: {
        xmlChar* content = xmlNodeGetContent(node);
        value->vt = VT_BSTR;
        value->bstrVal = ToBstr(content != nullptr ? content : reinterpret_cast<const xmlChar*>(""));
        xmlFree(content);
        return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    default:
        value->vt = VT_NULL;
        return S_FALSE;
    }
}

HRESULT NodeText(xmlNodePtr node, BSTR* text) {
    if (text == nullptr) {
        return E_POINTER;
    }
    xmlChar* content = xmlNodeGetContent(node);
    *text = ToBstr(content != nullptr ? content : reinterpret_cast<const xmlChar*>(""));
    xmlFree(content);
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

xmlNodePtr FindAttribute(xmlNodePtr element, BSTR name) {
    const std::string wanted = ce::ToUtf8(name);
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        auto* node = reinterpret_cast<xmlNodePtr>(attribute);
        if (HasQualifiedName(node, wanted)) {
            return node;
        }
    }
    return nullptr;
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
