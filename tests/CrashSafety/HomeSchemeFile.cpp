// The Home scheme, placed and rewritten the way the program installs it: the scheme template is moved
// over the scheme file, then CHomePlugin adds its background line in a rewrite of the whole file. The
// Home screen's own reader must find the scheme of the generation, before or after its rewrite.
#include <string>

#include "CFSFile.h"
#include "CSysInfo.h"
#include "HomeScheme.h"
#include "SavedFile.h"
#include "Shell/CHomePlugin.h"
#include "ce/registry.h"

namespace crash_test {
namespace {

constexpr char16_t kTemplate[] = u"\\Temp\\HomeXML\\Weather.home.240.xml";

std::u16string PluginName(uint32_t generation) {
    std::u16string name = u"Skyvane ";
    for (char c : std::to_string(generation)) {
        name += static_cast<char16_t>(c);
    }
    return name;
}

std::string SchemeText(uint32_t generation) {
    std::string name = "Skyvane " + std::to_string(generation);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<home>\n    <author>Quillon Software</author>\n"
           "    <title>Skyvane</title>\n"
           "    <default font-face=\"Tahoma\" font-size=\"16\" font-weight=\"normal\" fgcolor=\"COLOR_HOMETEXT\"\n"
           "             padding-left=\"3\" padding-right=\"3\" padding-top=\"3\" padding-bottom=\"3\">\n"
           "    </default>\n"
           "    <plugin clsid=\"{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\" name=\"" +
           name + "\">\n    </plugin>\n</home>\n";
}

bool SchemePath(WCHAR (&path)[MAX_PATH]) {
    WCHAR folder[MAX_PATH];
    return CSysInfo::ExpandPath(CHomePlugin::kSchemeFolder, folder, MAX_PATH) &&
           wsprintfW(path, u"%s\\%s", folder, CHomePlugin::kSchemeName) > 0;
}

class HomeSchemeFile : public SavedFile {
public:
    // The scheme file is the active one, as after an install.
    bool Prepare() override {
        WCHAR folder[MAX_PATH];
        WCHAR path[MAX_PATH];
        HKEY key = nullptr;
        if (!CSysInfo::ExpandPath(CHomePlugin::kSchemeFolder, folder, MAX_PATH) || !SchemePath(path) ||
            RegCreateKeyExW(HKEY_CURRENT_USER, CHomePlugin::kHomeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        auto bytes = static_cast<DWORD>((lstrlenW(path) + 1) * sizeof(WCHAR));
        bool named = RegSetValueExW(key, u"Scheme", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), bytes) ==
                     ERROR_SUCCESS;
        RegCloseKey(key);
        CreateDirectoryW(u"\\Application Data", nullptr);
        CreateDirectoryW(u"\\Temp", nullptr);
        CreateDirectoryW(CHomePlugin::kTemplateFolder, nullptr);
        return named && (CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }

    bool Save(uint32_t generation) override {
        WCHAR path[MAX_PATH];
        return SchemePath(path) && WriteTemplate(generation) &&
               MoveFileExW(kTemplate, path, MOVEFILE_REPLACE_EXISTING) && CHomePlugin::RewriteSchemeFile(path);
    }

protected:
    // Before the rewrite the scheme has no background yet; both are whole schemes of the generation.
    bool Holds(uint32_t generation) override {
        HomeScheme scheme = HomeScheme::ReadActive();
        const std::u16string& background = scheme.Background();
        return scheme.Plugins().size() == 1 && scheme.Plugins()[0].name == PluginName(generation) &&
               (background.empty() || background == u"COLOR_TRAYGRADLEFT");
    }

private:
    // The template comes from the installer, written in place: it is not the file under test.
    static bool WriteTemplate(uint32_t generation) {
        const std::string text = SchemeText(generation);
        CFSFile file;
        DWORD written = 0;
        return file.Open(kTemplate, CREATE_ALWAYS, GENERIC_WRITE, 0) &&
               file.Write(text.data(), static_cast<DWORD>(text.size()), &written) && written == text.size() &&
               file.Close();
    }
};

}  // namespace

std::unique_ptr<SavedFile> MakeHomeSchemeFile() { return std::make_unique<HomeSchemeFile>(); }

}  // namespace crash_test
