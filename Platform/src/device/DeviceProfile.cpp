// device.ini: read once per process, cached, replaced atomically when a key is written.
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "ce/device.h"
#include "device/AtomicFile.h"
#include "device/IniDocument.h"

namespace ce {
namespace {

struct ProfileDefault {
    const char* section;
    const char* key;
    const char* value;
};

// What a device has when its profile does not say otherwise (or says it in a way that cannot be read).
constexpr ProfileDefault kDefaults[] = {
    {"device", "kind", "pocketpc"},
    {"device", "screen_width", "240"},
    {"device", "screen_height", "320"},
    {"device", "orientation", "portrait"},
    {"device", "theme_color", "0x6B9ABD"},
    {"device", "device_id", "SKYVANE-DEVICE-0001"},
    {"device", "locale", "0x0409"},
    {"device", "timezone", "UTC"},
    {"device", "roaming", "0"},
    {"device", "power", "ac"},
    {"device", "free_space_mb", "64"},
    {"connection", "destinations", "Internet;Work"},
    {"connection", "default", "Internet"},
    {"connection", "proxy", ""},
    {"mail", "accounts", "Outlook E-mail"},
};

const char* DefaultOf(const std::string& section, const std::string& key) {
    for (const ProfileDefault& entry : kDefaults) {
        if (strcasecmp(entry.section, section.c_str()) == 0 && strcasecmp(entry.key, key.c_str()) == 0) {
            return entry.value;
        }
    }
    return nullptr;
}

struct ProfileCache {
    std::mutex lock;
    bool loaded = false;
    detail::IniDocument document;
};

ProfileCache& Cache() {
    static ProfileCache* cache = new ProfileCache;
    return *cache;
}

std::string ProfilePath() {
    std::string root = DeviceRoot();
    return root.empty() ? std::string() : root + "/device.ini";
}

detail::IniDocument LoadDocument() {
    std::string text;
    std::string path = ProfilePath();
    if (path.empty() || !detail::ReadWholeFile(path, text)) {
        text.clear();
    }
    return detail::IniDocument::Parse(text);
}

// Called with the cache's lock held.
const detail::IniDocument& LoadedDocument(ProfileCache& cache) {
    if (!cache.loaded) {
        cache.document = LoadDocument();
        cache.loaded = true;
    }
    return cache.document;
}

std::optional<std::string> CachedValue(const std::string& section, const std::string& key) {
    ProfileCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    return LoadedDocument(cache).Get(section, key);
}

// Accepts decimal or 0x-prefixed hexadecimal, nothing else (a leading 0 is not octal here).
std::optional<long> ParseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    long value = hex ? static_cast<long>(std::strtoul(begin, &end, 16)) : std::strtol(begin, &end, 10);
    if (errno != 0 || end == begin || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

bool IsSafeName(const std::string& text) {
    return !text.empty() && text.find_first_of("[]=\r\n;#") == std::string::npos &&
           text.find('\0') == std::string::npos;
}

// Serialises writers of device.ini across the processes of the device.
class ProfileWriteLock {
public:
    explicit ProfileWriteLock(const std::string& root) {
        detail::MakeFolders(root + "/run");
        fd_ = open((root + "/run/profile.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0) {
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~ProfileWriteLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    ProfileWriteLock(const ProfileWriteLock&) = delete;
    ProfileWriteLock& operator=(const ProfileWriteLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace

std::string ProfileString(const std::string& section, const std::string& key, const std::string& fallback) {
    if (std::optional<std::string> value = CachedValue(section, key)) {
        return *value;
    }
    const char* builtIn = DefaultOf(section, key);
    return builtIn ? std::string(builtIn) : fallback;
}

long ProfileInt(const std::string& section, const std::string& key, long fallback) {
    if (std::optional<std::string> value = CachedValue(section, key)) {
        if (std::optional<long> number = ParseNumber(*value)) {
            return *number;
        }
    }
    const char* builtIn = DefaultOf(section, key);
    std::optional<long> number = builtIn ? ParseNumber(builtIn) : std::nullopt;
    return number ? *number : fallback;
}

std::vector<ProfileEntry> ProfileSection(const std::string& section) {
    ProfileCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    return LoadedDocument(cache).Section(section);
}

void ReloadProfile() {
    ProfileCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    cache.loaded = false;
    cache.document = detail::IniDocument();
}

bool SetProfileString(const std::string& section, const std::string& key, const std::string& value) {
    std::string root = DeviceRoot();
    if (root.empty() || !IsSafeName(section) || !IsSafeName(key) ||
        value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    bool written;
    {
        ProfileWriteLock lock(root);
        detail::IniDocument document = LoadDocument();  // the file as it is now, not this process's copy
        document.Set(section, key, value);
        written = detail::ReplaceFileAtomically(ProfilePath(), document.Text());
    }
    ReloadProfile();
    return written;
}

DeviceKind GetDeviceKind() {
    return strcasecmp(ProfileString("device", "kind").c_str(), "smartphone") == 0 ? DeviceKind::Smartphone
                                                                                  : DeviceKind::PocketPC;
}

}  // namespace ce
