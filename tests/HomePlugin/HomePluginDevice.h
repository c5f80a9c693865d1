// A Smartphone with the program installed and the Home plug-in registered, and a host's side of the
// plug-in: a site that answers the named colours and records the redraw requests. The device is made
// with the device tool and the program runs as real processes, each a sanitized start of some half a
// second of CPU: a test that installs, updates and removes takes 5 to 10 s.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "ProgramDevice.h"
#include "Weather/CCityList.h"
#include "ce/com.h"
#include "ce/device.h"
#include "ce/module.h"
#include "ce/shell.h"

namespace homeplugin::test {

inline constexpr CLSID kPluginClass = {0x6D2E8A41, 0x0C7B, 0x4E59, {0xA3, 0xF6, 0x91, 0xB4, 0xC8, 0xD2, 0x7E, 0x05}};

constexpr COLORREF kHomeText = RGB(0x10, 0x20, 0x30);
constexpr COLORREF kHighlightText = RGB(0xF0, 0xF0, 0xF0);
constexpr COLORREF kHighlight = RGB(0x20, 0x90, 0x40);
constexpr COLORREF kRule = RGB(0xD0, 0x30, 0xB0);

class RecordingSite : public IHomePluginEnvironment {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IHomePluginEnvironment) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE InvalidatePlugin(DWORD handle, int part) override {
        redraws.push_back({handle, part});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPluginFont(DWORD, BSTR, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNamedColor(DWORD, BSTR name, COLORREF* color) override {
        const std::u16string text = name != nullptr ? name : u"";
        const std::pair<const char16_t*, COLORREF> known[] = {{u"COLOR_HOMETEXT", kHomeText},
                                                              {u"COLOR_HOMEHIGHLIGHTTEXT", kHighlightText},
                                                              {u"COLOR_HOMEHIGHLIGHT", kHighlight},
                                                              {u"COLOR_HOMERULE", kRule}};
        for (const auto& [known_name, value] : known) {
            if (text == known_name) {
                *color = value;
                return S_OK;
            }
        }
        return E_FAIL;
    }

    std::atomic<ULONG> references{1};
    std::vector<std::pair<DWORD, int>> redraws;
};

class HomePluginDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.Ready()) << device.Problem();
        ASSERT_TRUE(ce::SetProfileString("device", "kind", "smartphone"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_width", "240"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_height", "320"));
        ce::ReloadProfile();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        library = LoadLibraryW(u"\\Windows\\Lanternet.dll");
        ASSERT_NE(library, nullptr);
        ASSERT_EQ(Export<HRESULT(STDMETHODCALLTYPE*)()>("DllRegisterServer")(), S_OK);
    }
    void TearDown() override {
        if (library != nullptr) {
            FreeLibrary(library);
        }
        CoUninitialize();
    }

    template <class Function>
    Function Export(const char* name) {
        std::u16string wide(name, name + std::char_traits<char>::length(name));
        return ce::ProcAs<Function>(GetProcAddressW(library, wide.c_str()));
    }

    // Cities.dat with these cities, the first the home city.
    static void WriteCities(const std::vector<std::u16string>& ids, int home = 0) {
        CCityList cities;
        for (const std::u16string& id : ids) {
            CCity city;
            city.SetLocationId(id.c_str());
            city.SetName(id.c_str());
            cities.AddCity(city);
        }
        cities.SetHomeIndex(home);
        ASSERT_TRUE(cities.Save());
    }

    // A plug-in made as the host makes one: created, given its handle and site, and loaded.
    IHomePlugin* CreatePlugin() {
        IHomePlugin* plugin = nullptr;
        EXPECT_EQ(CoCreateInstance(kPluginClass, nullptr, CLSCTX_INPROC_SERVER, IID_IHomePlugin,
                                   reinterpret_cast<void**>(&plugin)),
                  S_OK);
        if (plugin != nullptr) {
            plugin->SetPluginHandle(7);
            plugin->SetSite(&site);
            LoadAgain(plugin);
        }
        return plugin;
    }
    static void LoadAgain(IHomePlugin* plugin) {
        IPersistStream* persist = nullptr;
        ASSERT_EQ(plugin->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
        EXPECT_EQ(persist->Load(nullptr), S_OK);
        persist->Release();
    }
    static void Send(IHomePlugin* plugin, DWORD type, WORD key = 0) {
        HOMEPLUGINEVENT event{};
        event.type = type;
        event.key = key;
        EXPECT_EQ(plugin->OnEvent(&event), S_OK);
    }
    size_t Redraws() const { return site.redraws.size(); }

    ProgramDevice device{CE_DEVICE_TOOL};
    RecordingSite site;
    HMODULE library = nullptr;
};

}  // namespace homeplugin::test
