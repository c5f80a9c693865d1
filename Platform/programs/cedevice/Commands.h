// The commands of cedevice. Each gets the device root (absolute, already made this process's device,
// except for init) and the arguments after it, and returns the tool's exit code.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace cedevice {

using Arguments = std::vector<std::string>;

// Exit codes of the tool.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDevice = 3;
constexpr int kExitBadPath = 4;

// Prints "cedevice: <message>" to stderr and returns the code.
int Fail(int code, const std::string& message);

// The "name=host path" lines of a manifest that the build writes; empty when it cannot be read.
std::map<std::string, std::string> ReadManifest(const std::string& file);

int InitDevice(const std::string& root, const Arguments& arguments);
int InstallProgram(const std::string& root, const Arguments& arguments);
int RunProgram(const std::string& root, const Arguments& arguments);
int EditRegistry(const std::string& root, const Arguments& arguments);
int ListFolder(const std::string& root, const Arguments& arguments);
int PrintLog(const std::string& root, const Arguments& arguments);
int ListNotifications(const std::string& root, const Arguments& arguments);
int MoveClock(const std::string& root, const Arguments& arguments);
int TakeScreenshot(const std::string& root, const Arguments& arguments);
int TapScreen(const std::string& root, const Arguments& arguments);
int HoldStylus(const std::string& root, const Arguments& arguments);
int DragStylus(const std::string& root, const Arguments& arguments);
int PressKey(const std::string& root, const Arguments& arguments);
int TypeText(const std::string& root, const Arguments& arguments);

}  // namespace cedevice
