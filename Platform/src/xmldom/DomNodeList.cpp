// A fixed list of nodes: children of a node or the result of a search by tag name.
#include "xmldom/DomNodeCollection.h"

namespace ce::detail {

namespace {

class DomNodeList final : public DomNodeCollection<IXMLDOMNodeList, IID_IXMLDOMNodeList> {
public:
    DomNodeList(XmlTreePtr tree, std::vector<xmlNodePtr> nodes) : DomNodeCollection(std::move(tree), std::move(nodes)) {}
};

}  // namespace

IXMLDOMNodeList* NewDomNodeList(const XmlTreePtr& tree, std::vector<xmlNodePtr> nodes) {
    return new DomNodeList(tree, std::move(nodes));
}

}  // namespace ce::detail
