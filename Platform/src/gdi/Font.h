// A font as the program asked for it (its LOGFONTW); the face that draws it is resolved on use.
#pragma once


#include <memory>

#include "gdi/FontInstance.h"
#include "gdi/GdiObject.h"

namespace ce::gdi {

class Font : public GdiObject {
public:
    explicit Font(const LOGFONTW& logFont) : logFont(logFont) {}

    DWORD Type() const override { return OBJ_FONT; }
    int Describe(int size, void* buffer) const override {
        return CopyOut(logFont, size, buffer);
    }

    // The instance that measures and draws this font, made on first use.
    FontInstance& Instance() {
        if (!instance_) {
            instance_ = FontInstance::For(logFont);
        }
        return *instance_;
    }

    LOGFONTW logFont;

private:
    std::shared_ptr<FontInstance> instance_;
};

}  // namespace ce::gdi
