// A parsed libxml2 document shared by the DOM objects that point into it, and the node operations
// that the document and its nodes have in common.
#pragma once

#include <libxml/tree.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ce/xmldom.h"

namespace ce::detail {

class XmlTree {
public:
    // The tree of the text, or null when it is not well-formed XML.
    static std::shared_ptr<XmlTree> Parse(std::u16string_view text);
    // The same for bytes in the encoding that their byte-order mark or declaration names (UTF-8 without).
    static std::shared_ptr<XmlTree> ParseBytes(std::string_view bytes);
    // A document without content.
    static std::shared_ptr<XmlTree> Empty();

    ~XmlTree();
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    xmlDocPtr Document() const { return document_; }

private:
    explicit XmlTree(xmlDocPtr document) : document_(document) {}
    static std::shared_ptr<XmlTree> Read(std::string_view bytes, const char* encoding, int options);
    xmlDocPtr document_;
};

using XmlTreePtr = std::shared_ptr<XmlTree>;

BSTR ToBstr(const xmlChar* text);
// The qualified name as the DOM reports it ("#text" and the like for unnamed nodes).
std::u16string NodeName(xmlNodePtr node);
// The same as a BSTR; element and attribute names without a prefix go there without a copy between.
BSTR NodeNameBstr(xmlNodePtr node);
HRESULT NodeValue(xmlNodePtr node, VARIANT* value);
HRESULT NodeText(xmlNodePtr node, BSTR* text);
HRESULT NodeMarkup(xmlNodePtr node, BSTR* xml);
HRESULT ChildNodes(const XmlTreePtr& tree, xmlNodePtr node, IXMLDOMNodeList** children);
// A name asked for by a caller, compared with the UTF-8 that libxml2 keeps names in: an ASCII name (all
// the usual ones) unit by unit as it is, in one pass that also finds its end; others converted once.
class XmlName {
public:
    explicit XmlName(BSTR name) : wide_(name) {}
    XmlName(const XmlName&) = delete;
    XmlName& operator=(const XmlName&) = delete;

    // Equal to QualifiedNameHash of every node that Names.
    uint32_t Hash() const;
    // Whether the node's qualified name ("prefix:name" or "name") is this name.
    bool Names(xmlNodePtr node) const;

private:
    bool IsAscii() const;
    const std::string& Converted() const;

    enum class Ascii { kUnknown, kYes, kNo };

    const OLECHAR* wide_;
    // Found out when first needed: most look-ups match at the first attribute they try.
    mutable Ascii ascii_ = Ascii::kUnknown;
    mutable std::string converted_;
    mutable bool isConverted_ = false;
};

inline constexpr uint32_t kNameHashSeed = 2166136261u;
uint32_t QualifiedNameHash(xmlNodePtr node);

// The element's first attribute of that qualified name; null when it has none. The search starts at
// from (one of the element's attributes, or null for its first) and goes round to it: callers that
// read an element's attributes in the order they are written pass the one after the last found.
xmlNodePtr FindAttribute(xmlNodePtr element, BSTR name, xmlAttrPtr from = nullptr);
// Elements below node (not node itself) named name, or every element for "*", in document order.
HRESULT ElementsByTagName(const XmlTreePtr& tree, xmlNodePtr node, BSTR name, IXMLDOMNodeList** elements);

IXMLDOMNode* NewDomNode(const XmlTreePtr& tree, xmlNodePtr node);
// Makes a node object of NewDomNode stand for another node of its tree: only while nobody but the
// caller holds it, so that no holder sees its node change.
void PointDomNodeAt(IXMLDOMNode* node, xmlNodePtr target);
IXMLDOMNodeList* NewDomNodeList(const XmlTreePtr& tree, std::vector<xmlNodePtr> nodes);
IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element);

}  // namespace ce::detail
