// cedevice screenshot, tap, key and text: the screen of the program that runs on the device now.
#include <charconv>
#include <filesystem>

#include "Commands.h"
#include "ce/device.h"
#include "ce/types.h"

namespace cedevice {
namespace {

int Answer(DWORD status, const std::string& what) {
    if (status == 0) {
        return kExitDone;
    }
    if (status == ERROR_NOT_FOUND) {
        return Fail(kExitFailed, "no program with a window runs on the device");
    }
    return Fail(status == ERROR_INVALID_PARAMETER ? kExitUsage : kExitFailed, what);
}

bool ParseInt(const std::string& text, int* value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int TakeScreenshot(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1 || arguments[0].empty()) {
        return Fail(kExitUsage, "screenshot wants one FILE");
    }
    std::error_code error;
    std::string file = std::filesystem::absolute(arguments[0], error).string();
    return Answer(ce::RemoteScreenshot(file), "cannot write " + file);
}

int TapScreen(const std::string&, const Arguments& arguments) {
    int x = 0, y = 0;
    if (arguments.size() != 2 || !ParseInt(arguments[0], &x) || !ParseInt(arguments[1], &y)) {
        return Fail(kExitUsage, "tap wants X and Y in screen pixels");
    }
    return Answer(ce::RemoteTap(x, y), "the tap did not arrive");
}

int PressKey(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Fail(kExitUsage, "key wants one NAME");
    }
    return Answer(ce::RemoteKey(arguments[0]), "unknown key '" + arguments[0] + "'");
}

int TypeText(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Fail(kExitUsage, "text wants one TEXT");
    }
    return Answer(ce::RemoteText(ce::FromUtf8(arguments[0])), "the text did not arrive");
}

}  // namespace cedevice
