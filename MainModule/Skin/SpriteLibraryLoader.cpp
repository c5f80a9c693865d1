#include "Skin/SpriteLibraryLoader.h"

#include <mutex>

#include "CSysInfo.h"
#include "ce/user.h"

namespace {

constexpr LPCWSTR kLibraryPath = u"%INSTALL_DIR%\\Pictorra.dll";

struct SpriteLibraryState {
    std::mutex lock;
    HMODULE module = nullptr;
};

SpriteLibraryState& State() {
    static SpriteLibraryState state;
    return state;
}

}  // namespace

bool LoadSpriteLibrary() {
    SpriteLibraryState& state = State();
    std::unique_lock guard(state.lock);
    if (state.module != nullptr) {
        return true;
    }
    WCHAR path[MAX_PATH];
    if (!CSysInfo::ExpandPath(kLibraryPath, path, MAX_PATH)) {
        return false;
    }
    state.module = LoadLibraryW(path);
    if (state.module == nullptr) {
        guard.unlock();
        MessageBoxW(nullptr, u"Load SVG library failure(Out of memory).", u"Skyvane Today", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

void FreeSpriteLibrary() {
    SpriteLibraryState& state = State();
    std::lock_guard guard(state.lock);
    if (state.module != nullptr) {
        FreeLibrary(state.module);
        state.module = nullptr;
    }
}

HMODULE GetSpriteLibrary() {
    SpriteLibraryState& state = State();
    std::lock_guard guard(state.lock);
    return state.module;
}

CSpritePackage* NewSpriteObject() {
    using GetSpriteObjectFn = CSpritePackage* (*)();
    HMODULE module = GetSpriteLibrary();
    auto getSpriteObject =
        module != nullptr ? reinterpret_cast<GetSpriteObjectFn>(GetProcAddressW(module, u"GetSpriteObject")) : nullptr;
    return getSpriteObject != nullptr ? getSpriteObject() : nullptr;
}
