// The Home plug-in refresh: a program asks the running start screen to reload the plug-ins of a class.
#include <cstring>

#include "ce/module.h"
#include "ce/shell.h"

extern "C" {

CE_API HRESULT SHOnPluginDataChange(REFCLSID clsid) {
    HWND screen = FindWindowW(ce::kStartScreenClass, nullptr);
    if (screen == nullptr) {
        return S_FALSE;
    }
    static_assert(sizeof(CLSID) == sizeof(WPARAM) + sizeof(LPARAM));
    WPARAM first = 0;
    LPARAM second = 0;
    std::memcpy(&first, &clsid, sizeof(first));
    std::memcpy(&second, reinterpret_cast<const BYTE*>(&clsid) + sizeof(first), sizeof(second));
    return PostMessageW(screen, ce::kPluginDataChangeMessage, first, second) ? S_OK : E_FAIL;
}

}  // extern "C"

// The shell library's exports by ordinal, for programs that load it by name ("aygshell"). The layer's
// table has a name of its own, so that it never meets a module's table of the same name.
static const CeOrdinalExport kLayerOrdinals[] = {CE_ORDINAL(2008, SHOnPluginDataChange)};
extern "C" CE_EXPORT const CeOrdinalTable CeLayerOrdinals = {CE_TABLE_COUNT_(kLayerOrdinals), kLayerOrdinals};
