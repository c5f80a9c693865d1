// The attribute readers, through an element's attribute map and through the element itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Weather/XmlAttributes.h"
#include "ce/xmldom.h"

namespace {

class XmlAttributes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                   document_.OutVoid()),
                  S_OK);
    }
    void TearDown() override {
        map_.Reset();
        element_.Reset();
        document_.Reset();
        CoUninitialize();
    }

    // One element e with the values as attributes v0, v1 ...
    void Load(const std::vector<std::u16string>& values) {
        std::u16string xml = u"<e";
        for (size_t i = 0; i < values.size(); ++i) {
            const std::string number = std::to_string(i);
            xml += u" v" + std::u16string(number.begin(), number.end()) + u"=\"" + values[i] + u"\"";
        }
        ce::Bstr text((xml + u"/>").c_str());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_EQ(document_->loadXML(text.Get(), &loaded), S_OK);
        ce::ComRef<IXMLDOMNodeList> elements;
        ce::Bstr tag(u"e");
        ASSERT_EQ(document_->getElementsByTagName(tag.Get(), elements.Out()), S_OK);
        ce::ComRef<IXMLDOMNode> node;
        ASSERT_EQ(elements->get_item(0, node.Out()), S_OK);
        ASSERT_EQ(node->QueryInterface(IID_IXMLDOMElement, element_.OutVoid()), S_OK);
        ASSERT_EQ(node->get_attributes(map_.Out()), S_OK);
    }
    static std::u16string Name(size_t index) {
        const std::string number = std::to_string(index);
        return u"v" + std::u16string(number.begin(), number.end());
    }

    ce::ComRef<IXMLDOMDocument> document_;
    ce::ComRef<IXMLDOMElement> element_;
    ce::ComRef<IXMLDOMNamedNodeMap> map_;
};

}  // namespace

// Numbers the server sends are read without _wtoi; every other form must still read as _wtoi reads it,
// the same way through the map and the element, and a missing or empty one gives the fallback.
TEST_F(XmlAttributes, NumbersReadAsWtoiReadsThemThroughTheMapAndTheElement) {
    const std::vector<std::u16string> values = {
        u"0",          u"7",           u"-0",         u"-12",        u"123456789",   u"-123456789",
        u"1234567890", u"-2147483648", u"2147483647", u"2147483648", u"99999999999", u"+5",
        u" 42",        u"12.5",        u"3.4e9",      u"007",        u"0x10",        u"-",
        u"--1",        u"12a",         u"a12",        u"\u0661",     u"1 2"};
    Load(values);
    for (size_t i = 0; i < values.size(); ++i) {
        const std::u16string name = Name(i);
        const int expected = _wtoi(values[i].c_str());
        EXPECT_EQ(GetXmlAttributeInt(map_.Get(), name.c_str(), -77), expected) << ce::ToUtf8(values[i]);
        EXPECT_EQ(GetXmlAttributeInt(element_.Get(), name.c_str(), -77), expected) << ce::ToUtf8(values[i]);
    }
    Load({u""});
    EXPECT_EQ(GetXmlAttributeInt(element_.Get(), u"v0", -77), -77);
    EXPECT_EQ(GetXmlAttributeInt(element_.Get(), u"missing", -77), -77);
    EXPECT_EQ(GetXmlAttributeInt(static_cast<IXMLDOMElement*>(nullptr), u"v0", -77), -77);
    EXPECT_FLOAT_EQ(GetXmlAttributeFloat(element_.Get(), u"v0", -1.0f), -1.0f);
}

// Texts are cut to the readers' buffers alike through both ways.
TEST_F(XmlAttributes, TextsAreCutAlikeThroughTheMapAndTheElement) {
    const std::u16string longText(300, u'x');
    Load({u"NNE", u"", longText, u"30.25"});
    for (size_t i = 0; i < 3; ++i) {
        const std::u16string name = Name(i);
        WCHAR fromMap[8] = {};
        WCHAR fromElement[8] = {};
        EXPECT_TRUE(GetXmlAttributeString(map_.Get(), name.c_str(), fromMap, 8));
        EXPECT_TRUE(GetXmlAttributeString(element_.Get(), name.c_str(), fromElement, 8));
        EXPECT_EQ(std::u16string(fromMap), std::u16string(fromElement));
        EXPECT_EQ(GetXmlAttributeText(map_.Get(), name.c_str()), GetXmlAttributeText(element_.Get(), name.c_str()));
    }
    EXPECT_EQ(GetXmlAttributeText(element_.Get(), u"v2")->size(), 259u);
    EXPECT_FALSE(GetXmlAttributeText(element_.Get(), u"v9").has_value());
    WCHAR buffer[4];
    EXPECT_FALSE(GetXmlAttributeString(element_.Get(), u"v9", buffer, 4));
    EXPECT_FLOAT_EQ(GetXmlAttributeFloat(element_.Get(), u"v3", -1.0f), 30.25f);
    EXPECT_FLOAT_EQ(GetXmlAttributeFloat(map_.Get(), u"v3", -1.0f), 30.25f);
}
