#include "Weather/XmlAttributes.h"

namespace {

std::optional<std::u16string> ReadValue(IXMLDOMNamedNodeMap* attributes, LPCWSTR name) {
    if (attributes == nullptr || name == nullptr) {
        return std::nullopt;
    }
    ce::Bstr attributeName(name);
    ce::ComRef<IXMLDOMNode> attribute;
    if (attributes->getNamedItem(attributeName.Get(), attribute.Out()) != S_OK || !attribute) {
        return std::nullopt;
    }
    VARIANT value;
    VariantInit(&value);
    if (FAILED(attribute->get_nodeValue(&value)) || value.vt != VT_BSTR) {
        VariantClear(&value);
        return std::nullopt;
    }
    std::u16string text(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

}  // namespace

bool GetXmlAttributeString(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, LPWSTR buffer, int length) {
    if (buffer == nullptr || length <= 0) {
        return false;
    }
    std::optional<std::u16string> value = ReadValue(attributes, name);
    if (!value) {
        return false;
    }
    lstrcpynW(buffer, value->c_str(), length);
    return true;
}

std::optional<std::u16string> GetXmlAttributeText(IXMLDOMNamedNodeMap* attributes, LPCWSTR name) {
    std::optional<std::u16string> value = ReadValue(attributes, name);
    if (value && value->size() >= static_cast<size_t>(kXmlAttributeBufferLength)) {
        value->resize(kXmlAttributeBufferLength - 1);
    }
    return value;
}

int GetXmlAttributeInt(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, int missing) {
    WCHAR text[kXmlAttributeBufferLength];
    if (!GetXmlAttributeString(attributes, name, text, kXmlAttributeBufferLength) || text[0] == 0) {
        return missing;
    }
    return _wtoi(text);
}

float GetXmlAttributeFloat(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, float missing) {
    WCHAR text[kXmlAttributeBufferLength];
    // An empty value is missing too: 0.0 would pass for a real reading.
    if (!GetXmlAttributeString(attributes, name, text, kXmlAttributeBufferLength) || text[0] == 0) {
        return missing;
    }
    return static_cast<float>(_wtof(text));
}
