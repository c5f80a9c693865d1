#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ce/xmldom.h"

namespace {

class XmlDom : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                   document.OutVoid()),
                  S_OK);
    }
    void TearDown() override {
        document.Reset();
        CoUninitialize();
    }

    bool Load(const char16_t* text) {
        ce::Bstr xml(text);
        VARIANT_BOOL ok = VARIANT_FALSE;
        HRESULT result = document->loadXML(xml.Get(), &ok);
        return result == S_OK && ok == VARIANT_TRUE;
    }

    bool LoadBytes(const std::string& bytes, HRESULT expected = S_OK) {
        VARIANT source;
        VariantInit(&source);
        source.vt = VT_ARRAY | VT_UI1;
        source.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
        void* data = nullptr;
        EXPECT_EQ(SafeArrayAccessData(source.parray, &data), S_OK);
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
        SafeArrayUnaccessData(source.parray);
        VARIANT_BOOL ok = VARIANT_TRUE;
        HRESULT result = document->load(source, &ok);
        EXPECT_EQ(result, expected) << bytes;
        EXPECT_EQ(VariantClear(&source), S_OK);
        return result == S_OK && ok == VARIANT_TRUE;
    }

    ce::ComRef<IXMLDOMNode> First(const char16_t* tag) {
        ce::ComRef<IXMLDOMNodeList> list;
        ce::Bstr name(tag);
        EXPECT_EQ(document->getElementsByTagName(name.Get(), list.Out()), S_OK);
        ce::ComRef<IXMLDOMNode> node;
        list->get_item(0, node.Out());
        return node;
    }

    static std::u16string Attribute(IXMLDOMNode* element, const char16_t* attribute) {
        ce::ComRef<IXMLDOMNamedNodeMap> map;
        EXPECT_EQ(element->get_attributes(map.Out()), S_OK);
        ce::ComRef<IXMLDOMNode> item;
        ce::Bstr name(attribute);
        if (map->getNamedItem(name.Get(), item.Out()) != S_OK) {
            return u"<missing>";
        }
        VARIANT value;
        EXPECT_EQ(item->get_nodeValue(&value), S_OK);
        EXPECT_EQ(value.vt, VT_BSTR);
        std::u16string text(value.bstrVal, SysStringLen(value.bstrVal));
        VariantClear(&value);
        return text;
    }

    static std::u16string Name(IXMLDOMNode* node) {
        ce::Bstr name;
        EXPECT_EQ(node->get_nodeName(name.Out()), S_OK);
        return std::u16string(name.View());
    }

    ce::ComRef<IXMLDOMDocument> document;
};

TEST_F(XmlDom, FindsElementsByTagNameInDocumentOrderAndReadsTheirAttributes) {
    ASSERT_TRUE(Load(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                     u"<root><FORECAST LOCATIONID=\"DEXX0001\" DAY1HITMPF=\"\" NAME=\"K\u00f6ln &amp; mehr\"/>"
                     u"<inner><FORECAST LOCATIONID=\"second\"/></inner></root>"));
    ce::ComRef<IXMLDOMNodeList> list;
    ce::Bstr tag(u"FORECAST");
    ASSERT_EQ(document->getElementsByTagName(tag.Get(), list.Out()), S_OK);
    LONG length = 0;
    ASSERT_EQ(list->get_length(&length), S_OK);
    EXPECT_EQ(length, 2);

    ce::ComRef<IXMLDOMNode> first;
    ASSERT_EQ(list->get_item(0, first.Out()), S_OK);
    EXPECT_EQ(Attribute(first.Get(), u"LOCATIONID"), u"DEXX0001");
    EXPECT_EQ(Attribute(first.Get(), u"DAY1HITMPF"), u"") << "present but empty is not missing";
    EXPECT_EQ(Attribute(first.Get(), u"NAME"), u"K\u00f6ln & mehr") << "declared encoding is ignored";
    EXPECT_EQ(Attribute(first.Get(), u"locationid"), u"<missing>") << "names match exactly";

    ce::ComRef<IXMLDOMNode> past;
    EXPECT_EQ(list->get_item(2, past.Out()), S_FALSE);
    EXPECT_FALSE(past);
    EXPECT_EQ(list->get_item(-1, past.Out()), S_FALSE);

    ce::ComRef<IXMLDOMElement> element;
    ASSERT_EQ(first->QueryInterface(IID_IXMLDOMElement, element.OutVoid()), S_OK);
    VARIANT value;
    ce::Bstr missing(u"nothing");
    EXPECT_EQ(element->getAttribute(missing.Get(), &value), S_FALSE);
    EXPECT_EQ(value.vt, VT_NULL);
}

// Names are compared as libxml2 keeps them (prefix, colon, local name), non-ASCII ones too.
TEST_F(XmlDom, AttributesAndElementsAreFoundByTheirQualifiedNamesOnly) {
    ASSERT_TRUE(Load(u"<root xmlns:x=\"urn:x\"><x:pic x:href=\"#a\" href=\"#b\" x:hr=\"#c\" \u00e9t\u00e9=\"summer\"/>"
                     u"<pic/></root>"));
    ce::ComRef<IXMLDOMNode> prefixed = First(u"x:pic");
    ASSERT_TRUE(prefixed);
    EXPECT_EQ(Attribute(prefixed.Get(), u"x:href"), u"#a");
    EXPECT_EQ(Attribute(prefixed.Get(), u"href"), u"#b");
    EXPECT_EQ(Attribute(prefixed.Get(), u"x:hr"), u"#c");
    EXPECT_EQ(Attribute(prefixed.Get(), u"x:"), u"<missing>");
    EXPECT_EQ(Attribute(prefixed.Get(), u"xhref"), u"<missing>") << "the colon is part of the name";
    EXPECT_EQ(Attribute(prefixed.Get(), u"\u00e9t\u00e9"), u"summer");

    ce::ComRef<IXMLDOMElement> element;
    ASSERT_EQ(prefixed->QueryInterface(IID_IXMLDOMElement, element.OutVoid()), S_OK);
    VARIANT value;
    ce::Bstr name(u"x:href");
    ASSERT_EQ(element->getAttribute(name.Get(), &value), S_OK);
    EXPECT_EQ(std::u16string(value.bstrVal, SysStringLen(value.bstrVal)), u"#a");
    VariantClear(&value);

    ce::ComRef<IXMLDOMNodeList> plain;
    ce::Bstr tag(u"pic");
    ASSERT_EQ(document->getElementsByTagName(tag.Get(), plain.Out()), S_OK);
    LONG length = 0;
    ASSERT_EQ(plain->get_length(&length), S_OK);
    EXPECT_EQ(length, 1) << "x:pic is not pic";
}

TEST_F(XmlDom, ChildNodesSkipWhitespaceAndReportNamesAndValues) {
    ASSERT_TRUE(Load(u"<hc>\n  <data a=\"1\"/>\n  <DATA a=\"2\"/>\n  <!--note-->text<x/>\n</hc>"));
    ce::ComRef<IXMLDOMNode> hc = First(u"hc");
    ASSERT_TRUE(hc);
    ce::ComRef<IXMLDOMNodeList> children;
    ASSERT_EQ(hc->get_childNodes(children.Out()), S_OK);
    LONG length = 0;
    children->get_length(&length);
    ASSERT_EQ(length, 5);
    std::u16string names;
    for (LONG i = 0; i < length; ++i) {
        ce::ComRef<IXMLDOMNode> child;
        ASSERT_EQ(children->get_item(i, child.Out()), S_OK);
        names += Name(child.Get()) + u",";
    }
    EXPECT_EQ(names, u"data,DATA,#comment,#text,x,");

    ce::ComRef<IXMLDOMNode> text;
    children->get_item(3, text.Out());
    VARIANT value;
    ASSERT_EQ(text->get_nodeValue(&value), S_OK);
    EXPECT_EQ(std::u16string(value.bstrVal), u"text");
    VariantClear(&value);
    DOMNodeType type = NODE_INVALID;
    text->get_nodeType(&type);
    EXPECT_EQ(type, NODE_TEXT);
    ce::ComRef<IXMLDOMElement> notElement;
    EXPECT_EQ(text->QueryInterface(IID_IXMLDOMElement, notElement.OutVoid()), E_NOINTERFACE);

    EXPECT_EQ(hc->get_nodeValue(&value), S_FALSE) << "an element has no value";
    EXPECT_EQ(value.vt, VT_NULL);
}

TEST_F(XmlDom, ElementMarkupKeepsEscapedContentEscaped) {
    ASSERT_TRUE(Load(u"<strings><description>&lt;b&gt;New&lt;/b&gt; &amp; better</description></strings>"));
    ce::ComRef<IXMLDOMNode> description = First(u"description");
    ASSERT_TRUE(description);
    ce::Bstr xml;
    ASSERT_EQ(description->get_xml(xml.Out()), S_OK);
    EXPECT_EQ(xml.View(), u"<description>&lt;b&gt;New&lt;/b&gt; &amp; better</description>");
    ce::Bstr text;
    ASSERT_EQ(description->get_text(text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"<b>New</b> & better");

    ASSERT_TRUE(Load(u"<strings><changes/><conditions></conditions></strings>"));
    for (const char16_t* tag : {u"changes", u"conditions"}) {
        ce::ComRef<IXMLDOMNode> empty = First(tag);
        ASSERT_TRUE(empty);
        ASSERT_EQ(empty->get_xml(xml.Out()), S_OK);
        EXPECT_EQ(xml.View(), std::u16string(u"<") + tag + u"></" + tag + u">");
    }
}

TEST_F(XmlDom, MalformedTextFailsAndEmptiesTheDocumentButEarlierNodesStayUsable) {
    ASSERT_TRUE(Load(u"<data><product version=\"2\"/></data>"));
    ce::ComRef<IXMLDOMNode> product = First(u"product");
    ASSERT_TRUE(product);

    for (const char16_t* bad : {u"<data><product></data>", u"", u"no markup", u"<a/><b/>"}) {
        EXPECT_FALSE(Load(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
        ce::ComRef<IXMLDOMElement> root;
        EXPECT_EQ(document->get_documentElement(root.Out()), S_FALSE);
        EXPECT_FALSE(root);
    }
    EXPECT_EQ(Attribute(product.Get(), u"version"), u"2") << "a node keeps its own document alive";

    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(document->loadXML(nullptr, &ok), S_FALSE);
    EXPECT_EQ(ok, VARIANT_FALSE);
}

TEST_F(XmlDom, ExternalEntitiesAreNeverFetched) {
    ce::Bstr xml(u"<!DOCTYPE x [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]><x a=\"1\">[&secret;]</x>");
    VARIANT_BOOL ok = VARIANT_FALSE;
    document->loadXML(xml.Get(), &ok);
    if (ok == VARIANT_TRUE) {
        ce::ComRef<IXMLDOMNode> x = First(u"x");
        ce::Bstr text;
        x->get_text(text.Out());
        EXPECT_EQ(text.View(), u"[]");
    }
}

// A few kilobytes whose entities stand for hundreds of megabytes of text fail to load, in text, in an
// attribute and as bytes; a document whose entities stand for a little text loads with it written out.
TEST_F(XmlDom, EntitiesStandingForFarMoreTextThanTheDocumentFailToLoad) {
    const std::u16string thousand(1000, u'x');
    std::u16string declarations = u"<!DOCTYPE d [<!ENTITY k '" + thousand + u"'><!ENTITY big '";
    for (int i = 0; i < 200; ++i) {
        declarations += u"&k;";  // 200,000 characters
    }
    declarations += u"'>]>";
    std::u16string uses;
    for (int i = 0; i < 1000; ++i) {
        uses += u"&big;";
    }
    for (const std::u16string& body : {u"<d>" + uses + u"</d>", u"<d a='" + uses + u"'/>"}) {
        const std::u16string xml = declarations + body;
        ASSERT_LT(xml.size(), 10000u);
        EXPECT_FALSE(Load(xml.c_str()));
        EXPECT_FALSE(LoadBytes(std::string(xml.begin(), xml.end()), S_FALSE));
    }
    const std::u16string flat = u"<!DOCTYPE d [<!ENTITY big '" + std::u16string(200000, u'x') + u"'>]><d>" +
                                uses + uses + u"</d>";
    EXPECT_FALSE(Load(flat.c_str()));

    ASSERT_TRUE(Load((u"<!DOCTYPE d [<!ENTITY k '" + thousand + u"'>]><d a='&k;'>&k;&k;</d>").c_str()));
    ce::Bstr text;
    ASSERT_EQ(First(u"d")->get_text(text.Out()), S_OK);
    EXPECT_EQ(text.View(), thousand + thousand);
    EXPECT_EQ(Attribute(First(u"d").Get(), u"a"), thousand);
}

// Bytes name their own encoding, as a file on the device does; text through loadXML does not.
TEST_F(XmlDom, BytesAreReadInTheEncodingTheyDeclareAndUtf8WithoutADeclaration) {
    ASSERT_TRUE(LoadBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"K\xF6ln\"/>"));
    EXPECT_EQ(Attribute(First(u"a").Get(), u"v"), u"K\u00f6ln");
    ASSERT_TRUE(LoadBytes("<a v=\"K\xC3\xB6ln\"/>"));
    EXPECT_EQ(Attribute(First(u"a").Get(), u"v"), u"K\u00f6ln");
    ASSERT_TRUE(LoadBytes("\xEF\xBB\xBF<a v=\"\xE2\x82\xAC\"/>"));
    EXPECT_EQ(Attribute(First(u"a").Get(), u"v"), u"\u20ac");
    ASSERT_TRUE(LoadBytes(std::string("\xFF\xFE<\0a\0/\0>\0", 10))) << "UTF-16 with its mark";
    EXPECT_TRUE(First(u"a"));

    ASSERT_TRUE(LoadBytes("<?xml version=\"1.0\" encoding=\"UTF-7\"?><a v=\"K+APY-ln\"/>"))
        << "7-bit bytes in an encoding that does not keep ASCII as it is";
    EXPECT_EQ(Attribute(First(u"a").Get(), u"v"), u"K\u00f6ln");
    ASSERT_TRUE(LoadBytes("<?xml version='1.0' encoding='us-ascii'?><a v=\"K&#246;ln\"/>"));
    EXPECT_EQ(Attribute(First(u"a").Get(), u"v"), u"K\u00f6ln");

    EXPECT_FALSE(LoadBytes("<a v=\"K\xF6ln\"/>", S_FALSE)) << "not UTF-8, and nothing says otherwise";
    EXPECT_FALSE(LoadBytes("<?xml version=\"1.0\" encoding=\"no-such\"?><a/>", S_FALSE));
    EXPECT_FALSE(LoadBytes("", S_FALSE));
    ce::ComRef<IXMLDOMElement> root;
    EXPECT_EQ(document->get_documentElement(root.Out()), S_FALSE) << "a failed load leaves no document";

    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(u"<a/>");
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(document->load(text, &ok), E_INVALIDARG) << "file names and addresses are not offered";
    EXPECT_EQ(ok, VARIANT_FALSE);
    VariantClear(&text);
}

TEST_F(XmlDom, AnArrayInUseIsNotDestroyedAndAClearedOneIsGone) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->rgsabound[0].cElements, 4u);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    EXPECT_EQ(static_cast<unsigned char*>(data)[3], 0) << "zero-filled";
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(SafeArrayCreateVector(VT_BSTR, 0, 1), nullptr) << "only arrays of numbers";
}

// The map indexes its attributes once; every one of many is found by its own name, the first of a
// name when a prefix makes two look alike, and none that is not there.
TEST_F(XmlDom, EveryAttributeOfALargeElementIsFoundByItsName) {
    std::u16string xml = u"<r xmlns:p=\"urn:p\"><e";
    for (int i = 0; i < 300; ++i) {
        std::string number = std::to_string(i);
        xml += u" DAY" + std::u16string(number.begin(), number.end()) + u"HITMPF=\"" +
               std::u16string(number.begin(), number.end()) + u"\"";
    }
    xml += u" p:DAY1HITMPF=\"prefixed\" \u00e9=\"accent\"/></r>";
    ASSERT_TRUE(Load(xml.c_str()));
    ce::ComRef<IXMLDOMNode> element = First(u"e");
    ASSERT_TRUE(element);
    for (int i = 0; i < 300; ++i) {
        std::string number = std::to_string(i);
        std::u16string wide(number.begin(), number.end());
        ASSERT_EQ(Attribute(element.Get(), (u"DAY" + wide + u"HITMPF").c_str()), wide);
    }
    EXPECT_EQ(Attribute(element.Get(), u"p:DAY1HITMPF"), u"prefixed");
    EXPECT_EQ(Attribute(element.Get(), u"\u00e9"), u"accent");
    EXPECT_EQ(Attribute(element.Get(), u"DAY300HITMPF"), u"<missing>");
    EXPECT_EQ(Attribute(element.Get(), u""), u"<missing>");
    std::u16string longName(200, u'A');
    EXPECT_EQ(Attribute(element.Get(), longName.c_str()), u"<missing>") << "longer than any name kept on the stack";
}

// Look-ups in one small element's map start after the last one found: any order, repeats and misses
// still find each attribute by its name.
TEST_F(XmlDom, TheAttributesOfASmallElementAreFoundInAnyOrder) {
    ASSERT_TRUE(Load(u"<r><e a=\"1\" b=\"2\" c=\"3\" d=\"4\"/></r>"));
    ce::ComRef<IXMLDOMNode> element = First(u"e");
    ASSERT_TRUE(element);
    ce::ComRef<IXMLDOMNamedNodeMap> map;
    ASSERT_EQ(element->get_attributes(map.Out()), S_OK);
    const std::pair<const char16_t*, const char16_t*> asked[] = {
        {u"a", u"1"}, {u"b", u"2"}, {u"d", u"4"}, {u"c", u"3"}, {u"c", u"3"}, {u"x", nullptr},
        {u"a", u"1"}, {u"d", u"4"}, {u"b", u"2"}, {u"", nullptr},   {u"c", u"3"}};
    for (const auto& [name, value] : asked) {
        ce::ComRef<IXMLDOMNode> item;
        ce::Bstr wanted(name);
        const HRESULT found = map->getNamedItem(wanted.Get(), item.Out());
        ASSERT_EQ(found, value != nullptr ? S_OK : S_FALSE) << ce::ToUtf8(name);
        if (value != nullptr) {
            ce::Bstr text;
            ASSERT_EQ(item->get_text(text.Out()), S_OK);
            EXPECT_EQ(std::u16string(text.Get()), value) << ce::ToUtf8(name);
        }
    }
}

// getAttribute of an element starts after the attribute it found last: any order, repeats and misses
// still find each attribute by its name, also once the node object stands for another element.
TEST_F(XmlDom, AnElementsAttributesAreReadInAnyOrderAlsoWhenItsNodeObjectIsReused) {
    ASSERT_TRUE(Load(u"<r><e a=\"1\" b=\"2\" c=\"3\" d=\"4\"/><f c=\"30\" a=\"10\"/></r>"));
    ce::ComRef<IXMLDOMNode> root = First(u"r");
    ce::ComRef<IXMLDOMNodeList> children;
    ASSERT_EQ(root->get_childNodes(children.Out()), S_OK);
    auto read = [](IXMLDOMElement* element, const char16_t* name) -> std::u16string {
        ce::Bstr wanted(name);
        VARIANT value;
        const HRESULT found = element->getAttribute(wanted.Get(), &value);
        std::u16string text = found == S_OK && value.vt == VT_BSTR
                                  ? std::u16string(value.bstrVal, SysStringLen(value.bstrVal))
                                  : found == S_FALSE && value.vt == VT_NULL ? u"<missing>" : u"<failed>";
        VariantClear(&value);
        return text;
    };
    using Asked = std::pair<const char16_t*, const char16_t*>;
    const Asked inE[] = {
        {u"a", u"1"}, {u"b", u"2"}, {u"d", u"4"}, {u"c", u"3"}, {u"c", u"3"}, {u"x", u"<missing>"},
        {u"a", u"1"}, {u"d", u"4"}, {u"b", u"2"}, {u"", u"<missing>"}, {u"d", u"4"}};
    const Asked inF[] = {
        {u"a", u"10"}, {u"c", u"30"}, {u"b", u"<missing>"}, {u"d", u"<missing>"}, {u"a", u"10"}};
    for (int pass = 0; pass < 2; ++pass) {
        // The list's node object is released after each element and handed out again for the next.
        for (LONG index = 0; index < 2; ++index) {
            ce::ComRef<IXMLDOMNode> child;
            ASSERT_EQ(children->get_item(index, child.Out()), S_OK);
            ce::ComRef<IXMLDOMElement> element;
            ASSERT_EQ(child->QueryInterface(IID_IXMLDOMElement, element.OutVoid()), S_OK);
            const std::span<const Asked> asked = index == 0 ? std::span<const Asked>(inE) : std::span<const Asked>(inF);
            for (const auto& [name, value] : asked) {
                EXPECT_EQ(read(element.Get(), name), value) << ce::ToUtf8(name) << " of element " << index;
            }
        }
    }
}

// A map or node list hands its first node object out again once its callers have let go of it: nodes
// held at the same time, or kept past their map, still stand for their own nodes.
TEST_F(XmlDom, NodesHeldTogetherKeepTheirOwnNodes) {
    ASSERT_TRUE(Load(u"<r><e a=\"1\" b=\"2\" c=\"3\"/></r>"));
    ce::ComRef<IXMLDOMNode> element = First(u"e");
    ASSERT_TRUE(element);
    auto textOf = [](IXMLDOMNode* node) {
        ce::Bstr text;
        EXPECT_EQ(node->get_text(text.Out()), S_OK);
        return std::u16string(text.Get());
    };
    ce::ComRef<IXMLDOMNode> a, b, kept;
    {
        ce::ComRef<IXMLDOMNamedNodeMap> map;
        ASSERT_EQ(element->get_attributes(map.Out()), S_OK);
        ce::Bstr nameA(u"a"), nameB(u"b"), nameC(u"c");
        ASSERT_EQ(map->getNamedItem(nameA.Get(), a.Out()), S_OK);
        ASSERT_EQ(map->getNamedItem(nameB.Get(), b.Out()), S_OK);
        EXPECT_NE(a.Get(), b.Get());
        EXPECT_EQ(textOf(a.Get()), u"1");
        EXPECT_EQ(textOf(b.Get()), u"2");
        b.Reset();
        ce::ComRef<IXMLDOMNode> c;
        ASSERT_EQ(map->getNamedItem(nameC.Get(), c.Out()), S_OK);
        EXPECT_EQ(textOf(c.Get()), u"3");
        EXPECT_EQ(textOf(a.Get()), u"1") << "a node still held is never handed out again";
        kept = std::move(c);
    }
    EXPECT_EQ(textOf(kept.Get()), u"3") << "after its map is gone";
    ce::Bstr name;
    ASSERT_EQ(kept->get_nodeName(name.Out()), S_OK);
    EXPECT_EQ(std::u16string(name.Get()), u"c");

    ASSERT_TRUE(Load(u"<r><x>1</x><y>2</y></r>"));
    ce::ComRef<IXMLDOMNodeList> children;
    ASSERT_EQ(First(u"r")->get_childNodes(children.Out()), S_OK);
    ce::ComRef<IXMLDOMNode> x, y, again;
    ASSERT_EQ(children->get_item(0, x.Out()), S_OK);
    ASSERT_EQ(children->get_item(1, y.Out()), S_OK);
    EXPECT_EQ(textOf(x.Get()), u"1");
    EXPECT_EQ(textOf(y.Get()), u"2");
    x.Reset();
    ASSERT_EQ(children->get_item(1, again.Out()), S_OK);
    EXPECT_EQ(textOf(again.Get()), u"2");
    EXPECT_EQ(textOf(y.Get()), u"2");
    ce::ComRef<IXMLDOMElement> asElement;
    EXPECT_EQ(again->QueryInterface(IID_IXMLDOMElement, asElement.OutVoid()), S_OK) << "a child element";
}

// A wide name is compared by its characters, not by its units as bytes: the units C4 B7 are not the
// UTF-8 of U+0137.
TEST_F(XmlDom, ANameBeyondAsciiMatchesOnlyItsOwnCharacters) {
    ASSERT_TRUE(Load(u"<r><e \u0137=\"accent\" \u00c4\u00b7=\"two\"/><f \u0137=\"only\"/></r>"));
    EXPECT_EQ(Attribute(First(u"e").Get(), u"\u0137"), u"accent");
    EXPECT_EQ(Attribute(First(u"e").Get(), u"\u00c4\u00b7"), u"two");
    EXPECT_EQ(Attribute(First(u"f").Get(), u"\u00c4\u00b7"), u"<missing>");
    EXPECT_EQ(Attribute(First(u"f").Get(), u"\u0137"), u"only");
}

// Threads sharing one map and one list each get nodes that stand for what they asked for, whoever
// else takes and releases nodes of them at the same time.
TEST_F(XmlDom, ThreadsSharingACollectionEachReadTheirOwnNodes) {
    ASSERT_TRUE(Load(u"<r><e a=\"0\" b=\"1\" c=\"2\" d=\"3\"/><e/><e/><e/></r>"));
    ce::ComRef<IXMLDOMNamedNodeMap> map;
    ASSERT_EQ(First(u"e")->get_attributes(map.Out()), S_OK);
    ce::ComRef<IXMLDOMNodeList> children;
    ASSERT_EQ(First(u"r")->get_childNodes(children.Out()), S_OK);
    std::atomic<int> wrong{0};
    auto readRepeatedly = [&](int which) {
        const char16_t names[][2] = {u"a", u"b", u"c", u"d"};
        for (int round = 0; round < 2000; ++round) {
            ce::ComRef<IXMLDOMNode> attribute;
            ce::Bstr name(names[which]);
            ce::Bstr text;
            if (map->getNamedItem(name.Get(), attribute.Out()) != S_OK ||
                attribute->get_text(text.Out()) != S_OK || text.Get()[0] != u'0' + which) {
                ++wrong;
            }
            ce::ComRef<IXMLDOMNode> child;
            ce::ComRef<IXMLDOMNamedNodeMap> childAttributes;
            LONG count = 0;
            if (children->get_item(which, child.Out()) != S_OK ||
                child->get_attributes(childAttributes.Out()) != S_OK ||
                childAttributes->get_length(&count) != S_OK || (count == 4) != (which == 0)) {
                ++wrong;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int which = 0; which < 4; ++which) {
        threads.emplace_back(readRepeatedly, which);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
