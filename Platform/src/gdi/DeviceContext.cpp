#include "gdi/DeviceContext.h"

namespace ce::gdi {

Region DeviceContext::EffectiveClip() const {
    Region result(RECT{0, 0, bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0});
    if (visible) {
        result.Intersect(*visible);
    }
    if (clip) {
        Region shifted(*clip);
        shifted.Offset(origin.x, origin.y);
        result.Intersect(shifted);
    }
    return result;
}

Region DeviceContext::ClipInDcCoordinates() const {
    Region result = EffectiveClip();
    result.Offset(-origin.x, -origin.y);
    return result;
}

std::shared_ptr<DeviceContext> LookupDC(HDC hdc) {
    auto dc = LookupObjectAs<DeviceContext>(reinterpret_cast<HGDIOBJ>(hdc));
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return dc;
}

}  // namespace ce::gdi
