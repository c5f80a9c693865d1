// The program's one font source: fonts asked for by a size index (0 to 18) and style, created once and
// owned by the factory until it goes.
#pragma once

#include <map>

#include "CSysInfo.h"
#include "ce/gdi.h"

class CGdiFactory {
public:
    static constexpr int kSizeCount = 19;
    static constexpr int kFaceLength = 64;

    explicit CGdiFactory(const CSysInfo& sysInfo);
    CGdiFactory(const CGdiFactory&) = delete;
    CGdiFactory& operator=(const CGdiFactory&) = delete;
    virtual ~CGdiFactory();

    // The pixel height of a size index on this device; 0 for an index that does not exist.
    int GetFontHeight(int sizeIndex) const;
    // The cached font, or a new one; the caller never deletes it. Null when it cannot be created.
    // Its style flags by name.
    static constexpr bool kClearType = true;
    static constexpr bool kBold = true;
    static constexpr bool kRegular = false;
    static constexpr bool kNoUnderline = false;
    HFONT GetFont(int sizeIndex, bool clearType, bool bold, bool underline);
    void DeleteAllFonts();
    LPCWSTR GetFaceName() const { return m_faceName; }

private:
    void ReadSystemFace();

    const CSysInfo& m_sysInfo;
    WCHAR m_faceName[kFaceLength] = {};
    std::map<DWORD, HFONT> m_fonts;
};
