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
HRESULT NodeValue(xmlNodePtr node, VARIANT* value);
HRESULT NodeText(xmlNodePtr node, BSTR* text);
HRESULT NodeMarkup(xmlNodePtr node, BSTR* xml);
HRESULT ChildNodes(const XmlTreePtr& tree, xmlNodePtr node, IXMLDOMNodeList** children);
// A name asked for by a caller, compared with the UTF-8 that libxml2 keeps names in: ASCII names (all
// the usual ones) as they are, others converted once.
class XmlName {
public:
    explicit XmlName(BSTR name);
    XmlName(const XmlName&) = delete;
    XmlName& operator=(const XmlName&) = delete;

    // Equal to QualifiedNameHash of every node that Names.
    uint32_t Hash() const;
    // Whether the node's qualified name ("prefix:name" or "name") is this name.
    bool Names(xmlNodePtr node) const;

private:
    std::u16string_view wide_;
    bool ascii_ = true;
    std::string converted_;
};

inline constexpr uint32_t kNameHashSeed = 2166136261u;
uint32_t QualifiedNameHash(xmlNodePtr node);

// The element's first attribute of that qualified name; null when it has none.
xmlNodePtr FindAttribute(xmlNodePtr element, BSTR name);
// Elements below node (not node itself) named name, or every element for "*", in document order.
HRESULT ElementsByTagName(const XmlTreePtr& tree, xmlNodePtr node, BSTR name, IXMLDOMNodeList** elements);

IXMLDOMNode* NewDomNode(const XmlTreePtr& tree, xmlNodePtr node);
IXMLDOMNodeList* NewDomNodeList(const XmlTreePtr& tree, std::vector<xmlNodePtr> nodes);
IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element);

}  // namespace ce::detail
