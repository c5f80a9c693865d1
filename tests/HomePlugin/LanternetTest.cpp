// The Home plug-in library as the Home screen uses it: registration, the class object, the object's
// interfaces, city stepping, loading and reloading, its height and its painting in the host's colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "CBitmapDC.h"
#include "CGdiFactory.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "HomePluginDevice.h"
#include "ce/registry.h"

namespace homeplugin::test {
namespace {

constexpr LPCWSTR kServerKey = u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\\InprocServer32";
constexpr LPCWSTR kClassKey = u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}";

std::u16string DefaultText(LPCWSTR path) {
    HKEY key = nullptr;
    WCHAR text[MAX_PATH] = {};
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
    }
    return text;
}

using Registration = HomePluginDevice;

TEST_F(Registration, NamesTheLibraryItWasLoadedFromAndIsUndoneWhole) {
    EXPECT_EQ(DefaultText(kClassKey), u"CHomePlugin");
    EXPECT_EQ(DefaultText(kServerKey), u"\\Windows\\Lanternet.dll");
    auto unregister = Export<HRESULT(STDMETHODCALLTYPE*)()>("DllUnregisterServer");
    EXPECT_EQ(unregister(), S_OK);
    EXPECT_EQ(DefaultText(kClassKey), u"");
    EXPECT_EQ(unregister(), E_FAIL) << "nothing left to delete";
}

using ClassObject = HomePluginDevice;

TEST_F(ClassObject, IsOnlyThePluginsAndHonoursServerLocks) {
    auto getClassObject = Export<LPFNGETCLASSOBJECT>("DllGetClassObject");
    auto canUnloadNow = Export<LPFNCANUNLOADNOW>("DllCanUnloadNow");
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IClassFactory, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(kPluginClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a live factory keeps the library";

    // The library's objects went with the last plug-in; the kept factory makes them again.
    IHomePlugin* first = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHomePlugin, reinterpret_cast<void**>(&first)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    first->Release();
    WriteCities({u"DEBE0001"});
    IHomePlugin* second = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHomePlugin, reinterpret_cast<void**>(&second)), S_OK);
    second->SetSite(&site);
    LoadAgain(second);
    int height = 0;
    EXPECT_EQ(second->GetHeight(&height), S_OK);
    EXPECT_GT(height, 0);
    second->SetSite(nullptr);
    second->Release();
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a lock without an object or factory keeps the library";
    IClassFactory* last = nullptr;
    ASSERT_EQ(getClassObject(kPluginClass, IID_IClassFactory, reinterpret_cast<void**>(&last)), S_OK);
    last->LockServer(FALSE);
    last->Release();
    EXPECT_EQ(canUnloadNow(), S_OK) << "no factory, lock or object is left";
}

using PluginObject = HomePluginDevice;

TEST_F(PluginObject, AnswersItsInterfacesFromTwoTables) {
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    IUnknown* unknown = nullptr;
    IObjectWithSite* withSite = nullptr;
    IPersist* persist = nullptr;
    IPersistStream* stream = nullptr;
    ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    ASSERT_EQ(plugin->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)), S_OK);
    ASSERT_EQ(plugin->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
    ASSERT_EQ(plugin->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&stream)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(plugin));
    EXPECT_EQ(static_cast<void*>(withSite), static_cast<void*>(plugin));
    EXPECT_EQ(static_cast<void*>(persist), static_cast<void*>(stream));
    EXPECT_NE(static_cast<void*>(stream), static_cast<void*>(plugin));
    CLSID clsid{};
    EXPECT_EQ(stream->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, kPluginClass);
    void* none = nullptr;
    EXPECT_EQ(plugin->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    IHomePluginEnvironment* kept = nullptr;
    EXPECT_EQ(plugin->GetSite(IID_IHomePluginEnvironment, reinterpret_cast<void**>(&kept)), S_OK);
    EXPECT_EQ(kept, &site);
    kept->Release();
    for (IUnknown* each : {unknown, static_cast<IUnknown*>(withSite), static_cast<IUnknown*>(persist),
                           static_cast<IUnknown*>(stream)}) {
        each->Release();
    }
    plugin->SetSite(nullptr);
    EXPECT_EQ(plugin->GetSite(IID_IHomePluginEnvironment, reinterpret_cast<void**>(&kept)), E_FAIL);
    EXPECT_EQ(site.references, 1u) << "the site was given back";
    EXPECT_EQ(plugin->Release(), 0u);
}

using CityStepping = HomePluginDevice;

TEST_F(CityStepping, MovesWithinTheListWithoutWrappingAndRedrawsOnlyOnAChange) {
    WriteCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    Send(plugin, HPE_KEY, VK_LEFT);
    EXPECT_EQ(Redraws(), 0u) << "left on the first city";
    Send(plugin, HPE_KEY, VK_RIGHT);
    Send(plugin, HPE_KEY, VK_RIGHT);
    Send(plugin, HPE_KEY, VK_RIGHT);
    EXPECT_EQ(Redraws(), 2u) << "right on the last city";
    ASSERT_FALSE(site.redraws.empty());
    EXPECT_EQ(site.redraws[0], (std::pair<DWORD, int>{7, -1}));
    Send(plugin, HPE_KEY, VK_UP);
    EXPECT_EQ(Redraws(), 2u);
    plugin->SetSite(nullptr);
    plugin->Release();
}

TEST_F(CityStepping, BeforeTheFirstCityListTheProgramsRefreshBringsIt) {
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    Send(plugin, HPE_KEY, VK_RIGHT);
    EXPECT_EQ(Redraws(), 0u) << "no cities yet";
    WriteCities({u"DEBE0001", u"FRXX0002"});
    Send(plugin, HPE_RELOAD);
    Send(plugin, HPE_KEY, VK_RIGHT);
    EXPECT_EQ(Redraws(), 2u);
    plugin->SetSite(nullptr);
    plugin->Release();
}

TEST_F(CityStepping, AReloadKeepsAValidCityAndElseTakesTheLast) {
    WriteCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"}, 2);
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    WriteCities({u"DEBE0001", u"FRXX0002"});
    Send(plugin, HPE_RELOAD);
    EXPECT_EQ(Redraws(), 1u);
    Send(plugin, HPE_KEY, VK_RIGHT);
    EXPECT_EQ(Redraws(), 1u) << "the last city of the new list";
    Send(plugin, HPE_KEY, VK_LEFT);
    EXPECT_EQ(Redraws(), 2u);
    plugin->SetSite(nullptr);
    plugin->Release();
}

using Height = HomePluginDevice;

TEST_F(Height, IsTheTextLineTheBandAndThePicture) {
    WriteCities({u"DEBE0001"});
    CSysInfo sysInfo(nullptr);
    CGdiFactory fonts(sysInfo);
    const int title = fonts.GetFontHeight(17) + 2 * sysInfo.ScaleToScreen(1);
    for (DWORD mode : {0u, 1u, 2u}) {
        CRegistryStore store;
        ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        ASSERT_TRUE(store.SetDWORD(u"HomePluginMode", mode));
        IHomePlugin* plugin = CreatePlugin();
        ASSERT_NE(plugin, nullptr);
        int height = 0;
        EXPECT_EQ(plugin->GetHeight(&height), S_OK);
        const int label = fonts.GetFontHeight(mode == 1 ? 18 : 17);
        EXPECT_EQ(height, fonts.GetFontHeight(17) + std::max(title, label) + 44) << mode;
        plugin->SetSite(nullptr);
        plugin->Release();
    }
}

class Painting : public HomePluginDevice {
protected:
    // The host's drawing: a 240-wide screen filled with the host's background.
    static constexpr COLORREF kHostBackground = RGB(0x30, 0x60, 0xC0);

    void PaintPlugin(IHomePlugin* plugin, bool selected, int top, int height) {
        ASSERT_TRUE(screen.Create(240, 200, 32));
        HBRUSH brush = CreateSolidBrush(kHostBackground);
        RECT all{0, 0, 240, 200};
        FillRect(screen.DC(), &all, brush);
        DeleteObject(brush);
        HOMEPLUGINEVENT event{};
        event.type = HPE_PAINT;
        event.paint.hdc = screen.DC();
        event.paint.fSelected = selected ? TRUE : FALSE;
        event.paint.rc = RECT{0, top, 240, top + height};
        EXPECT_EQ(plugin->OnEvent(&event), S_OK);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(screen.DC(), x, y); }
    static bool Near(COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 8;
    }

    CBitmapDC screen;
};

TEST_F(Painting, ASelectedPluginFillsWithTheHostsHighlightAndEndsWithItsRule) {
    WriteCities({u"DEBE0001"});
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    int height = 0;
    plugin->GetHeight(&height);
    PaintPlugin(plugin, true, 20, height);
    EXPECT_TRUE(Near(Pixel(1, 20 + height - 3), kHighlight));
    EXPECT_TRUE(Near(Pixel(120, 20 + height - 1), kRule));
    EXPECT_TRUE(Near(Pixel(120, 19), kHostBackground)) << "nothing above the plug-in's rectangle";
    EXPECT_TRUE(Near(Pixel(120, 20 + height), kHostBackground)) << "nothing below it";
    plugin->SetSite(nullptr);
    plugin->Release();
}

TEST_F(Painting, AnUnselectedPluginKeepsTheHostsBackground) {
    IHomePlugin* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    int height = 0;
    plugin->GetHeight(&height);
    PaintPlugin(plugin, false, 0, height);
    EXPECT_TRUE(Near(Pixel(1, 1), kHostBackground));
    EXPECT_TRUE(Near(Pixel(1, height - 3), kHostBackground));
    EXPECT_TRUE(Near(Pixel(239, height - 1), kRule));
    plugin->SetSite(nullptr);
    plugin->Release();
}

}  // namespace
}  // namespace homeplugin::test
