#include "CGdiFactory.h"

#include "ce/registry.h"

namespace {

constexpr DWORD kClearTypeKey = 0x10000;
constexpr DWORD kBoldKey = 0x20000;
constexpr DWORD kUnderlineKey = 0x40000;

// Heights before scaling: square Pocket PC, other Pocket PC, Smartphone of class 176, other Smartphone.
constexpr int kFontHeights[CGdiFactory::kSizeCount][4] = {
    {18, 18, 18, 20}, {12, 13, 13, 15}, {18, 18, 18, 20}, {14, 14, 14, 16}, {18, 18, 18, 20},
    {18, 18, 18, 20}, {18, 18, 14, 20}, {24, 24, 24, 26}, {16, 16, 16, 18}, {18, 18, 16, 19},
    {14, 14, 13, 15}, {13, 13, 12, 14}, {12, 12, 12, 12}, {13, 16, 16, 16}, {11, 11, 11, 11},
    {12, 12, 12, 12}, {13, 13, 13, 13}, {18, 18, 13, 18}, {16, 16, 11, 16},
};

int DeviceColumn(const CSysInfo& sysInfo) {
    if (sysInfo.IsSmartphone()) {
        return sysInfo.GetScreenClass() == 176 ? 2 : 3;
    }
    return sysInfo.IsSquareScreen() ? 0 : 1;
}

}  // namespace

CGdiFactory::CGdiFactory(const CSysInfo& sysInfo) : m_sysInfo(sysInfo) {
    lstrcpynW(m_faceName, u"Tahoma", kFaceLength);
    ReadSystemFace();
}

CGdiFactory::~CGdiFactory() { DeleteAllFonts(); }

// The device's system font, when one is configured, replaces the default face.
void CGdiFactory::ReadSystemFace() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\GDI\\SysFnt", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    WCHAR face[kFaceLength] = {};
    DWORD type = 0;
    // One character short of the buffer, so that a value without a terminator still ends in one.
    DWORD size = (kFaceLength - 1) * sizeof(WCHAR);
    if (RegQueryValueExW(key, u"Nm", nullptr, &type, reinterpret_cast<BYTE*>(face), &size) == ERROR_SUCCESS &&
        type == REG_SZ && face[0] != u'\0') {
        lstrcpynW(m_faceName, face, kFaceLength);
    }
    RegCloseKey(key);
}

int CGdiFactory::GetFontHeight(int sizeIndex) const {
    if (sizeIndex < 0 || sizeIndex >= kSizeCount) {
        return 0;
    }
    return m_sysInfo.ScaleToScreen(kFontHeights[sizeIndex][DeviceColumn(m_sysInfo)]);
}

HFONT CGdiFactory::GetFont(int sizeIndex, bool clearType, bool bold, bool underline) {
    if (sizeIndex < 0 || sizeIndex >= kSizeCount) {
        return nullptr;
    }
    const DWORD key = static_cast<DWORD>(sizeIndex) | (clearType ? kClearTypeKey : 0) | (bold ? kBoldKey : 0) |
                      (underline ? kUnderlineKey : 0);
    if (auto found = m_fonts.find(key); found != m_fonts.end()) {
        return found->second;
    }
    LOGFONTW logFont{};
    logFont.lfHeight = GetFontHeight(sizeIndex);
    logFont.lfWeight = bold ? FW_BOLD : 0;
    logFont.lfQuality = clearType ? CLEARTYPE_QUALITY : 0;
    logFont.lfUnderline = underline ? 1 : 0;
    lstrcpynW(logFont.lfFaceName, m_faceName, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logFont);
    if (font != nullptr) {
        m_fonts.emplace(key, font);
    }
    return font;
}

void CGdiFactory::DeleteAllFonts() {
    for (auto& [key, font] : m_fonts) {
        DeleteObject(font);
    }
    m_fonts.clear();
}
