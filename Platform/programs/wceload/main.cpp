// The system installer stand-in, "\Windows\wceload.exe": takes a package of its own format (see
// InstallPackage.h) as its command line, "[/noui] [/other switches] "<device path>"", records what it was
// handed in the device log "installer" and runs the package's install steps. Ends with 0 when the
// package was installed, 1 when it was not, 2 for a command line without a package.
#include <string>

#include "PackageInstaller.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

struct CommandLine {
    std::u16string package;
    bool quiet = false;
};

// Switches begin with '/'; the package is the first quoted text, or else the first other word.
CommandLine Parse(std::u16string_view text) {
    CommandLine parsed;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == u' ' || text[at] == u'\t') {
            ++at;
            continue;
        }
        size_t end;
        std::u16string word;
        if (text[at] == u'"') {
            end = text.find(u'"', at + 1);
            word = std::u16string(text.substr(at + 1, end == std::u16string_view::npos ? end : end - at - 1));
            end = end == std::u16string_view::npos ? text.size() : end + 1;
        } else {
            end = text.find_first_of(u" \t", at);
            end = end == std::u16string_view::npos ? text.size() : end;
            word = std::u16string(text.substr(at, end - at));
            if (word[0] == u'/') {
                parsed.quiet = parsed.quiet || _wcsicmp(word.c_str(), u"/noui") == 0;
                word.clear();
            }
        }
        if (parsed.package.empty() && !word.empty()) {
            parsed.package = word;
        }
        at = end;
    }
    return parsed;
}

}  // namespace

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    CommandLine parsed = Parse(commandLine != nullptr ? commandLine : u"");
    if (parsed.package.empty()) {
        ce::AppendDeviceLog("installer", {{"event", "failed"},
                                          {"command_line", ce::ToUtf8(commandLine != nullptr ? commandLine : u"")},
                                          {"reason", "no package was named"}});
        return 2;
    }
    PackageInstaller installer(parsed.package, parsed.quiet);
    return installer.Install() ? 0 : 1;
}
