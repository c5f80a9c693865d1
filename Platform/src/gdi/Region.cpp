#include "gdi/Region.h"

namespace ce::gdi {

Region::Region() { pixman_region32_init(&region_); }

Region::Region(const RECT& rect) : Region() { SetRect(rect); }

Region::Region(const Region& other) : GdiObject() {
    pixman_region32_init(&region_);
    pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
}

Region& Region::operator=(const Region& other) {
    if (this != &other) {
        pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
    }
    return *this;
}

Region::~Region() { pixman_region32_fini(&region_); }

void Region::SetRect(const RECT& r) {
    pixman_region32_fini(&region_);
    if (r.right > r.left && r.bottom > r.top) {
        pixman_region32_init_rect(&region_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                  static_cast<unsigned>(r.bottom - r.top));
    } else {
        pixman_region32_init(&region_);
    }
}

void Region::Intersect(const Region& other) {
    pixman_region32_intersect(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Region::Unite(const Region& other) {
    pixman_region32_union(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Region::Subtract(const Region& other) {
    pixman_region32_subtract(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Region::Xor(const Region& other) {
    Region both(*this);
    both.Intersect(other);
    Unite(other);
    Subtract(both);
}

void Region::Offset(int dx, int dy) { pixman_region32_translate(&region_, dx, dy); }

bool Region::IsEmpty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&region_)); }

bool Region::Contains(int x, int y) const {
    return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&region_), x, y, nullptr);
}

RECT Region::Bounds() const {
    if (IsEmpty()) {
        return RECT{0, 0, 0, 0};
    }
    const pixman_box32_t* box = pixman_region32_extents(const_cast<pixman_region32_t*>(&region_));
    return RECT{box->x1, box->y1, box->x2, box->y2};
}

int Region::Complexity() const {
    int count = pixman_region32_n_rects(const_cast<pixman_region32_t*>(&region_));
    return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace ce::gdi
