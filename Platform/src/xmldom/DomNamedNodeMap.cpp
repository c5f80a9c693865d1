// The attributes of one element, by name or by position.
#include "com/ComObject.h"
#include "xmldom/XmlTree.h"

namespace ce::detail {

namespace {

class DomNamedNodeMap final : public ComObject<IXMLDOMNamedNodeMap> {
public:
    DomNamedNodeMap(XmlTreePtr tree, xmlNodePtr element) : tree_(std::move(tree)) {
        for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
            attributes_.push_back(reinterpret_cast<xmlNodePtr>(attribute));
        }
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IXMLDOMNamedNodeMap) {
            *object = static_cast<IXMLDOMNamedNodeMap*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP getNamedItem(BSTR name, IXMLDOMNode** item) override {
        if (item == nullptr) {
            return E_POINTER;
        }
        *item = nullptr;
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        for (xmlNodePtr attribute : attributes_) {
            if (NodeName(attribute) == name) {
                *item = NewDomNode(tree_, attribute);
                return S_OK;
            }
        }
        return S_FALSE;
    }

    STDMETHODIMP get_item(LONG index, IXMLDOMNode** item) override {
        if (item == nullptr) {
            return E_POINTER;
        }
        if (index < 0 || static_cast<size_t>(index) >= attributes_.size()) {
            *item = nullptr;
            return S_FALSE;
        }
        *item = NewDomNode(tree_, attributes_[static_cast<size_t>(index)]);
        return S_OK;
    }

    STDMETHODIMP get_length(LONG* length) override {
        if (length == nullptr) {
            return E_POINTER;
        }
        *length = static_cast<LONG>(attributes_.size());
        return S_OK;
    }

private:
    XmlTreePtr tree_;
    std::vector<xmlNodePtr> attributes_;
};

}  // namespace

IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element) {
    return new DomNamedNodeMap(tree, element);
}

}  // namespace ce::detail
