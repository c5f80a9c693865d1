// The DOM document class and its class factory.
#include <libxml/parser.h>

#include "com/BuiltinClasses.h"
#include "com/ComObject.h"
#include "xmldom/XmlTree.h"

namespace ce::detail {

namespace {

class DomDocument final : public ComObject<IXMLDOMDocument> {
public:
    DomDocument() : tree_(XmlTree::Empty()) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IXMLDOMNode || iid == IID_IXMLDOMDocument) {
            *object = static_cast<IXMLDOMDocument*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP loadXML(BSTR xml, VARIANT_BOOL* success) override {
        return Replace(xml != nullptr ? XmlTree::Parse(std::u16string_view(xml, SysStringLen(xml))) : nullptr,
                       success);
    }

    STDMETHODIMP load(VARIANT source, VARIANT_BOOL* success) override {
        if (success != nullptr) {
            *success = VARIANT_FALSE;
        }
        if (source.vt != (VT_ARRAY | VT_UI1) || source.parray == nullptr || source.parray->cDims != 1) {
            return E_INVALIDARG;
        }
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(source.parray, &data))) {
            return E_INVALIDARG;
        }
        std::string_view bytes(static_cast<const char*>(data), source.parray->rgsabound[0].cElements);
        XmlTreePtr parsed = XmlTree::ParseBytes(bytes);
        SafeArrayUnaccessData(source.parray);
        return Replace(std::move(parsed), success);
    }

    STDMETHODIMP get_documentElement(IXMLDOMElement** element) override {
        if (element == nullptr) {
            return E_POINTER;
        }
        *element = nullptr;
        xmlNodePtr root = xmlDocGetRootElement(tree_->Document());
        if (root == nullptr) {
            return S_FALSE;
        }
        IXMLDOMNode* node = NewDomNode(tree_, root);
        HRESULT result = node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element));
        node->Release();
        return result;
    }

    STDMETHODIMP getElementsByTagName(BSTR name, IXMLDOMNodeList** elements) override {
        return ElementsByTagName(tree_, DocumentNode(), name, elements);
    }

    STDMETHODIMP get_nodeName(BSTR* name) override {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = SysAllocString(u"#document");
        return S_OK;
    }

    STDMETHODIMP get_nodeValue(VARIANT* value) override { return NodeValue(DocumentNode(), value); }

    STDMETHODIMP get_nodeType(DOMNodeType* type) override {
        if (type == nullptr) {
            return E_POINTER;
        }
        *type = NODE_DOCUMENT;
        return S_OK;
    }

    STDMETHODIMP get_childNodes(IXMLDOMNodeList** children) override {
        return ChildNodes(tree_, DocumentNode(), children);
    }

    STDMETHODIMP get_attributes(IXMLDOMNamedNodeMap** attributes) override {
        if (attributes == nullptr) {
            return E_POINTER;
        }
        *attributes = nullptr;
        return S_FALSE;
    }

    STDMETHODIMP get_text(BSTR* text) override { return NodeText(DocumentNode(), text); }

    STDMETHODIMP get_xml(BSTR* xml) override { return NodeMarkup(DocumentNode(), xml); }

private:
    // A failed load leaves an empty document, as on the device.
    HRESULT Replace(XmlTreePtr parsed, VARIANT_BOOL* success) {
        const bool loaded = parsed != nullptr;
        tree_ = loaded ? std::move(parsed) : XmlTree::Empty();
        if (success != nullptr) {
            *success = loaded ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return loaded ? S_OK : S_FALSE;
    }

    xmlNodePtr DocumentNode() const { return reinterpret_cast<xmlNodePtr>(tree_->Document()); }

    XmlTreePtr tree_;
};

class DomDocumentFactory final : public ComObject<IClassFactory> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* document = new DomDocument();
        HRESULT result = document->QueryInterface(iid, object);
        document->Release();
        return result;
    }

    STDMETHODIMP LockServer(BOOL /*lock*/) override { return S_OK; }
};

}  // namespace

IClassFactory* NewDomDocumentFactory() {
    return new DomDocumentFactory();
}

}  // namespace ce::detail
