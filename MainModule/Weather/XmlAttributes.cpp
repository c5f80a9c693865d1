#include "Weather/XmlAttributes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// An attribute name as a BSTR on the stack: the map only reads the name it is given, and the readers
// ask for hundreds of names a forecast. A name too long for the buffer goes to the heap.
class NameBstr {
public:
    // Copied as far as its terminator in one pass.
    explicit NameBstr(LPCWSTR name) {
        size_t length = 0;
        for (; name[length] != 0; ++length) {
            if (length == kCapacity - 1) {
                heap_ = SysAllocString(name);
                return;
            }
            block_.text[length] = name[length];
        }
        block_.text[length] = 0;
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
            FAILED(attribute->get_nodeValue(&value_)) || value_.vt != VT_BSTR) {
            VariantClear(&value_);
        }
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
    VARIANT value_;
};

}  // namespace

bool GetXmlAttributeString(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, LPWSTR buffer, int length) {
    if (buffer == nullptr || length <= 0) {
        return false;
    }
    AttributeValue value(attributes, name);
    if (!value.IsPresent()) {
        return false;
    }
    value.CopyTo(buffer, length);
    return true;
}

std::optional<std::u16string> GetXmlAttributeText(IXMLDOMNamedNodeMap* attributes, LPCWSTR name) {
    AttributeValue value(attributes, name);
    if (!value.IsPresent()) {
        return std::nullopt;
    }
    return std::u16string(value.Text().substr(0, kXmlAttributeBufferLength - 1));
}

int GetXmlAttributeInt(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, int missing) {
    AttributeValue value(attributes, name);
    if (!value.IsPresent() || value.Text().empty()) {
        return missing;
    }
    return value.ReadCut([](LPCWSTR text) { return _wtoi(text); });
}

float GetXmlAttributeFloat(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, float missing) {
    AttributeValue value(attributes, name);
    // An empty value is missing too: 0.0 would pass for a real reading.
    if (!value.IsPresent() || value.Text().empty()) {
        return missing;
    }
    return value.ReadCut([](LPCWSTR text) { return static_cast<float>(_wtof(text)); });
}
