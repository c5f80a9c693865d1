// The attributes of one element, by name or by position.
#include <algorithm>
#include <compare>

#include "xmldom/DomNodeCollection.h"

namespace ce::detail {

namespace {

std::vector<xmlNodePtr> AttributesOf(xmlNodePtr element) {
    size_t count = 0;
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        ++count;
    }
    std::vector<xmlNodePtr> attributes;
    attributes.reserve(count);
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        attributes.push_back(reinterpret_cast<xmlNodePtr>(attribute));
    }
    return attributes;
}

// A large element's attributes are indexed by the hash of their names once, when the map is made: an
// element of the forecast carries about a hundred attributes, and a caller reads most of them by name.
// A few attributes are found faster by passing over them.
class DomNamedNodeMap final : public DomNodeCollection<IXMLDOMNamedNodeMap, IID_IXMLDOMNamedNodeMap> {
public:
    DomNamedNodeMap(XmlTreePtr tree, xmlNodePtr element)
        : DomNodeCollection(std::move(tree), AttributesOf(element)) {
        if (Nodes().size() < kIndexedFrom) {
            return;
        }
        byHash_.reserve(Nodes().size());
        for (size_t position = 0; position < Nodes().size(); ++position) {
            byHash_.push_back({QualifiedNameHash(Nodes()[position]), static_cast<uint32_t>(position)});
        }
        // Equal hashes keep document order, so that the first attribute of a name is found first.
        std::sort(byHash_.begin(), byHash_.end());
    }

    STDMETHODIMP getNamedItem(BSTR name, IXMLDOMNode** item) override {
        if (item == nullptr) {
            return E_POINTER;
        }
        *item = nullptr;
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        xmlNodePtr attribute = Find(XmlName(name));
        if (attribute == nullptr) {
            return S_FALSE;
        }
        *item = NewDomNode(Tree(), attribute);
        return S_OK;
    }

private:
    struct HashedPosition {
        uint32_t hash;
        uint32_t position;
        auto operator<=>(const HashedPosition&) const = default;
    };

    static constexpr size_t kIndexedFrom = 16;

    xmlNodePtr Find(const XmlName& name) const {
        if (byHash_.empty()) {
            for (xmlNodePtr node : Nodes()) {
                if (name.Names(node)) {
                    return node;
                }
            }
            return nullptr;
        }
        const uint32_t hash = name.Hash();
        auto candidate = std::lower_bound(byHash_.begin(), byHash_.end(), HashedPosition{hash, 0});
        for (; candidate != byHash_.end() && candidate->hash == hash; ++candidate) {
            xmlNodePtr node = Nodes()[candidate->position];
            if (name.Names(node)) {
                return node;
            }
        }
        return nullptr;
    }

    std::vector<HashedPosition> byHash_;
};

}  // namespace

IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element) {
    return new DomNamedNodeMap(tree, element);
}

}  // namespace ce::detail
