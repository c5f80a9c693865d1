// A parsed libxml2 document shared by the DOM objects that point into it, and the node operations
// that the document and its nodes have in common.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string_view>
#include <vector>

#include "ce/xmldom.h"

namespace ce::detail {

class XmlTree {
public:
    // The tree of the text, or null when it is not well-formed XML.
    static std::shared_ptr<XmlTree> Parse(std::u16string_view text);
    // A document without content.
    static std::shared_ptr<XmlTree> Empty();

    ~XmlTree();
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    xmlDocPtr Document() const { return document_; }

private:
    explicit XmlTree(xmlDocPtr document) : document_(document) {}
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
// The element's first attribute of that qualified name; null when it has none.
xmlNodePtr FindAttribute(xmlNodePtr element, BSTR name);
// Elements below node (not node itself) named name, or every element for "*", in document order.
HRESULT ElementsByTagName(const XmlTreePtr& tree, xmlNodePtr node, BSTR name, IXMLDOMNodeList** elements);

IXMLDOMNode* NewDomNode(const XmlTreePtr& tree, xmlNodePtr node);
IXMLDOMNodeList* NewDomNodeList(const XmlTreePtr& tree, std::vector<xmlNodePtr> nodes);
IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element);

}  // namespace ce::detail
