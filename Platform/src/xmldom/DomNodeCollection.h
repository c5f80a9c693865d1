// The part that node lists and attribute maps share: a fixed sequence of nodes of one tree, read by
// position, behind the one interface that the collection implements.
#pragma once

#include <atomic>
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
        *item = HandOut(nodes_[static_cast<size_t>(index)]);
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

    ~DomNodeCollection() override {
        if (IXMLDOMNode* spare = spare_.load(std::memory_order_acquire)) {
            spare->Release();
        }
    }

    // A node object for one of the collection's nodes. The collection's first one is kept and handed
    // out again whenever its last caller has released it: a reader takes and releases about a thousand
    // attribute nodes a forecast, one at a time. The collection holds a reference of its own, so a
    // count of 2 after taking one more means that nobody else holds the object, and no holder sees its
    // node change. Only one of callers racing for it gets that count.
    IXMLDOMNode* HandOut(xmlNodePtr node) {
        IXMLDOMNode* spare = spare_.load(std::memory_order_acquire);
        if (spare != nullptr) {
            if (spare->AddRef() == 2) {
                PointDomNodeAt(spare, node);
                return spare;
            }
            spare->Release();
        }
        IXMLDOMNode* handed = NewDomNode(tree_, node);
        if (spare == nullptr) {
            // The collection's reference is taken before others can see the object.
            handed->AddRef();
            IXMLDOMNode* none = nullptr;
            if (!spare_.compare_exchange_strong(none, handed)) {
                handed->Release();
            }
        }
        return handed;
    }

    const XmlTreePtr& Tree() const { return tree_; }
    const std::vector<xmlNodePtr>& Nodes() const { return nodes_; }

private:
    XmlTreePtr tree_;
    std::vector<xmlNodePtr> nodes_;
    // Set once, by the first hand-out.
    std::atomic<IXMLDOMNode*> spare_{nullptr};
};

}  // namespace ce::detail
