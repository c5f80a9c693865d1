// The XML DOM subset of the device platform: a document created through COM (CLSID_DOMDocument) that
// loads text, finds elements by tag name and exposes nodes, their names, values, attributes, children
// and markup. Whitespace-only text between elements is not kept (the platform's default).
//
// As on the device: a look-up that finds nothing returns S_FALSE with a null result (get_item,
// getNamedItem) or a VT_NULL value (getAttribute, the value of an element); loadXML of malformed text
// returns S_FALSE with VARIANT_FALSE.
#pragma once

#include "ce/com.h"

inline constexpr CLSID CLSID_DOMDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMNode = {
    0x2933BF80, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMDocument = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMNodeList = {
    0x2933BF82, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMNamedNodeMap = {
    0x2933BF83, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMElement = {
    0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

typedef enum tagDOMNodeType {
    NODE_INVALID = 0,
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_CDATA_SECTION = 4,
    NODE_ENTITY_REFERENCE = 5,
    NODE_ENTITY = 6,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
    NODE_DOCUMENT_TYPE = 10,
    NODE_DOCUMENT_FRAGMENT = 11,
    NODE_NOTATION = 12
} DOMNodeType;

struct IXMLDOMNodeList;
struct IXMLDOMNamedNodeMap;

struct IXMLDOMNode : IUnknown {
    // "#text", "#comment", "#document", "#cdata-section" for the nodes without a name of their own.
    STDMETHOD(get_nodeName)(BSTR* name) = 0;
    // A BSTR for attributes, text, comments and CDATA; VT_NULL (and S_FALSE) for elements and documents.
    STDMETHOD(get_nodeValue)(VARIANT* value) = 0;
    STDMETHOD(get_nodeType)(DOMNodeType* type) = 0;
    STDMETHOD(get_childNodes)(IXMLDOMNodeList** children) = 0;
    // The attributes of an element; S_FALSE and null for other nodes.
    STDMETHOD(get_attributes)(IXMLDOMNamedNodeMap** attributes) = 0;
    // The text content of the node and all its descendants.
    STDMETHOD(get_text)(BSTR* text) = 0;
    // The node's markup as XML text.
    STDMETHOD(get_xml)(BSTR* xml) = 0;

protected:
    ~IXMLDOMNode() = default;
};

struct IXMLDOMNodeList : IUnknown {
    STDMETHOD(get_item)(LONG index, IXMLDOMNode** item) = 0;
    STDMETHOD(get_length)(LONG* length) = 0;

protected:
    ~IXMLDOMNodeList() = default;
};

struct IXMLDOMNamedNodeMap : IUnknown {
    // Names are matched exactly.
    STDMETHOD(getNamedItem)(BSTR name, IXMLDOMNode** item) = 0;
    STDMETHOD(get_item)(LONG index, IXMLDOMNode** item) = 0;
    STDMETHOD(get_length)(LONG* length) = 0;

protected:
    ~IXMLDOMNamedNodeMap() = default;
};

struct IXMLDOMElement : IXMLDOMNode {
    STDMETHOD(get_tagName)(BSTR* name) = 0;
    STDMETHOD(getAttribute)(BSTR name, VARIANT* value) = 0;
    // Descendant elements of that name in document order; "*" matches every element.
    STDMETHOD(getElementsByTagName)(BSTR name, IXMLDOMNodeList** elements) = 0;

protected:
    ~IXMLDOMElement() = default;
};

struct IXMLDOMDocument : IXMLDOMNode {
    // Replaces the document's content with the parsed text; the nodes handed out before stay valid.
    STDMETHOD(loadXML)(BSTR xml, VARIANT_BOOL* success) = 0;
    // Loads the document from its bytes, given as a VT_ARRAY | VT_UI1 value: their encoding is the one
    // that a byte-order mark or the XML declaration names, UTF-8 without either. The other sources
    // of the device's DOM (file names, URLs, streams) are not offered: E_INVALIDARG. Malformed bytes
    // give S_FALSE with VARIANT_FALSE and an empty document, as loadXML does.
    STDMETHOD(load)(VARIANT source, VARIANT_BOOL* success) = 0;
    STDMETHOD(get_documentElement)(IXMLDOMElement** element) = 0;
    STDMETHOD(getElementsByTagName)(BSTR name, IXMLDOMNodeList** elements) = 0;

protected:
    ~IXMLDOMDocument() = default;
};
