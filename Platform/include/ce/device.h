// The layer's own Linux-side interface: the device root, its profile, path mapping, the clock and the
// records that the stand-in programs keep.
//
// All state of one emulated device lives below the folder named by CE_DEVICE_ROOT:
//   device.ini   the device profile          fs/     the device file system
//   registry.db  the registry                run/    the device server's sockets and state
//   log/         JSON-lines records of what the stand-in programs did
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ce/types.h"

namespace ce {

// ---- device root --------------------------------------------------------------------------------
// The folder of CE_DEVICE_ROOT, without a trailing slash; empty when the variable is not set.
CE_API std::string DeviceRoot();
// Points this process at another device (tests); also sets CE_DEVICE_ROOT for child processes.
CE_API void SetDeviceRoot(const std::string& root);

// ---- device profile (device.ini) -------------------------------------------------------------------
// Sections and keys, with their defaults:
//   [device]     kind=pocketpc|smartphone, screen_width=240, screen_height=320, orientation=portrait,
//                theme_color=0x6B9ABD (COLORREF), device_id=..., locale=0x0409, timezone=UTC,
//                roaming=0, power=ac, free_space_mb=...,
//                registration=home|roaming|denied|unregistered|attempting|none (empty: from roaming)
//   [connection] destinations=Internet;Work, default=Internet, proxy=host:port (empty: none)
//   [serial]     COM1=/dev/pts/N ...       [storage] cards=Storage Card;...
//   [mail]       accounts=Outlook E-mail;...
//   [hosts]      host name=address:port   (the device's network, applied by the HTTP layer)
struct ProfileEntry {
    std::string key;
    std::string value;
};
// A key that is missing, or an int that does not parse (decimal or 0x hex), reads as its default above;
// the fallback is for keys without one. Section and key names compare without case.
// The profile is read once per process and cached; ReloadProfile() drops the cache.
CE_API std::string ProfileString(const std::string& section, const std::string& key,
                                 const std::string& fallback = {});
CE_API long ProfileInt(const std::string& section, const std::string& key, long fallback);
CE_API std::vector<ProfileEntry> ProfileSection(const std::string& section);
CE_API void ReloadProfile();
// Writes one key of device.ini (creating the section), replacing the file atomically and keeping its
// other lines; false for names with '[', ']', '=', ';', '#' or line breaks, or values with line breaks.
CE_API bool SetProfileString(const std::string& section, const std::string& key, const std::string& value);

enum class DeviceKind { PocketPC, Smartphone };
CE_API DeviceKind GetDeviceKind();

// ---- device paths -------------------------------------------------------------------------------
// Maps a device path ("\Program Files\Skyvane\Cities.dat") to a host path below <root>/fs. Every
// component is matched without regard to case; a component that does not exist (yet) keeps the
// spelling given, so the result may name a file to be created. Relative paths are taken from "\".
// Empty when there is no device root or the path is not valid ("..", a NUL).
CE_API std::string HostPath(std::u16string_view devicePath);
// The device path of a host path below <root>/fs, or empty when it lies outside.
CE_API std::u16string DevicePath(const std::string& hostPath);

// ---- the clock ----------------------------------------------------------------------------------
// Every clock of the layer reads this one. The virtual clock is kept in <root>/run/clock, so that all
// processes of a device share it; it moves only when advanced, and waits with time-outs end when it
// passes their deadline.
CE_API bool VirtualClockEnabled();
// Switches the device to the virtual clock starting at the given UTC time (ms since 1970).
CE_API void EnableVirtualClock(uint64_t startUnixMs);
CE_API void DisableVirtualClock();
CE_API void AdvanceVirtualClock(uint64_t milliseconds);
// How many threads of this process wait with a time-out now: a test advances the clock once the thread
// it drives has gone to sleep, not before.
CE_API size_t TimedWaitsInProgress();
// UTC now, ms since 1970, real or virtual.
CE_API uint64_t ClockUnixMs();
// Monotonic milliseconds, real or virtual.
CE_API uint64_t ClockTickMs();
// Sets the device's UTC time (SetSystemTime): the virtual clock jumps to it; the real clock keeps the
// difference, shared by the device's processes. The tick count does not move.
CE_API void SetClockUnixMs(uint64_t unixMs);

// ---- power cuts (tests) ---------------------------------------------------------------------------
// From now on the file layer keeps what this process changes in files and folders since their last
// sync; right before its `step`-th change (a write, truncation, sync, new name, rename or removal) it
// leaves the disk as a power cut may, chosen from `seed` (unsynced data lost, kept in part or torn,
// unsynced names lost from some point on), and kills the process with SIGKILL.
CE_API void SchedulePowerCut(uint32_t step, uint32_t seed);

// ---- records of the stand-in programs -----------------------------------------------------------
// Appends one JSON object as a line to <root>/log/<name>.jsonl (e.g. "programs", "urls", "messages",
// "installer"). The fields are written as JSON strings.
CE_API bool AppendDeviceLog(const std::string& name, const std::vector<std::pair<std::string, std::string>>& fields);
CE_API std::vector<std::string> ReadDeviceLog(const std::string& name);
CE_API std::string JsonEscape(std::string_view text);

}  // namespace ce

namespace ce {
// ---- keys (the window manager) -------------------------------------------------------------------
// A key held down or let go on its own (InjectKey below presses and releases).
CE_API void InjectKeyDown(UINT virtualKey);
CE_API void InjectKeyUp(UINT virtualKey);
// The virtual key of a key name ("Left", "Right", "Up", "Down", "Enter", "Back", "SoftLeft", "SoftRight",
// "Home", "End", "Tab", "Space", "Backspace", "Delete", "F1".."F4", a single letter or digit); case is
// ignored. 0 for an unknown name.
CE_API UINT VirtualKeyFromName(std::string_view name);

// ---- a running program, from outside (the device tool) -------------------------------------------
// Each request goes to the program that shows the device's foreground window, through its window
// manager. 0 when done, else the platform's error code: ERROR_NOT_FOUND when no program with a window
// runs on the device, ERROR_INVALID_PARAMETER for an unknown key name, ERROR_WRITE_FAULT when the
// screenshot cannot be written.
CE_API DWORD RemoteScreenshot(const std::string& hostPath);
CE_API DWORD RemoteTap(int x, int y);
CE_API DWORD RemoteKey(std::string_view keyName);
CE_API DWORD RemoteText(std::u16string_view text);
// One stylus event at a screen point; tap-and-hold and drags are made of them.
enum class RemoteStylusAction { Down = 0, Move = 1, Up = 2 };
CE_API DWORD RemoteStylus(RemoteStylusAction action, int x, int y);
}  // namespace ce

namespace ce {
// ---- process start-up ---------------------------------------------------------------------------
// Called by the entry shim before WinMain: records the command line (GetCommandLineW), enters the
// process in the device's process table and returns the command line that WinMain receives.
CE_API std::u16string StartDeviceProcess(int argc, char** argv);
// The device path of this process's program ("\Program Files\Skyvane\Skyvane.exe"), empty when it was
// not started from the device's file system.
CE_API std::u16string ProcessImagePath();
}  // namespace ce

namespace ce {
// ---- the screen and its input ---------------------------------------------------------------------
// The display back end: "sdl" (a desktop window showing the device screen, scaled) when CE_DISPLAY is
// "sdl", or when CE_DISPLAY is unset and DISPLAY is set; otherwise (and when no window can be opened)
// "headless".
CE_API std::string DisplayBackendName();
// Writes the device screen as it shows now to a PNG file of the screen's size, replacing the file
// atomically; false when it cannot be written.
CE_API bool CaptureScreen(const std::string& path);
// Input as the stylus and the keys give it (device screen pixels; the platform's virtual-key codes),
// queued for the window manager in this order.
CE_API void InjectStylusDown(int x, int y);
CE_API void InjectStylusMove(int x, int y);
CE_API void InjectStylusUp(int x, int y);
CE_API void InjectTap(int x, int y);
// Down at the start, `steps` moves along the line, up at the end.
CE_API void InjectDrag(int x0, int y0, int x1, int y1, int steps);
// A key pressed and released.
CE_API void InjectKey(UINT virtualKey);
// Typed characters.
CE_API void InjectText(std::u16string_view text);
}  // namespace ce
