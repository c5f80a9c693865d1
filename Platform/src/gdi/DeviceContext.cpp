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

bool DeviceContext::MayDrawAt(int x, int y) const {
    return bitmap && bitmap->Contains(x, y) && (!visible || visible->Contains(x, y)) &&
           (!clip || clip->Contains(Clamp(int64_t{x} - origin.x), Clamp(int64_t{y} - origin.y)));
}

Region DeviceContext::ClipInDcCoordinates() const {
    Region result = EffectiveClip();
    result.Offset(-origin.x, -origin.y);
    return result;
}

std::shared_ptr<DeviceContext> LookupDC(HDC hdc) {
    // DeviceContext is the only object of these two types: its type tells without a run-time cast,
    // which every drawing call would pay.
    std::shared_ptr<GdiObject> object = LookupObject(reinterpret_cast<HGDIOBJ>(hdc));
    std::shared_ptr<DeviceContext> dc;
    if (object && (object->Type() == OBJ_DC || object->Type() == OBJ_MEMDC)) {
        dc = std::static_pointer_cast<DeviceContext>(std::move(object));
    }
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return dc;
}

}  // namespace ce::gdi
