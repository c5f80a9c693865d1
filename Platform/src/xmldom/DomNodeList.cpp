// A fixed list of nodes: children of a node or the result of a search by tag name.
#include "com/ComObject.h"
#include "xmldom/XmlTree.h"

namespace ce::detail {

namespace {

class DomNodeList final : public ComObject<IXMLDOMNodeList> {
public:
    DomNodeList(XmlTreePtr tree, std::vector<xmlNodePtr> nodes) : tree_(std::move(tree)), nodes_(std::move(nodes)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IXMLDOMNodeList) {
            *object = static_cast<IXMLDOMNodeList*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP get_item(LONG index, IXMLDOMNode** item) override {
        if (item == nullptr) {
            return E_POINTER;
        }
        if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) {
            *item = nullptr;
            return S_FALSE;
        }
        *item = NewDomNode(tree_, nodes_[static_cast<size_t>(index)]);
        return S_OK;
    }

    STDMETHODIMP get_length(LONG* length) override {
        if (length == nullptr) {
            return E_POINTER;
        }
        *length = static_cast<LONG>(nodes_.size());
        return S_OK;
    }

private:
    XmlTreePtr tree_;
    std::vector<xmlNodePtr> nodes_;
};

}  // namespace

IXMLDOMNodeList* NewDomNodeList(const XmlTreePtr& tree, std::vector<xmlNodePtr> nodes) {
    return new DomNodeList(tree, std::move(nodes));
}

}  // namespace ce::detail
