#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Platform/TempDevice.h"
#include "ce/registry.h"
#include "ce/xmldom.h"
#include "fixtures/ComTestServer.h"

namespace {

TEST(Com, CreationNeedsAnInitialisedProcessAndAKnownClass) {
    ce::ComRef<IXMLDOMDocument> document;
    EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                               document.OutVoid()),
              CO_E_NOTINITIALIZED);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();

    GUID unknown{};
    ASSERT_EQ(CLSIDFromString(u"{12345678-9ABC-DEF0-1234-56789ABCDEF0}", &unknown), S_OK);
    ce::ComRef<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.OutVoid()),
              REGDB_E_CLASSNOTREG);
    ce::ComRef<IXMLDOMNodeList> wrongInterface;
    EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMNodeList,
                               wrongInterface.OutVoid()),
              E_NOINTERFACE);
    CoUninitialize();
}

TEST(Com, GuidTextRoundTripsAndRejectsMalformedText) {
    OLECHAR text[39];
    ASSERT_EQ(StringFromGUID2(CLSID_DOMDocument, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{2933BF90-7B36-11D2-B20E-00C04F983E60}");
    GUID back{};
    ASSERT_EQ(CLSIDFromString(u"{2933bf90-7b36-11d2-b20e-00c04f983e60}", &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(back, CLSID_DOMDocument));
    EXPECT_EQ(StringFromGUID2(CLSID_DOMDocument, text, 38), 0);
    for (const char16_t* bad : {u"2933BF90-7B36-11D2-B20E-00C04F983E60", u"{2933BF90-7B36-11D2-B20E-00C04F983E6G}",
                                u"{2933BF90-7B36-11D2-B20E-00C04F983E600}", u""}) {
        EXPECT_EQ(CLSIDFromString(bad, &back), CO_E_CLASSSTRING);
    }
}

TEST(Com, BstrKeepsItsLengthAndTerminator) {
    BSTR text = SysAllocStringLen(u"ab\0cd", 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(text[5], 0);
    SysFreeString(text);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

// Short BSTRs take blocks that a thread keeps when they are freed: lengths on both sides of the
// short ones, freed in another order than allocated and on other threads, keep their lengths and
// texts; a thread that ends with blocks kept gives them back (the leak check sees it).
TEST(Com, BstrsOfEveryLengthSurviveAnyOrderOfFreeingAcrossThreads) {
    auto textOf = [](size_t length, size_t seed) {
        std::u16string text(length, u'a');
        for (size_t i = 0; i < length; ++i) {
            text[i] = static_cast<char16_t>(u'a' + (i + seed) % 26);
        }
        return text;
    };
    auto allocate = [&](std::vector<BSTR>& texts, size_t seed) {
        for (size_t length = 0; length < 40; ++length) {
            const std::u16string text = textOf(length, seed);
            texts.push_back(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
        }
    };
    auto check = [&](const std::vector<BSTR>& texts, size_t seed) {
        for (size_t length = 0; length < texts.size(); ++length) {
            ASSERT_NE(texts[length], nullptr);
            ASSERT_EQ(SysStringLen(texts[length]), length);
            EXPECT_EQ(std::u16string(texts[length]), textOf(length, seed));
        }
    };
    std::vector<BSTR> mine;
    for (size_t round = 0; round < 3; ++round) {
        allocate(mine, round);
        check(mine, round);
        // Every other one first, then the rest backwards: the kept blocks come back in a new order.
        for (size_t i = 0; i < mine.size(); i += 2) {
            SysFreeString(mine[i]);
        }
        for (size_t i = mine.size(); i-- > 0;) {
            if (i % 2 == 1) {
                SysFreeString(mine[i]);
            }
        }
        mine.clear();
    }
    std::vector<BSTR> theirs;
    std::thread([&] { allocate(theirs, 7); }).join();
    check(theirs, 7);
    std::thread([&] {
        allocate(mine, 9);
        for (BSTR text : theirs) {
            SysFreeString(text);
        }
    }).join();
    check(mine, 9);
    for (BSTR text : mine) {
        SysFreeString(text);
    }
}

TEST(Com, CreatesObjectsOfARegisteredInprocServer) {
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Windows"));
    std::filesystem::create_symlink(CE_TEST_COM_SERVER, device.Fs("Windows/NumberServer.dll"));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\{6B0C1A52-3F4E-4D21-9A77-0C5D2E8F1B34}\\InprocServer32", 0,
                              nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char16_t path[] = u"\\Windows\\NumberServer.dll";
    ASSERT_EQ(RegSetValueExW(key, u"", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof(path)), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ce::ComRef<ITestNumber> number;
    ASSERT_EQ(CoCreateInstance(CLSID_TestNumber, nullptr, CLSCTX_INPROC_SERVER, IID_ITestNumber, number.OutVoid()), S_OK);
    EXPECT_EQ(number->Number(), 42);
    ce::ComRef<IClassFactory> factory;
    EXPECT_EQ(CoGetClassObject(CLSID_TestNumber, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.OutVoid()),
              S_OK);

    // A registration whose file is gone.
    std::filesystem::remove(device.Fs("Windows/NumberServer.dll"));
    GUID other = CLSID_TestNumber;
    other.Data1 = 0x11111111;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\{11111111-3F4E-4D21-9A77-0C5D2E8F1B34}\\InprocServer32", 0,
                              nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char16_t missing[] = u"\\Windows\\Missing.dll";
    RegSetValueExW(key, u"", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), sizeof(missing));
    RegCloseKey(key);
    ce::ComRef<IUnknown> none;
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, none.OutVoid()), CO_E_DLLNOTFOUND);
    number.Reset();
    factory.Reset();
    CoUninitialize();
}

}  // namespace
