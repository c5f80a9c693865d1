#include "gdi/RasterTarget.h"

namespace ce::gdi {
namespace {

pixman_color_t PixmanColor(COLORREF color) {
    return pixman_color_t{static_cast<uint16_t>(GetRValue(color) * 257), static_cast<uint16_t>(GetGValue(color) * 257),
                          static_cast<uint16_t>(GetBValue(color) * 257), 0xFFFF};
}

}  // namespace

PixmanTarget::PixmanTarget(const DeviceContext& dc) : clip(dc.EffectiveClip()) {
    if (dc.bitmap && dc.bitmap->PixmanWritable()) {
        image = dc.bitmap->NewPixmanImage();
        if (image) {
            pixman_image_set_clip_region32(image, clip.Raw());
        }
    }
}

PixmanTarget::~PixmanTarget() {
    if (image) {
        pixman_image_unref(image);
    }
}

void FillSolid(const DeviceContext& dc, const RECT& rect, COLORREF color) {
    if (!dc.bitmap || IsEmptyRect(rect)) {
        return;
    }
    PixmanTarget target(dc);
    if (target.image) {
        pixman_color_t c = PixmanColor(color);
        pixman_box32_t box{rect.left, rect.top, rect.right, rect.bottom};
        pixman_image_fill_boxes(PIXMAN_OP_SRC, target.image, &c, 1, &box);
        return;
    }
    uint32_t value = dc.bitmap->ToNative(color);
    ForEachClippedPixel(dc, rect, [&](int x, int y) { dc.bitmap->WriteRaw(x, y, value); });
}

void FillWithBrush(const DeviceContext& dc, const RECT& rect, const Brush& brush) {
    if (brush.IsNull() || !dc.bitmap || IsEmptyRect(rect)) {
        return;
    }
    if (!brush.pattern) {
        FillSolid(dc, rect, brush.color);
        return;
    }
    const Bitmap& pattern = *brush.pattern;
    Bitmap& target = *dc.bitmap;
    ForEachClippedPixel(dc, rect, [&](int x, int y) {
        COLORREF c = pattern.FromNative(pattern.ReadRaw(x % pattern.Width(), y % pattern.Height()));
        target.WriteRaw(x, y, target.ToNative(c));
    });
}

}  // namespace ce::gdi
