// A font as the program asked for it (its LOGFONTW); the face that draws it is resolved on use.
#pragma once

#include <cstring>

#include "gdi/GdiObject.h"

namespace ce::gdi {

class Font : public GdiObject {
public:
    explicit Font(const LOGFONTW& logFont) : logFont(logFont) {}

    DWORD Type() const override { return OBJ_FONT; }
    int Describe(int size, void* buffer) const override {
        if (!buffer) {
            return sizeof logFont;
        }
        if (size < static_cast<int>(sizeof logFont)) {
            return 0;
        }
        std::memcpy(buffer, &logFont, sizeof logFont);
        return sizeof logFont;
    }

    LOGFONTW logFont;
};

}  // namespace ce::gdi
