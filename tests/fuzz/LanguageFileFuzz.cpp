// A language file as installed: loaded as the current language, then every template the program
// formats handed out and formatted with exactly the arguments its callers pass.
#include <cstddef>
#include <cstdint>

#include "CLocalization.h"
#include "FuzzDevice.h"
#include "LocalizationKeys.h"

namespace {

void FormatAsTheCallersDo(const char* conversions, LPCWSTR text) {
    WCHAR out[1024];
    const std::string passed = conversions;
    if (passed == "s") {
        wsprintfW(out, text, u"12:30");
    } else if (passed == "d") {
        wsprintfW(out, text, 2026);
    } else if (passed == "dd") {
        wsprintfW(out, text, 6, 6);
    } else if (passed == "ds") {
        wsprintfW(out, text, 5, u"min");
    } else if (passed == "ss") {
        wsprintfW(out, text, u"1.50", u"MB");
    } else if (passed == "ssss") {
        wsprintfW(out, text, u"1.5", u"MB", u"20.0", u"MB");
    } else {
        wsprintfW(out, text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice::Get().Write("Program Files/Skyvane/Loc/loc.0407.txt", data, size);
    CLocalization localization;
    // As the program starts: the languages found in the folder, then the setting's one loaded.
    if (!localization.Load(0x0407)) {
        return 0;
    }
    for (const LocalizationTemplate& entry : kLocalizationTemplates) {
        WCHAR text[1024];
        if (localization.GetTemplate(entry.key, text, 1024)) {
            FormatAsTheCallersDo(entry.conversions, text);
        }
    }
    for (const char* key : kLocalizationKeys) {
        WCHAR text[64];
        localization.GetString(key, text, 64);
    }
    return 0;
}
