// The part that node lists and attribute maps share: a fixed sequence of nodes of one tree, read by
// position, behind the one interface that the collection implements.
#pragma once

#include <utility>
#include <vector>

#include "com/ComObject.h"
#include "xmldom/XmlTree.h"

namespace ce::detail {

template <class Interface, const IID& InterfaceId>
class DomNodeCollection : public ComObject<Interface> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == InterfaceId) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
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

protected:
    DomNodeCollection(XmlTreePtr tree, std::vector<xmlNodePtr> nodes)
        : tree_(std::move(tree)), nodes_(std::move(nodes)) {}

    const XmlTreePtr& Tree() const { return tree_; }
    const std::vector<xmlNodePtr>& Nodes() const { return nodes_; }

private:
    XmlTreePtr tree_;
    std::vector<xmlNodePtr> nodes_;
};

}  // namespace ce::detail
