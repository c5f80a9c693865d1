#include "Weather/COnlineUpdateCatalog.h"

#include "Weather/XmlAttributes.h"

namespace {

// The byte-order mark that a UTF-8 reply may begin with.
constexpr BYTE kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

std::u16string NodeName(IXMLDOMNode* node) {
    ce::Bstr name;
    return node->get_nodeName(name.Out()) == S_OK ? std::u16string(name.View()) : std::u16string();
}

bool IsElementNamed(IXMLDOMNode* node, LPCWSTR name) {
    DOMNodeType type = NODE_INVALID;
    return node->get_nodeType(&type) == S_OK && type == NODE_ELEMENT && _wcsicmp(NodeName(node).c_str(), name) == 0;
}

// Calls visit for each child node; stops and fails when a visit fails.
template <class Visit>
bool ForEachChild(IXMLDOMNode* parent, Visit visit) {
    ce::ComRef<IXMLDOMNodeList> children;
    LONG count = 0;
    if (parent->get_childNodes(children.Out()) != S_OK || !children || children->get_length(&count) != S_OK) {
        return false;
    }
    for (LONG index = 0; index < count; ++index) {
        ce::ComRef<IXMLDOMNode> child;
        if (children->get_item(index, child.Out()) != S_OK || !child || !visit(child.Get())) {
            return false;
        }
    }
    return true;
}

ce::ComRef<IXMLDOMNamedNodeMap> AttributesOf(IXMLDOMNode* element) {
    ce::ComRef<IXMLDOMNamedNodeMap> attributes;
    element->get_attributes(attributes.Out());
    return attributes;
}

// A whole decimal number that fits 32 bits; a size that wrapped around would pass the free-space check.
bool ParseSize(const std::u16string& text, DWORD* size) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    unsigned long long value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    if (value > 0xFFFFFFFFull) {
        return false;
    }
    *size = static_cast<DWORD>(value);
    return true;
}

}  // namespace

const CProductInfo* COnlineUpdateCatalog::GetProduct(int index) const {
    return index >= 0 && index < GetCount() ? &m_products[static_cast<size_t>(index)] : nullptr;
}

bool COnlineUpdateCatalog::LoadFromReply(const BYTE* bytes, DWORD size) {
    m_products.clear();
    if (bytes == nullptr) {
        return false;
    }
    DWORD start = size >= sizeof kUtf8Mark && bytes[0] == kUtf8Mark[0] && bytes[1] == kUtf8Mark[1] &&
                          bytes[2] == kUtf8Mark[2]
                      ? sizeof kUtf8Mark
                      : 0;
    DWORD end = start;
    while (end < size && bytes[end] != 0) {
        ++end;
    }
    std::u16string text = ce::FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes) + start, end - start));
    return Load(text.c_str());
}

bool COnlineUpdateCatalog::Load(LPCWSTR text) {
    m_products.clear();
    if (text == nullptr) {
        return false;
    }
    ce::ComRef<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                document.OutVoid()))) {
        return false;
    }
    ce::Bstr xml(text);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ce::ComRef<IXMLDOMNodeList> catalogs;
    ce::ComRef<IXMLDOMNode> catalog;
    ce::Bstr dataName(u"data");
    if (document->loadXML(xml.Get(), &loaded) != S_OK || loaded != VARIANT_TRUE ||
        document->getElementsByTagName(dataName.Get(), catalogs.Out()) != S_OK || !catalogs ||
        catalogs->get_item(0, catalog.Out()) != S_OK || !catalog) {
        return false;
    }
    std::vector<CProductInfo> products;
    bool read = ForEachChild(catalog.Get(), [&](IXMLDOMNode* child) {
        if (!IsElementNamed(child, u"product")) {
            return true;
        }
        CProductInfo product;
        if (!ReadProduct(child, &product)) {
            return false;
        }
        products.push_back(std::move(product));
        return true;
    });
    if (!read) {
        return false;
    }
    m_products = std::move(products);
    return true;
}

bool COnlineUpdateCatalog::ReadProduct(IXMLDOMNode* element, CProductInfo* product) {
    ce::ComRef<IXMLDOMNamedNodeMap> attributes = AttributesOf(element);
    std::optional<std::u16string> version = GetXmlAttributeText(attributes.Get(), u"version");
    std::optional<std::u16string> url = GetXmlAttributeText(attributes.Get(), u"url");
    std::optional<std::u16string> size = GetXmlAttributeText(attributes.Get(), u"size");
    std::optional<std::u16string> paid = GetXmlAttributeText(attributes.Get(), u"is_update_paid");
    DWORD bytes = 0;
    if (!version || !url || !size || !paid || !ParseSize(*size, &bytes)) {
        return false;
    }
    product->SetVersion(version->c_str());
    product->SetUrl(url->c_str());
    product->SetSize(bytes);
    product->SetPaid(_wcsicmp(paid->c_str(), u"true") == 0);
    return ForEachChild(element, [&](IXMLDOMNode* child) {
        return !IsElementNamed(child, u"strings") || ReadStrings(child, product);
    });
}

bool COnlineUpdateCatalog::ReadStrings(IXMLDOMNode* element, CProductInfo* product) {
    std::optional<std::u16string> locale = GetXmlAttributeText(AttributesOf(element).Get(), u"locale");
    if (!locale) {
        return false;
    }
    static const struct {
        LPCWSTR name;
        CProductInfo::TextKind kind;
    } kLongTexts[] = {{u"description", CProductInfo::kDescription},
                      {u"changes", CProductInfo::kChanges},
                      {u"conditions", CProductInfo::kConditions}};
    return ForEachChild(element, [&](IXMLDOMNode* child) {
        if (IsElementNamed(child, u"name")) {
            std::optional<std::u16string> name = GetXmlAttributeText(AttributesOf(child).Get(), u"text");
            return name && product->SetName(locale->c_str(), name->c_str());
        }
        for (const auto& text : kLongTexts) {
            if (IsElementNamed(child, text.name)) {
                ce::Bstr markup;
                std::u16string content;
                return child->get_xml(markup.Out()) == S_OK && ElementContent(markup.View(), &content) &&
                       product->SetText(text.kind, locale->c_str(), content.c_str());
            }
        }
        return true;
    });
}

bool COnlineUpdateCatalog::ElementContent(std::u16string_view markup, std::u16string* content) {
    size_t open = markup.find(u'>');
    size_t close = markup.rfind(u'<');
    if (open == std::u16string_view::npos || close == std::u16string_view::npos || close <= open) {
        return false;
    }
    std::u16string_view inner = markup.substr(open + 1, close - open - 1);
    content->clear();
    for (size_t at = 0; at < inner.size(); ++at) {
        if (inner[at] != u'&') {
            content->push_back(inner[at]);
            continue;
        }
        size_t end = inner.find(u';', at);
        if (end == std::u16string_view::npos) {
            content->append(inner.substr(at));
            break;
        }
        std::u16string_view entity = inner.substr(at, end - at + 1);
        if (entity == u"&lt;") {
            content->push_back(u'<');
        } else if (entity == u"&gt;") {
            content->push_back(u'>');
        }
        at = end;
    }
    return true;
}
