// A node of a loaded document: an element, attribute, text, comment or processing instruction.
#include <atomic>

#include "com/ComObject.h"
#include "xmldom/XmlTree.h"

namespace ce::detail {

namespace {

class DomNode final : public ComObject<IXMLDOMElement> {
public:
    DomNode(XmlTreePtr tree, xmlNodePtr node) : tree_(std::move(tree)), node_(node) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        bool element = node_->type == XML_ELEMENT_NODE;
        if (iid == IID_IUnknown || iid == IID_IXMLDOMNode || (element && iid == IID_IXMLDOMElement)) {
            *object = static_cast<IXMLDOMElement*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP get_nodeName(BSTR* name) override {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = NodeNameBstr(node_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    STDMETHODIMP get_nodeValue(VARIANT* value) override { return NodeValue(node_, value); }

    STDMETHODIMP get_nodeType(DOMNodeType* type) override {
        if (type == nullptr) {
            return E_POINTER;
        }
        int kind = node_->type;
        *type = kind >= NODE_ELEMENT && kind <= NODE_NOTATION ? static_cast<DOMNodeType>(kind)
                : kind == XML_DTD_NODE                        ? NODE_DOCUMENT_TYPE
                                                              : NODE_INVALID;
        return S_OK;
    }

    STDMETHODIMP get_childNodes(IXMLDOMNodeList** children) override { return ChildNodes(tree_, node_, children); }

    STDMETHODIMP get_attributes(IXMLDOMNamedNodeMap** attributes) override {
        if (attributes == nullptr) {
            return E_POINTER;
        }
        if (node_->type != XML_ELEMENT_NODE) {
            *attributes = nullptr;
            return S_FALSE;
        }
        *attributes = NewDomNamedNodeMap(tree_, node_);
        return S_OK;
    }

    STDMETHODIMP get_text(BSTR* text) override { return NodeText(node_, text); }

    STDMETHODIMP get_xml(BSTR* xml) override { return NodeMarkup(node_, xml); }

    STDMETHODIMP get_tagName(BSTR* name) override { return get_nodeName(name); }

    STDMETHODIMP getAttribute(BSTR name, VARIANT* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        VariantInit(value);
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        if (xmlNodePtr attribute = FindAttribute(node_, name, nextTried_.load(std::memory_order_relaxed))) {
            nextTried_.store(reinterpret_cast<xmlAttrPtr>(attribute)->next, std::memory_order_relaxed);
            return NodeValue(attribute, value);
        }
        value->vt = VT_NULL;
        return S_FALSE;
    }

    STDMETHODIMP getElementsByTagName(BSTR name, IXMLDOMNodeList** elements) override {
        return ElementsByTagName(tree_, node_, name, elements);
    }

    void PointAt(xmlNodePtr node) {
        node_ = node;
        nextTried_.store(nullptr, std::memory_order_relaxed);
    }

private:
    XmlTreePtr tree_;
    xmlNodePtr node_;
    // Where getAttribute starts looking: the attribute after the last one found, or null for the first.
    // A hint only, shared by the node's callers; callers mostly read attributes in document order.
    std::atomic<xmlAttrPtr> nextTried_{nullptr};
};

}  // namespace

void PointDomNodeAt(IXMLDOMNode* node, xmlNodePtr target) {
    static_cast<DomNode*>(static_cast<IXMLDOMElement*>(node))->PointAt(target);
}

IXMLDOMNode* NewDomNode(const XmlTreePtr& tree, xmlNodePtr node) {
    return static_cast<IXMLDOMElement*>(new DomNode(tree, node));
}

}  // namespace ce::detail
