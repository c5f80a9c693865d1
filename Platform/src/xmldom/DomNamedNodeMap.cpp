// The attributes of one element, by name or by position.
#include <algorithm>
#include <atomic>
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
        *item = HandOut(attribute);
        return S_OK;
    }

private:
    struct HashedPosition {
        uint32_t hash;
        uint32_t position;
        auto operator<=>(const HashedPosition&) const = default;
    };

    static constexpr size_t kIndexedFrom = 16;

    // A small element's attributes are passed over from the one after the last found, round to it:
    // callers tend to read them in the order they are written, so the first one tried is mostly the
    // one asked for. The qualified names of an element's attributes differ in well-formed XML, so the
    // node found is the one a pass from the first attribute would find.
    xmlNodePtr Find(const XmlName& name) const {
        if (byHash_.empty()) {
            const std::vector<xmlNodePtr>& nodes = Nodes();
            const size_t count = nodes.size();
            size_t position = nextTried_.load(std::memory_order_relaxed);
            for (size_t tried = 0; tried < count; ++tried, ++position) {
                position = position < count ? position : 0;
                if (name.Names(nodes[position])) {
                    nextTried_.store(position + 1, std::memory_order_relaxed);
                    return nodes[position];
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
    // Where the next look-up of a small element starts; a hint only, shared by the map's callers.
    mutable std::atomic<size_t> nextTried_{0};
};

}  // namespace

IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element) {
    return new DomNamedNodeMap(tree, element);
}

}  // namespace ce::detail
