#include "Weather/XmlAttributes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// An attribute name as a BSTR on the stack: the map only reads the name it is given, and the readers
// ask for hundreds of names a forecast. A name too long for the buffer goes to the heap.
class NameBstr {
public:
    explicit NameBstr(LPCWSTR name) {
        const size_t length = std::char_traits<OLECHAR>::length(name);
        if (length >= kCapacity) {
            heap_ = SysAllocStringLen(name, static_cast<UINT>(length));
            return;
        }
        std::memcpy(block_.text, name, (length + 1) * sizeof(OLECHAR));
        block_.byteLength = static_cast<uint32_t>(length * sizeof(OLECHAR));
    }
    ~NameBstr() { SysFreeString(heap_); }
    NameBstr(const NameBstr&) = delete;
    NameBstr& operator=(const NameBstr&) = delete;

    BSTR Get() { return heap_ != nullptr ? heap_ : block_.text; }

private:
    static constexpr size_t kCapacity = 62;
    // The byte length right before the text, as a BSTR keeps it.
    struct Block {
        uint32_t byteLength;
        OLECHAR text[kCapacity];
    };
    static_assert(offsetof(Block, text) == sizeof(uint32_t));
    Block block_;
    BSTR heap_ = nullptr;
};

// The attribute's value as the DOM hands it out, or null when the attribute is missing.
class AttributeValue {
public:
    AttributeValue(IXMLDOMNamedNodeMap* attributes, LPCWSTR name) {
        VariantInit(&value_);
        if (attributes == nullptr || name == nullptr) {
            return;
        }
        NameBstr attributeName(name);
        ce::ComRef<IXMLDOMNode> attribute;
        if (attributes->getNamedItem(attributeName.Get(), attribute.Out()) != S_OK || !attribute ||
            FAILED(attribute->get_nodeValue(&value_))) {
            VariantClear(&value_);
        }
        KeepOnlyText();
    }
    // The element hands the value out in one call, without an attribute node between.
    AttributeValue(IXMLDOMElement* element, LPCWSTR name) {
        VariantInit(&value_);
        if (element == nullptr || name == nullptr) {
            return;
        }
        NameBstr attributeName(name);
        if (element->getAttribute(attributeName.Get(), &value_) != S_OK) {
            VariantClear(&value_);
        }
        KeepOnlyText();
    }
    ~AttributeValue() { VariantClear(&value_); }
    AttributeValue(const AttributeValue&) = delete;
    AttributeValue& operator=(const AttributeValue&) = delete;

    bool IsPresent() const { return value_.vt == VT_BSTR; }
    std::u16string_view Text() const {
        return IsPresent() ? std::u16string_view(value_.bstrVal, SysStringLen(value_.bstrVal)) : u"";
    }
    // The text cut to length - 1 characters and a terminator.
    void CopyTo(LPWSTR buffer, int length) const {
        std::u16string_view text = Text();
        size_t count = std::min(text.size(), static_cast<size_t>(length - 1));
        text.copy(buffer, count);
        buffer[count] = 0;
    }

    // Calls read with the text cut as the readers' buffers cut it, terminated: the value itself when it
    // is short enough (a BSTR ends with a terminator), else a copy.
    template <class Read>
    auto ReadCut(Read read) const {
        if (Text().size() < static_cast<size_t>(kXmlAttributeBufferLength)) {
            return read(static_cast<LPCWSTR>(value_.bstrVal));
        }
        WCHAR text[kXmlAttributeBufferLength];
        CopyTo(text, kXmlAttributeBufferLength);
        return read(static_cast<LPCWSTR>(text));
    }

private:
    void KeepOnlyText() {
        if (value_.vt != VT_BSTR) {
            VariantClear(&value_);
        }
    }

    VARIANT value_;
};

// A number of a sign and at most nine digits, what the server sends, read as _wtoi reads it: without
// the call and its blanks, bases and clamping. Anything else is left to _wtoi.
std::optional<int> ReadPlainInt(std::u16string_view text) {
    const bool negative = !text.empty() && text.front() == u'-';
    const std::u16string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char16_t digit : digits) {
        if (digit < u'0' || digit > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (digit - u'0');
    }
    return negative ? -value : value;
}

template <class Source>
bool ReadString(Source* source, LPCWSTR name, LPWSTR buffer, int length) {
    if (buffer == nullptr || length <= 0) {
        return false;
    }
    AttributeValue value(source, name);
    if (!value.IsPresent()) {
        return false;
    }
    value.CopyTo(buffer, length);
    return true;
}

template <class Source>
std::optional<std::u16string> ReadText(Source* source, LPCWSTR name) {
    AttributeValue value(source, name);
    if (!value.IsPresent()) {
        return std::nullopt;
    }
    return std::u16string(value.Text().substr(0, kXmlAttributeBufferLength - 1));
}

template <class Source>
int ReadInt(Source* source, LPCWSTR name, int missing) {
    AttributeValue value(source, name);
    if (!value.IsPresent() || value.Text().empty()) {
        return missing;
    }
    if (std::optional<int> plain = ReadPlainInt(value.Text())) {
        return *plain;
    }
    return value.ReadCut([](LPCWSTR text) { return _wtoi(text); });
}

template <class Source>
float ReadFloat(Source* source, LPCWSTR name, float missing) {
    AttributeValue value(source, name);
    // An empty value is missing too: 0.0 would pass for a real reading.
    if (!value.IsPresent() || value.Text().empty()) {
        return missing;
    }
    return value.ReadCut([](LPCWSTR text) { return static_cast<float>(_wtof(text)); });
}

}  // namespace

bool GetXmlAttributeString(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, LPWSTR buffer, int length) {
    return ReadString(attributes, name, buffer, length);
}
bool GetXmlAttributeString(IXMLDOMElement* element, LPCWSTR name, LPWSTR buffer, int length) {
    return ReadString(element, name, buffer, length);
}

std::optional<std::u16string> GetXmlAttributeText(IXMLDOMNamedNodeMap* attributes, LPCWSTR name) {
    return ReadText(attributes, name);
}
std::optional<std::u16string> GetXmlAttributeText(IXMLDOMElement* element, LPCWSTR name) {
    return ReadText(element, name);
}

int GetXmlAttributeInt(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, int missing) {
    return ReadInt(attributes, name, missing);
}
int GetXmlAttributeInt(IXMLDOMElement* element, LPCWSTR name, int missing) {
    return ReadInt(element, name, missing);
}

float GetXmlAttributeFloat(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, float missing) {
    return ReadFloat(attributes, name, missing);
}
float GetXmlAttributeFloat(IXMLDOMElement* element, LPCWSTR name, float missing) {
    return ReadFloat(element, name, missing);
}
