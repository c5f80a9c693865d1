// The attributes of one element, by name or by position.
#include "xmldom/DomNodeCollection.h"

namespace ce::detail {

namespace {

std::vector<xmlNodePtr> AttributesOf(xmlNodePtr element) {
    std::vector<xmlNodePtr> attributes;
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        attributes.push_back(reinterpret_cast<xmlNodePtr>(attribute));
    }
    return attributes;
}

class DomNamedNodeMap final : public DomNodeCollection<IXMLDOMNamedNodeMap, IID_IXMLDOMNamedNodeMap> {
public:
    DomNamedNodeMap(XmlTreePtr tree, xmlNodePtr element)
        : DomNodeCollection(std::move(tree), AttributesOf(element)), element_(element) {}

    STDMETHODIMP getNamedItem(BSTR name, IXMLDOMNode** item) override {
        if (item == nullptr) {
            return E_POINTER;
        }
        *item = nullptr;
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        xmlNodePtr attribute = FindAttribute(element_, name);
        if (attribute == nullptr) {
            return S_FALSE;
        }
        *item = NewDomNode(Tree(), attribute);
        return S_OK;
    }

private:
    xmlNodePtr element_;
};

}  // namespace

IXMLDOMNamedNodeMap* NewDomNamedNodeMap(const XmlTreePtr& tree, xmlNodePtr element) {
    return new DomNamedNodeMap(tree, element);
}

}  // namespace ce::detail
