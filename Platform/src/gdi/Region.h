// A region: a set of rectangles (pixman's y-x banded form), as an HRGN and as a DC's clip.
#pragma once

#include <pixman.h>

#include "gdi/GdiObject.h"

namespace ce::gdi {

class Region : public GdiObject {
public:
    Region();
    explicit Region(const RECT& rect);
    Region(const Region& other);
    Region& operator=(const Region& other);
    ~Region() override;

    DWORD Type() const override { return OBJ_REGION; }
    int Describe(int, void*) const override { return 0; }

    void SetRect(const RECT& rect);
    void Intersect(const Region& other);
    void Unite(const Region& other);
    void Subtract(const Region& other);
    void Xor(const Region& other);
    void Offset(int dx, int dy);

    bool IsEmpty() const;
    bool Contains(int x, int y) const;
    RECT Bounds() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;

    pixman_region32_t* Raw() { return &region_; }
    const pixman_region32_t* Raw() const { return &region_; }

private:
    pixman_region32_t region_;
};

}  // namespace ce::gdi
