// Reading the installed XML files the way the program does: UTF-8 bytes, a byte-order mark skipped,
// turned into UTF-16 and loaded into the platform's XML DOM.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "SkinData.h"
#include "ce/kernel.h"
#include "ce/xmldom.h"

namespace data_test {

inline std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

inline std::u16string Utf16FromUtf8(std::string bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    if (bytes.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string text(static_cast<size_t>(std::max(length, 0)), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// A fixture that holds COM for its tests and loads XML text into a fresh DOM document.
class XmlDataTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    // The document's root element, or none when the text does not load.
    static ce::ComRef<IXMLDOMElement> LoadRoot(const std::string& utf8Text, ce::ComRef<IXMLDOMDocument>& document) {
        ce::ComRef<IXMLDOMElement> root;
        if (CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                             document.OutVoid()) != S_OK) {
            ADD_FAILURE() << "no DOM document";
            return root;
        }
        ce::Bstr xml(Utf16FromUtf8(utf8Text).c_str());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        if (document->loadXML(xml.Get(), &loaded) == S_OK && loaded == VARIANT_TRUE) {
            document->get_documentElement(root.Out());
        }
        return root;
    }

    static std::string NameOf(IXMLDOMNode* node) {
        ce::Bstr name;
        node->get_nodeName(name.Out());
        return Narrow(name.View());
    }

    static std::optional<std::string> Attribute(IXMLDOMNode* node, const char16_t* name) {
        ce::ComRef<IXMLDOMNamedNodeMap> attributes;
        ce::ComRef<IXMLDOMNode> item;
        ce::Bstr key(name);
        if (node->get_attributes(attributes.Out()) != S_OK || attributes->getNamedItem(key.Get(), item.Out()) != S_OK) {
            return std::nullopt;
        }
        VARIANT value;
        if (item->get_nodeValue(&value) != S_OK || value.vt != VT_BSTR) return std::nullopt;
        std::string text = Narrow(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal)));
        VariantClear(&value);
        return text;
    }

    // The element children of a node, in order.
    static std::vector<ce::ComRef<IXMLDOMNode>> Elements(IXMLDOMNode* node) {
        std::vector<ce::ComRef<IXMLDOMNode>> elements;
        ce::ComRef<IXMLDOMNodeList> children;
        LONG count = 0;
        if (node->get_childNodes(children.Out()) != S_OK || children->get_length(&count) != S_OK) return elements;
        for (LONG i = 0; i < count; ++i) {
            ce::ComRef<IXMLDOMNode> child;
            DOMNodeType type = NODE_INVALID;
            if (children->get_item(i, child.Out()) == S_OK && child->get_nodeType(&type) == S_OK &&
                type == NODE_ELEMENT) {
                elements.push_back(std::move(child));
            }
        }
        return elements;
    }
};

}  // namespace data_test
