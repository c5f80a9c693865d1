// Every screen of the program as a user sees it, on a Pocket PC, a Smartphone and a turned Pocket PC,
// in English and German: each screen runs for real over a city with a model forecast, is captured as
// a PNG (into CE_GALLERY_DIR when set, for scripts/gallery, else into the build folder) and drawn with
// the platform's text-fit log on. No text may leave its box or sit in an empty one, lose its beginning or
// stand out at both sides, except a text that runs out only at its end where that end is the ellipsis its
// shortening added (not one of its own, as in "Connecting...").
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "CHTTPDownloader.h"
#include "CRegistryStore.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/ControlDrawing.h"
#include "ForecastScreenTest.h"
#include "LocalizationKeys.h"
#include "MainWindowDevice.h"
#include "NmeaSender.h"
#include "Screens/CAboutDlg.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CAssistantDlg.h"
#include "Screens/CAutoUpdateSettingsDlg.h"
#include "Screens/CCityListDlg.h"
#include "Screens/CDayForecastDlg.h"
#include "Screens/CDetailCurConditionDlg.h"
#include "Screens/CDetailPartOfDayForecastDlg.h"
#include "Screens/CDownloadProgressViewDlg.h"
#include "Screens/CDownloadWaitViewDlg.h"
#include "Screens/CGPSSettingsDlg.h"
#include "Screens/CHomePluginSettingsDlg.h"
#include "Screens/CHourlyForecastDlg.h"
#include "Screens/CInterfaceLangDlg.h"
#include "Screens/CMapsDlg.h"
#include "Screens/COUSetupNetworkDlg.h"
#include "Screens/COnlineUpdateSettingsDlg.h"
#include "Screens/CSelectCityGPSDlg.h"
#include "Screens/CSelectFromListDlg.h"
#include "Screens/CSelectUnitsDlg.h"
#include "Screens/CSelectUpdateDlg.h"
#include "Screens/CSetupNetworkDlg.h"
#include "Screens/CStartWizardCityListDlg.h"
#include "Screens/CStartWizardInterfaceLangDlg.h"
#include "Screens/CStartWizardSetupNetworkDlg.h"
#include "Screens/CUpdateInfoDlg.h"
#include "Shell/CMainWindow.h"
#include "UserInterface/CDlgComboBox.h"
#include "WeatherServerProcess.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/COnlineUpdateCatalog.h"
#include "Weather/CProductInfo.h"
#include "Weather/CSettings.h"
#include "ce/com.h"
#include "ce/inet.h"
#include "ce/module.h"
#include "ce/shell.h"

namespace {

using namespace skin_test;
using namespace forecast_screen_test;

struct DeviceKind {
    const char* name;  // in the pictures' names
    const char* kind;
    int width;
    int height;
};
const DeviceKind kPocketPc{"pocketpc", "pocketpc", 240, 320};
const DeviceKind kSmartphone{"smartphone", "smartphone", 176, 220};
const DeviceKind kLandscape{"landscape", "pocketpc", 320, 240};

struct Language {
    const char* name;
    LANGID id;
    const char* file;
};
const Language kEnglish{"en", 0x0409, "loc.0409.txt"};
const Language kGerman{"de", 0x0407, "loc.0407.txt"};

// Faults known and still open, by "<screen>/<kind>/<language>" ("*" for any kind or language); each
// entry goes once its fault is fixed.
const std::set<std::string> kOpenFaults = {};

bool Allowed(const std::string& screen, const DeviceKind& kind, const Language& language) {
    for (const std::string& k : {std::string(kind.name), std::string("*")}) {
        for (const std::string& l : {std::string(language.name), std::string("*")}) {
            if (kOpenFaults.count(screen + "/" + k + "/" + l) != 0) {
                return true;
            }
        }
    }
    return false;
}

// The texts of a language file (UTF-16, a key, a tab and the text on each line).
std::set<std::u16string> LanguageTexts(const Language& language) {
    std::ifstream in(std::string(CE_LOC_DIR) + "/" + language.file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u16string all;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        all.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    std::set<std::u16string> texts;
    for (size_t begin = 0; begin < all.size();) {
        size_t end = all.find_first_of(u"\r\n", begin);
        end = end == std::u16string::npos ? all.size() : end;
        const size_t tab = all.find(u'\t', begin);
        if (tab != std::u16string::npos && tab < end) {
            texts.insert(all.substr(tab + 1, end - tab - 1));
        }
        begin = end + 1;
    }
    return texts;
}

// A finding of the log that a screen may show: a text that runs out only at its end, where it ends in
// the ellipsis that its shortening added. A text of the language files that ends in "..." of its own
// ("Connecting...") was not shortened: cut, it is a fault; so is a text cut at its beginning or at both
// sides, whatever it ends with.
bool EndsInAddedEllipsis(const std::string& line, const std::set<std::u16string>& languageTexts) {
    if (line.rfind("leaves\t", 0) != 0) {
        return false;
    }
    const size_t text = line.find('\t');
    const size_t end = line.find('\t', text + 1);
    if (text == std::string::npos || end == std::string::npos) {
        return false;
    }
    const std::string shown = line.substr(text + 1, end - text - 1);
    if (languageTexts.count(ce::FromUtf8(shown)) != 0) {
        return false;
    }
    for (const std::string ellipsis : {"\xE2\x80\xA6", "..."}) {
        if (shown.size() >= ellipsis.size() && shown.compare(shown.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0) {
            return true;
        }
    }
    return false;
}

// A download job that reports the given progress and then holds the screen until it is let go.
struct HeldDownload {
    struct Report {
        int code;
        ULONGLONG done;
        ULONGLONG total;
    };
    std::vector<Report> reports;
    std::atomic<bool> reported{false};

    // Holds a registered internet handle as a transfer does: the screen's closing closes it.
    static int Run(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
        auto* self = reinterpret_cast<HeldDownload*>(context);
        auto* resources = reinterpret_cast<CMemoryController*>(controller);
        HINTERNET session = InternetOpenW(u"Skyvane", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        resources->Register(session, kResourceInternetHandle);
        for (const Report& report : self->reports) {
            reinterpret_cast<const CDelegate*>(progress)->Invoke(report.code, report.done, report.total);
        }
        self->reported = true;
        for (int i = 0; i < 20000 && resources->GetCount() > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (resources->Unregister(session)) {
            InternetCloseHandle(session);
        }
        return 0;
    }
    CDelegate Delegate() { return CDelegate(&Run, reinterpret_cast<INT_PTR>(this)); }
};

// The open popup menus of the process, shown or (a parent that its sub-menu replaces) hidden.
int OpenMenuCount(HWND anyWindow) {
    int count = 0;
    for (HWND window = GetWindow(anyWindow, GW_HWNDFIRST); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
        WCHAR name[16] = {};
        if (GetClassNameW(window, name, 16) > 0 && std::u16string(name) == u"#menu") {
            UpdateWindow(window);
            ++count;
        }
    }
    return count;
}

// The start screen behind a plug-in: white, with dark text, as the device's default theme.
constexpr COLORREF kStartScreenText = RGB(0, 0, 0);
constexpr COLORREF kStartScreenHighlight = RGB(0x31, 0x6A, 0xC5);

LRESULT CALLBACK StartScreenProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case TODAYM_GETCOLOR:
            return wParam == TODAYCOLOR_HIGHLIGHT ? kStartScreenHighlight
                   : wParam == TODAYCOLOR_HIGHLIGHTEDTEXT ? RGB(255, 255, 255) : kStartScreenText;
        case TODAYM_DRAWWATERMARK: {
            const auto* info = reinterpret_cast<const TODAYDRAWWATERMARKINFO*>(lParam);
            FillRect(info->hdc, &info->rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            return TRUE;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The Home screen's side of the plug-in: its named colours.
class GallerySite : public IHomePluginEnvironment {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IHomePluginEnvironment) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE InvalidatePlugin(DWORD, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPluginFont(DWORD, BSTR, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNamedColor(DWORD, BSTR name, COLORREF* color) override {
        const std::u16string text = name != nullptr ? name : u"";
        *color = text == u"COLOR_HOMEHIGHLIGHT" ? kStartScreenHighlight
                 : text == u"COLOR_HOMERULE"    ? RGB(0xC0, 0xC0, 0xC0)
                                                : kStartScreenText;
        return S_OK;
    }
};

constexpr CLSID kHomePluginClass = {0x6D2E8A41, 0x0C7B, 0x4E59, {0xA3, 0xF6, 0x91, 0xB4, 0xC8, 0xD2, 0x7E, 0x05}};

std::string OutputFolder() {
    const char* asked = std::getenv("CE_GALLERY_DIR");
    return asked != nullptr && *asked != '\0' ? asked : std::string(CE_TEST_BINARY_DIR) + "/gallery";
}

class ScreenGalleryTest : public ForecastScreenTest,
                          public ::testing::WithParamInterface<std::tuple<DeviceKind, Language>> {
protected:
    void SetUp() override {
        ForecastScreenTest::SetUp();
        const DeviceKind& kind = std::get<0>(GetParam());
        g_pGdiFactory = nullptr;
        fonts_.reset();
        device_.UnloadSkin();
        ASSERT_TRUE(ce::SetProfileString("device", "kind", kind.kind));
        ASSERT_TRUE(ce::SetProfileString("device", "orientation", kind.width > kind.height ? "landscape" : "portrait"));
        SetScreen(kind.width, kind.height);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        ASSERT_TRUE(device_.LoadSkin());
        fonts_ = std::make_unique<CGdiFactory>(*sysInfo_);
        g_pGdiFactory = fonts_.get();
        InstallLanguage(std::get<1>(GetParam()));
        ASSERT_TRUE(store_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &store_;
        MakeCity(ModelForecast("DEBE0001", 12, 48), u"Berlin");
        MakeCity(ModelForecast("GBLO0001", 12, 48), u"London");
        ASSERT_TRUE(g_pCityList->Save());
        std::filesystem::create_directories(OutputFolder());
    }
    void TearDown() override {
        unsetenv("CE_TEXT_FIT_LOG");
        g_pRegistry = nullptr;
        ForecastScreenTest::TearDown();
        device_.UnloadSkin();
        g_pSysInfo = nullptr;
        // The next suites find the device of the fixture's default.
        ce::SetProfileString("device", "kind", "pocketpc");
        ce::SetProfileString("device", "orientation", "portrait");
    }

    void InstallLanguage(const Language& language) {
        std::filesystem::create_directories(device_.InstallFolder("Loc"));
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/" + language.file,
                                   device_.InstallFolder(std::string("Loc/") + language.file),
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(CLocalization::Global().Load(language.id));
    }

    std::string Name(const std::string& screen) const {
        return screen + "-" + std::get<0>(GetParam()).name + "-" + std::get<1>(GetParam()).name;
    }
    // The main window in the device's language, drawn once its start has settled, with its text-fit check.
    void ShowMainWindow(const std::string& screen) {
        ASSERT_TRUE(store_.SetDWORD(u"Language", std::get<1>(GetParam()).id));
        BeginScreen(screen);
        {
            CMainWindow window;
            ASSERT_TRUE(window.Create(0));
            {
                mainwindow::test::RunningClock clock;
                ce::test::Pump();
            }
            UpdateWindow(window.GetHandle());
            ce::test::Pump();
            EXPECT_TRUE(ce::CaptureScreen(OutputFolder() + "/" + Name(screen) + ".png"));
        }
        ce::test::Pump();
        EndScreen(screen);
    }
    // The text-fit log of one screen, fresh.
    void BeginScreen(const std::string& screen) {
        const std::string log = OutputFolder() + "/" + Name(screen) + ".fit.log";
        std::filesystem::remove(log);
        setenv("CE_TEXT_FIT_LOG", log.c_str(), 1);
    }
    // Stops the log and checks what it found.
    void EndScreen(const std::string& screen) {
        unsetenv("CE_TEXT_FIT_LOG");
        const std::string log = OutputFolder() + "/" + Name(screen) + ".fit.log";
        std::ifstream in(log);
        const std::set<std::u16string> languageTexts = LanguageTexts(std::get<1>(GetParam()));
        std::vector<std::string> faults;
        for (std::string line; std::getline(in, line);) {
            if (!EndsInAddedEllipsis(line, languageTexts) && std::find(faults.begin(), faults.end(), line) == faults.end()) {
                faults.push_back(line);
            }
        }
        EXPECT_TRUE(std::filesystem::exists(OutputFolder() + "/" + Name(screen) + ".png")) << Name(screen);
        if (!faults.empty() && !Allowed(screen, std::get<0>(GetParam()), std::get<1>(GetParam()))) {
            std::string all;
            for (const std::string& fault : faults) {
                all += "\n  " + fault;
            }
            ADD_FAILURE() << Name(screen) << ": texts that do not fit:" << all;
        }
    }

    // Runs a screen, waits for its soft keys to be painted, captures it and closes it.
    // clockStepMs: how fast the virtual clock runs meanwhile (slower where a held transfer must outlast
    // the screen).
    template <class Dialog, class RunIt>
    void Show(const std::string& screen, ScriptedScreen<Dialog>& dialog, RunIt run, uint64_t clockStepMs = 20) {
        BeginScreen(screen);
        const std::string picture = OutputFolder() + "/" + Name(screen) + ".png";
        dialog.Then([](ScriptedScreen<Dialog>& d) { UpdateWindow(d.GetMenuBar()); });
        dialog.Then([](ScriptedScreen<Dialog>& d) { UpdateWindow(d.GetHandle()); });
        dialog.Then([picture](ScriptedScreen<Dialog>& d) {
            EXPECT_TRUE(ce::CaptureScreen(picture)) << picture;
            d.EndDialog(IDCANCEL);
        });
        {
            ClockTicker clock(clockStepMs);
            run(dialog);
        }
        EndScreen(screen);
    }
    // A settings dialog, then the drop-down page of each of its combo boxes, opened by its key.
    template <class Dialog>
    void ShowSetting(const std::string& screen) {
        ScriptedScreen<Dialog> dialog;
        Show(screen, dialog, [](ScriptedScreen<Dialog>& d) { d.RunOverWindow(nullptr, nullptr, nullptr); });
        for (int page = 1; ShowDropDownPage<Dialog>(screen + "-page-" + std::to_string(page), page); ++page) {
        }
    }
    // The n-th combo box's drop-down page of the dialog (from 1); false when it has fewer.
    template <class Dialog>
    bool ShowDropDownPage(const std::string& screen, int n) {
        ScriptedScreen<Dialog> dialog;
        bool found = false;
        dialog.Then([&](ScriptedScreen<Dialog>& d) {
            UserInterface::CDlgComboBox* combo = NthComboBox(d, n);
            found = combo != nullptr && d.SetFocusControl(combo, TRUE);
            if (!found) {
                d.EndDialog(IDCANCEL);
                return;
            }
            BeginScreen(screen);
            ce::InjectKey(VK_RETURN);
        });
        dialog.Then([](ScriptedScreen<Dialog>&) {}, [](ScriptedScreen<Dialog>& d) {
            return GetActiveWindow() != d.GetHandle();
        });
        const std::string picture = OutputFolder() + "/" + Name(screen) + ".png";
        dialog.Then([picture](ScriptedScreen<Dialog>&) {
            HWND page = GetActiveWindow();
            UpdateWindow(page);
            ce::test::Pump();
            EXPECT_TRUE(ce::CaptureScreen(picture)) << picture;
            ce::InjectKey(VK_TSOFT2);  // Cancel
        }, [](ScriptedScreen<Dialog>& d) { return GetActiveWindow() == d.GetHandle(); });
        dialog.Then([](ScriptedScreen<Dialog>& d) { d.EndDialog(IDCANCEL); });
        {
            ClockTicker clock;
            dialog.RunOverWindow(nullptr, nullptr, nullptr);
        }
        if (found) {
            EndScreen(screen);
        }
        return found;
    }
    template <class Dialog>
    static UserInterface::CDlgComboBox* NthComboBox(ScriptedScreen<Dialog>& d, int n) {
        UserInterface::CDlgLayout* layout = d.GetLayout();
        for (int i = 0; layout != nullptr && i < layout->GetControlCount(); ++i) {
            auto* combo = dynamic_cast<UserInterface::CDlgComboBox*>(layout->GetControlAt(i));
            if (combo != nullptr && combo->IsVisible() && --n == 0) {
                return combo;
            }
        }
        return nullptr;
    }

    // The item's window, sized as the start screen sizes it; null when the library made none.
    static HWND ShowTodayItem(HMODULE module, HWND screen) {
        auto initialize =
            ce::ProcAs<PFNCUSTOMINITIALIZEITEM>(GetProcAddressW(module, MAKEINTRESOURCEW(ORDINAL_INITIALIZEITEM)));
        TODAYLISTITEM record{};
        record.fEnabled = TRUE;
        record.hinstDLL = module;
        record.hwndCustom = initialize != nullptr ? initialize(&record, screen) : nullptr;
        EXPECT_NE(record.hwndCustom, nullptr);
        if (record.hwndCustom == nullptr) {
            return nullptr;
        }
        SendMessageW(record.hwndCustom, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0);
        RECT client{};
        GetClientRect(screen, &client);
        SetWindowPos(record.hwndCustom, nullptr, 0, 0, client.right, static_cast<int>(record.cyp),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ce::test::Pump();
        UpdateWindow(record.hwndCustom);
        UpdateWindow(screen);
        ce::test::Pump();
        return record.hwndCustom;
    }
    static void ClearStartScreen(HWND screen) {
        HDC dc = GetDC(screen);
        RECT client{};
        GetClientRect(screen, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(screen, dc);
    }
    // The plug-ins read the forecasts from the program's cache, updated an hour before the device's now
    // (so that the first column shows the current conditions with their time).
    void WriteForecastCache(const std::vector<std::string>& ids) {
        std::filesystem::create_directories(device_.InstallFolder("Cache"));
        const auto updated = std::chrono::file_clock::from_sys(
            std::chrono::system_clock::time_point(std::chrono::milliseconds(kNoonUtc - 60 * kMinuteMs)));
        for (const std::string& id : ids) {
            const std::string path = device_.InstallFolder("Cache/" + id + ".xml");
            std::ofstream(path) << ModelForecast(id, 12, 48);
            std::filesystem::last_write_time(path, updated);
        }
    }
    static void ShowHomePlugin(HMODULE module, HWND screen) {
        auto getClassObject = ce::ProcAs<LPFNGETCLASSOBJECT>(GetProcAddressW(module, u"DllGetClassObject"));
        ASSERT_NE(getClassObject, nullptr);
        IClassFactory* factory = nullptr;
        ASSERT_EQ(getClassObject(kHomePluginClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        IHomePlugin* plugin = nullptr;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHomePlugin, reinterpret_cast<void**>(&plugin)), S_OK);
        factory->Release();
        static GallerySite site;
        plugin->SetPluginHandle(7);
        plugin->SetSite(&site);
        IPersistStream* persist = nullptr;
        ASSERT_EQ(plugin->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
        persist->Load(nullptr);
        persist->Release();
        int height = 0;
        plugin->GetHeight(&height);
        RECT client{};
        GetClientRect(screen, &client);
        HDC dc = GetDC(screen);
        HOMEPLUGINEVENT event{};
        event.type = HPE_PAINT;
        event.paint.hdc = dc;
        event.paint.fSelected = FALSE;
        event.paint.rc = RECT{0, 0, client.right, height};
        plugin->OnEvent(&event);
        ReleaseDC(screen, dc);
        plugin->SetSite(nullptr);
        plugin->Release();
    }

    // The Today item's options dialog, as the start screen's settings open it from the library.
    void ShowTodayOptions(const std::u16string& library) {
        BeginScreen("today-settings");
        HMODULE module = LoadLibraryW(library.c_str());
        ASSERT_NE(module, nullptr);
        auto procedure = ce::ProcAs<DLGPROC>(GetProcAddressW(module, MAKEINTRESOURCEW(ORDINAL_OPTIONSDIALOGPROC)));
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(500), RT_DIALOG);
        ASSERT_TRUE(procedure != nullptr && resource != nullptr);
        auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, resource)));
        HWND dialog = CreateDialogIndirectParamW(module, dialogTemplate, nullptr, procedure, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        ce::test::Pump();
        UpdateWindow(dialog);
        ce::test::Pump();
        EXPECT_TRUE(ce::CaptureScreen(OutputFolder() + "/" + Name("today-settings") + ".png"));
        DestroyWindow(dialog);
        ce::test::Pump();
        FreeLibrary(module);
        EndScreen("today-settings");
    }

    CRegistryStore store_;
    // The device information of the kind asked for, in place of the fixture's.
    std::unique_ptr<CSysInfo> sysInfo_;
};

TEST_P(ScreenGalleryTest, TheSettingsDialogsAndFirstStartPages) {
    ShowSetting<CAutoUpdateSettingsDlg>("auto-update-settings");
    ShowSetting<CSelectUnitsDlg>("units");
    ShowSetting<CSetupNetworkDlg>("network");
    ShowSetting<CInterfaceLangDlg>("language");
    ShowSetting<CGPSSettingsDlg>("gps-port");
    ShowSetting<COnlineUpdateSettingsDlg>("program-update-settings");
    ShowSetting<CHomePluginSettingsDlg>("home-settings");
    ShowSetting<CStartWizardInterfaceLangDlg>("first-start-language");
    ShowSetting<CStartWizardSetupNetworkDlg>("first-start-network");
    ScriptedScreen<CAssistantDlg> welcome;
    const std::u16string title = LocalizedText("IDS_ASS_WELCOME_TITLE");
    const std::u16string text = LocalizedText("IDS_ASS_WELCOME_TEXT");
    Show("first-start-welcome", welcome, [&](auto& d) { d.Run(nullptr, text.c_str(), title.c_str(), nullptr); });
    // The city page over the first start's own cities, which have no forecast yet.
    CCityList firstCities;
    for (const auto& [id, country, state, name] : {std::tuple{u"RSXX0063", u"Russia", u"", u"Moscow"},
                                                   std::tuple{u"UKXX0085", u"United Kingdom", u"", u"London"},
                                                   std::tuple{u"USNY0996", u"United States of America",
                                                              u"New York", u"New York"}}) {
        CCity city;
        city.SetLocationId(id);
        city.SetCountry(country);
        city.SetState(state);
        city.SetName(name);
        ASSERT_TRUE(firstCities.AddCity(city));
    }
    g_pCityList = &firstCities;
    int shown = 0;
    ScriptedScreen<CStartWizardCityListDlg> cityPage(&shown);
    Show("first-start-cities", cityPage, [](auto& d) { d.RunModal(nullptr, 0, nullptr, nullptr, nullptr); });
    g_pCityList = cities_.get();
    ScriptedScreen<CAboutDlg> about;
    Show("about", about, [](ScriptedScreen<CAboutDlg>& d) { d.Run(nullptr); });
}

// The longest of the language's weather-state texts: the sky text that the detail view must hold.
std::u16string LongestWeatherStateText() {
    std::u16string longest;
    for (const char* key : kLocalizationKeys) {
        if (std::string_view(key).starts_with("IDS_WS_")) {
            std::u16string text = LoadLocalizedString(key);
            longest = text.size() > longest.size() ? text : longest;
        }
    }
    return longest;
}

TEST_P(ScreenGalleryTest, TheForecastScreens) {
    const CDate today(2026, 12, 9);
    const CDate tomorrow(2026, 12, 10);
    ScriptedScreen<CDetailCurConditionDlg> current;
    Show("current-conditions", current, [](auto& d) { d.Run(nullptr, u"DEBE0001", nullptr); });
    ScriptedScreen<CDetailCurConditionDlg> longestSky;
    longestSky.Then([](auto& d) {
        CDetailForecastControl* detail = d.GetDetail();
        DetailForecastData data = detail->GetData();
        lstrcpynW(data.weatherText, LongestWeatherStateText().c_str(), static_cast<int>(std::size(data.weatherText)));
        detail->SetData(&data, TRUE);
    });
    Show("current-conditions-longest-sky", longestSky, [](auto& d) { d.Run(nullptr, u"DEBE0001", nullptr); });
    ScriptedScreen<CDayForecastDlg> day;
    Show("day-forecast", day, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); });
    ScriptedScreen<CDetailPartOfDayForecastDlg> part;
    Show("part-of-day", part, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &tomorrow, 1, nullptr); });
    ScriptedScreen<CHourlyForecastDlg> hourly;
    Show("hourly", hourly, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); });
    ScriptedScreen<CHourlyForecastDlg> nextDay;
    Show("hourly-next-day", nextDay, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &tomorrow, nullptr); });
}

TEST_P(ScreenGalleryTest, TheListsAndBoxes) {
    int shown = 0;
    ScriptedScreen<CCityListDlg> cities(&shown);
    Show("city-list", cities, [](auto& d) { d.RunModal(nullptr, 0, nullptr, nullptr, nullptr); });
    const std::vector<std::u16string> countries{u"Germany", u"United Kingdom", u"United States of America"};
    int chosen = 0;
    ScriptedScreen<CSelectFromListDlg> picker;
    Show("select-from-list", picker,
         [&](auto& d) { d.RunOverWindow(nullptr, u"Country", &countries, &chosen, nullptr); });
    ScriptedScreen<CAppMessageBox> box;
    Show("message-box", box, [](auto& d) {
        const MessageBoxLink link = CAppMessageBox::SupportLink();
        CAppMessageBox::DoModalYesNo(d, nullptr, u"The forecast of Berlin is older than a day. Update it now?",
                                     u"Skyvane", &link);
    });
    // The boxes of an update's outcome that send the user to the support address.
    for (const auto& [name, result] : {std::pair{"message-box-blocked", CForecastUpdater::kResultBlocked},
                                       std::pair{"message-box-day-limit", CForecastUpdater::kResultDayLimitExceeded}}) {
        ScriptedScreen<CAppMessageBox> outcome;
        Show(name, outcome, [result](auto& d) { CForecastUpdater::ShowResultMessage(d, nullptr, result); });
    }
}

TEST_P(ScreenGalleryTest, TheMainWindow) {
    ShowMainWindow("main-window");
}

TEST_P(ScreenGalleryTest, TheDownloadScreens) {
    HeldDownload connecting;
    ScriptedScreen<CDownloadProgressViewDlg> start;
    start.Then([](auto&) {}, [&](auto&) { return connecting.reported.load(); });
    const CDelegate connectingJob = connecting.Delegate();
    Show("download-connecting", start, [&](auto& d) { d.Run(nullptr, &connectingJob, nullptr); });

    HeldDownload midway;
    midway.reports = {{CHTTPDownloader::kProgressRequestSent, 0, 3'500'000},
                      {CHTTPDownloader::kProgressChunk, 1'750'000, 3'500'000}};
    ScriptedScreen<CDownloadProgressViewDlg> progress;
    progress.Then([](auto&) {}, [&](auto&) { return midway.reported.load(); });
    const CDelegate midwayJob = midway.Delegate();
    Show("download", progress, [&](auto& d) { d.Run(nullptr, &midwayJob, nullptr); });

    HeldDownload done;
    done.reports = {{CHTTPDownloader::kProgressRequestSent, 0, 142}, {CHTTPDownloader::kProgressFinished, 142, 142}};
    ScriptedScreen<CDownloadProgressViewDlg> finished;
    finished.Then([](auto&) {}, [&](auto&) { return done.reported.load(); });
    const CDelegate doneJob = done.Delegate();
    Show("download-done", finished, [&](auto& d) { d.Run(nullptr, &doneJob, nullptr); });

    HeldDownload waiting;
    ScriptedScreen<CDownloadWaitViewDlg> wait;
    const CDelegate waitJob = waiting.Delegate();
    const std::u16string looking = LocalizedText("IDS_LOOKING_FOR_UPDATES");
    Show("looking-for-updates", wait, [&](auto& d) { d.RunWithText(nullptr, &waitJob, looking.c_str(), nullptr); });
}

TEST_P(ScreenGalleryTest, TheProgramUpdateScreens) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    COnlineUpdateCatalog catalog;
    ASSERT_TRUE(catalog.Load(u"<data>"
                             u"<product version='2.1' url='http://h/a.cab' size='2500000' is_update_paid='true'>"
                             u"<strings locale='English'><name text='Skyvane 2.1'/><conditions>Costs 5 EUR for "
                             u"<b>everyone</b> who bought 1.x.</conditions></strings></product>"
                             u"<product version='2.0' url='http://h/b.cab' size='700' is_update_paid='false'>"
                             u"<strings locale='English'><name text='Skyvane 2.0'/><conditions>Free.</conditions>"
                             u"</strings></product></data>"));
    ScriptedScreen<CSelectUpdateDlg> list;
    Show("program-update-list", list, [&](auto& d) { d.Run(nullptr, &catalog, nullptr); });
    ASSERT_GT(catalog.GetCount(), 0);
    ScriptedScreen<CUpdateInfoDlg> offer;
    Show("program-update-offer", offer,
         [&](auto& d) { d.Run(nullptr, catalog.GetProduct(0), CUpdateInfoDlg::kOffer, nullptr); });
    ScriptedScreen<CUpdateInfoDlg> info;
    Show("program-update-info", info, [&](auto& d) { d.Run(nullptr, catalog.GetProduct(1), 0, nullptr); });
    GUID destination = GUID_NULL;
    ScriptedScreen<COUSetupNetworkDlg> network;
    Show("program-update-network", network, [&](auto& d) { d.Run(nullptr, &destination, nullptr); });
    CoUninitialize();
}

TEST_P(ScreenGalleryTest, TheGpsCityListAndTheMaps) {
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat", device_.InstallFolder("CityDB.dat"),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/MapDB.dat", device_.InstallFolder("MapDB.dat"),
                               std::filesystem::copy_options::overwrite_existing);
    gps_test::PseudoTerminal terminal;
    terminal.MapPort("COM3");
    GetSettings().gpsPort = 3;
    {
        // Fairbanks, Alaska: three cities within reach.
        gps_test::Receiver sending(terminal.Master(),
                                   gps_test::Nmea("GPGGA,123519,6448.000,N,14742.000,W,1,08,0.9,545.4,M,46.9,M,,"));
        CCity found;
        ScriptedScreen<CSelectCityGPSDlg> gps;
        gps.Then([](auto& d) { SendMessageW(d.GetHandle(), WM_TIMER, CSelectCityGPSDlg::kSearchTimer, 0); });
        gps.Then([](auto&) {}, [](auto& d) { return d.IsFound(); });
        Show("gps-city-list", gps, [&](auto& d) { d.ShowModal(nullptr, &found, nullptr); });
    }
    GetSettings() = CSettings();
    ScriptedScreen<CMapsDlg> maps;
    Show("maps", maps, [](auto& d) { d.RunOverWindow(nullptr, nullptr, nullptr); });
    // Each region's map under its own title.
    std::vector<CMapDBRecord> regions;
    ScriptedScreen<CMapsDlg> probe;
    probe.Then([&](auto& d) {
        regions = d.GetRegionChoice().records;
        d.EndDialog(IDCANCEL);
    });
    {
        ClockTicker clock;
        probe.RunOverWindow(nullptr, nullptr, nullptr);
    }
    EXPECT_GT(regions.size(), 1u);
    for (size_t i = 0; i < regions.size(); ++i) {
        ASSERT_TRUE(store_.SetString(CMapsDlg::kLastMapValue, regions[i].GetId().c_str()));
        ScriptedScreen<CMapsDlg> region;
        Show("maps-region-" + std::to_string(i + 1), region, [](auto& d) { d.RunOverWindow(nullptr, nullptr, nullptr); });
    }
}

// Every view while an update runs: the forecast server holds its replies, so the update stays under way
// until each view is captured with its "Downloading..." (the clock runs slowly, so that the transfers'
// watchdog does not end it meanwhile).
TEST_P(ScreenGalleryTest, TheViewsDuringAnUpdate) {
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/MapDB.dat", device_.InstallFolder("MapDB.dat"),
                               std::filesystem::copy_options::overwrite_existing);
    WeatherServerProcess server{{"--date", "2026120912"}};
    std::unique_ptr<CForecastUpdater> updater = MakeUpdater(server);
    ASSERT_NE(updater, nullptr);
    g_pForecastUpdater = updater.get();
    GetSettings().connection = IID_DestNetInternet;
    CMapsUpdater maps;
    ASSERT_TRUE(maps.Initialize());
    g_pMapsUpdater = &maps;
    ASSERT_EQ(server.Control("/control/fault?spec=stall"), "ok\n");
    constexpr uint64_t kSlowClock = 2;
    const std::u16string downloading = LocalizedText("IDS_DOWNLOADING");
    auto held = [&] { return server.Control("/control/held") != "0\n" && updater->IsRunning(); };

    // The update is asked for from the first view, as its menu does.
    ScriptedScreen<CDetailCurConditionDlg> current;
    current.Then([](auto& d) { PostMessageW(d.GetHandle(), WM_COMMAND, CCityListDlg::kUpdateForecast, 0); },
                 Soon<ScriptedScreen<CDetailCurConditionDlg>>([&](auto&) { return held(); }));
    Show("current-conditions-updating", current, [](auto& d) { d.Run(nullptr, u"DEBE0001", nullptr); }, kSlowClock);
    ASSERT_TRUE(held());
    const CDate today(2026, 12, 9);
    const CDate tomorrow(2026, 12, 10);
    ScriptedScreen<CDayForecastDlg> day;
    Show("day-forecast-updating", day, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); }, kSlowClock);
    ScriptedScreen<CDetailPartOfDayForecastDlg> part;
    Show("part-of-day-updating", part, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &tomorrow, 1, nullptr); },
         kSlowClock);
    ScriptedScreen<CHourlyForecastDlg> hourly;
    Show("hourly-updating", hourly, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); }, kSlowClock);
    int shown = 0;
    ScriptedScreen<CCityListDlg> cities(&shown);
    Show("city-list-updating", cities, [](auto& d) { d.RunModal(nullptr, 0, nullptr, nullptr, nullptr); },
         kSlowClock);
    ScriptedScreen<CMapsDlg> map;
    map.Then([](auto& d) { PostMessageW(d.GetHandle(), WM_COMMAND, CMapsDlg::kCmdUpdateMap, 0); },
             Soon<ScriptedScreen<CMapsDlg>>([&](auto& d) {
                 auto* header = static_cast<CSwitchControl*>(d.GetLayout()->FindControl(CMapsDlg::kHeaderId));
                 return header != nullptr && header->GetFirstText() == downloading;
             }));
    Show("maps-updating", map, [](auto& d) { d.RunOverWindow(nullptr, nullptr, nullptr); }, kSlowClock);
    ShowMainWindow("main-window-updating");
    EXPECT_TRUE(held()) << "the update ran through every picture";

    server.Control("/control/reset");
    server.Control("/control/release");
    maps.Shutdown();
    g_pMapsUpdater = nullptr;
    updater->Shutdown();
    g_pForecastUpdater = nullptr;
    GetSettings() = CSettings();
}

// The main window's menu and its settings sub-menu, captured from inside the menus' own loops: a message
// to a window of the test is handled there, and posts itself again until the menu it waits for is open.
class MenuCapture {
public:
    MenuCapture(std::string menuPicture, std::string subMenuPicture)
        : menuPicture_(std::move(menuPicture)), subMenuPicture_(std::move(subMenuPicture)) {
        WNDCLASSW info{};
        info.lpfnWndProc = &MenuCapture::Procedure;
        info.lpszClassName = kClass;
        RegisterClassW(&info);
        window_ = CreateWindowExW(0, kClass, u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        active_ = this;
    }
    ~MenuCapture() {
        active_ = nullptr;
        DestroyWindow(window_);
        UnregisterClassW(kClass, nullptr);
    }
    MenuCapture(const MenuCapture&) = delete;
    MenuCapture& operator=(const MenuCapture&) = delete;

    // Opens the menu of the window by its right soft key and captures both; true once both were taken.
    bool Run(HWND owner) {
        owner_ = owner;
        ce::InjectKey(VK_TSOFT2);
        PostMessageW(window_, WM_APP, 0, 0);
        for (int i = 0; i < 200 && stage_ != kDone; ++i) {
            ce::test::Pump();
        }
        return stage_ == kDone && menuTaken_ && subMenuTaken_;
    }

private:
    static constexpr LPCWSTR kClass = u"GalleryMenuCapture";
    static constexpr int kDone = 2;
    static constexpr int kPatience = 20000;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        MenuCapture* self = active_;
        if (message != WM_APP || self == nullptr) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        self->Look();
        return 0;
    }
    void Look() {
        const int open = OpenMenuCount(owner_);
        if (open < stage_ + 1 && ++looks_ < kPatience) {
            PostMessageW(window_, WM_APP, 0, 0);
            return;
        }
        if (stage_ == 0) {
            menuTaken_ = open >= 1 && ce::CaptureScreen(menuPicture_);
            // The fourth entry is the settings, with the longest texts.
            for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) {
                ce::InjectKey(key);
            }
            stage_ = 1;
            looks_ = 0;
            PostMessageW(window_, WM_APP, 0, 0);
            return;
        }
        subMenuTaken_ = open >= 2 && ce::CaptureScreen(subMenuPicture_);
        ce::InjectKey(VK_ESCAPE);
        ce::InjectKey(VK_ESCAPE);
        stage_ = kDone;
    }

    static inline MenuCapture* active_ = nullptr;  // the one capture under way
    std::string menuPicture_;
    std::string subMenuPicture_;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    int stage_ = 0;
    int looks_ = 0;
    bool menuTaken_ = false;
    bool subMenuTaken_ = false;
};

TEST_P(ScreenGalleryTest, TheMainMenu) {
    ASSERT_TRUE(store_.SetDWORD(u"Language", std::get<1>(GetParam()).id));
    BeginScreen("main-menu");
    {
        CMainWindow window;
        ASSERT_TRUE(window.Create(0));
        {
            mainwindow::test::RunningClock clock;
            ce::test::Pump();
        }
        MenuCapture capture(OutputFolder() + "/" + Name("main-menu") + ".png",
                            OutputFolder() + "/" + Name("main-menu-settings") + ".png");
        EXPECT_TRUE(capture.Run(window.GetHandle()));
    }
    ce::test::Pump();
    EndScreen("main-menu");
}

// Each layout of the Today item (Pocket PC) or of the Home plug-in (Smartphone), loaded from its
// library as the start screen loads it, over a white start screen.
TEST_P(ScreenGalleryTest, TheStartScreenPlugins) {
    const bool smartphone = std::string(std::get<0>(GetParam()).kind) == "smartphone";
    ASSERT_TRUE(store_.SetDWORD(u"Language", std::get<1>(GetParam()).id));
    const std::string library = smartphone ? "Lanternet.dll" : "Dawnlet.dll";
    std::filesystem::remove(device_.InstallFolder(library));
    std::filesystem::create_symlink(smartphone ? LANTERNET_DLL : DAWNLET_DLL, device_.InstallFolder(library));
    WriteForecastCache({"DEBE0001", "GBLO0001"});
    WNDCLASSW info{};
    info.lpfnWndProc = StartScreenProcedure;
    info.lpszClassName = u"GalleryStartScreen";
    RegisterClassW(&info);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND screen = CreateWindowExW(0, u"GalleryStartScreen", u"", WS_VISIBLE, work.left, work.top,
                                  work.right - work.left, work.bottom - work.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(screen, nullptr);
    const std::u16string path = u"\\Program Files\\Skyvane\\" + ce::FromUtf8(library);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    const std::vector<DWORD> layouts = smartphone ? std::vector<DWORD>{0, 1} : std::vector<DWORD>{0, 1, 3, 4};
    for (DWORD layout : layouts) {
        const std::string name = (smartphone ? "home-plugin-" : "today-item-") + std::to_string(layout);
        ASSERT_TRUE(store_.SetDWORD(smartphone ? u"HomePluginMode" : u"TodayPluginMode", layout));
        BeginScreen(name);
        ClearStartScreen(screen);
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr) << library;
        HWND item = nullptr;
        if (smartphone) {
            ShowHomePlugin(module, screen);
        } else {
            item = ShowTodayItem(module, screen);
        }
        EXPECT_TRUE(ce::CaptureScreen(OutputFolder() + "/" + Name(name) + ".png"));
        if (item != nullptr) {
            DestroyWindow(item);
        }
        FreeLibrary(module);
        ce::test::Pump();
        EndScreen(name);
    }
    if (!smartphone) {
        ShowTodayOptions(path);
    }
    CoUninitialize();
    DestroyWindow(screen);
    UnregisterClassW(u"GalleryStartScreen", nullptr);
}

INSTANTIATE_TEST_SUITE_P(Devices, ScreenGalleryTest,
                         ::testing::Combine(::testing::Values(kPocketPc, kSmartphone, kLandscape),
                                            ::testing::Values(kEnglish, kGerman)),
                         [](const ::testing::TestParamInfo<std::tuple<DeviceKind, Language>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
