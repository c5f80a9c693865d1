#include "gdi/FontInstance.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>

#include "ce/device.h"
#include "gdi/GdiObject.h"
#include "screen/ScreenGeometry.h"

namespace ce::gdi {
namespace {

// Where Debian's fonts-dejavu-core puts the family.
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

bool WantsMonospace(const LOGFONTW& lf) {
    std::string face = ToUtf8(std::u16string_view(lf.lfFaceName, std::char_traits<char16_t>::length(lf.lfFaceName)));
    for (char& c : face) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (lf.lfPitchAndFamily & 3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN ||
           face.find("courier") != std::string::npos || face.find("mono") != std::string::npos;
}

// Asks fontconfig when the package's file is not where Debian puts it.
std::string MatchWithFontconfig(bool mono, bool bold, bool italic) {
    std::string pattern = std::string(mono ? "DejaVu Sans Mono" : "DejaVu Sans") + (bold ? ":bold" : "") +
                          (italic ? ":oblique" : "");
    std::string path;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!query) {
        return path;
    }
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, query, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    return path;
}

FT_Library FreeType() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        FT_Init_FreeType(&created);
        return created;
    }();
    return library;
}

// The cairo face for a font file; faces are loaded once and kept.
cairo_font_face_t* FaceForFile(const std::string& path) {
    static std::map<std::string, cairo_font_face_t*> faces;
    auto it = faces.find(path);
    if (it != faces.end()) {
        return it->second;
    }
    FT_Face ftFace = nullptr;
    cairo_font_face_t* face = nullptr;
    if (FreeType() && FT_New_Face(FreeType(), path.c_str(), 0, &ftFace) == 0) {
        face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    } else {
        face = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    }
    faces.emplace(path, face);
    return face;
}

// Heights beyond this are taken as this: glyphs that large are nothing a screen shows.
constexpr int kMaxEm = 2048;

int EmFor(const LOGFONTW& lf, cairo_font_face_t* face, int dpi) {
    if (lf.lfHeight < 0) {
        return static_cast<int>(std::min<int64_t>(-static_cast<int64_t>(lf.lfHeight), kMaxEm));
    }
    if (lf.lfHeight == 0) {
        return (12 * dpi + 48) / 96;
    }
    // A positive height is the cell: ascent + descent of the face.
    double cellPerEm = 1.164;  // DejaVu Sans, should the face not say
    cairo_matrix_t unit, identity;
    cairo_matrix_init_scale(&unit, 1000, 1000);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_scaled_font_t* probe = cairo_scaled_font_create(face, &unit, &identity, options);
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(probe, &extents);
    if (extents.ascent + extents.descent > 0) {
        cellPerEm = (extents.ascent + extents.descent) / 1000.0;
    }
    cairo_scaled_font_destroy(probe);
    cairo_font_options_destroy(options);
    return std::clamp(static_cast<int>(std::lround(std::min<LONG>(lf.lfHeight, 2 * kMaxEm) / cellPerEm)), 1, kMaxEm);
}

}  // namespace

std::string FontInstance::FilePathFor(const LOGFONTW& lf) {
    bool mono = WantsMonospace(lf), bold = lf.lfWeight >= FW_SEMIBOLD, italic = lf.lfItalic != 0;
    std::string name = mono ? "DejaVuSansMono" : "DejaVuSans";
    if (bold || italic) {
        name += std::string("-") + (bold ? "Bold" : "") + (italic ? "Oblique" : "");
    }
    std::string path = kDejaVuFolder + name + ".ttf";
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        return path;
    }
    return MatchWithFontconfig(mono, bold, italic);
}

std::shared_ptr<FontInstance> FontInstance::For(const LOGFONTW& lf) {
    GdiGuard guard(GdiLock());
    using Key = std::tuple<std::string, LONG, int, bool, bool, bool, int>;
    static auto* instances = new std::map<Key, std::shared_ptr<FontInstance>>;
    int dpi = lf.lfHeight == 0 ? ce::screen::ScreenDpi() : 0;
    bool smooth = lf.lfQuality != NONANTIALIASED_QUALITY;
    Key key{FilePathFor(lf), lf.lfHeight, dpi, smooth, lf.lfUnderline != 0, lf.lfStrikeOut != 0, lf.lfWeight};
    auto it = instances->find(key);
    if (it != instances->end()) {
        return it->second;
    }
    auto instance = std::make_shared<FontInstance>(FaceForFile(std::get<0>(key)), lf, ce::screen::ScreenDpi());
    instances->emplace(key, instance);
    return instance;
}

FontInstance::FontInstance(cairo_font_face_t* face, const LOGFONTW& logFont, int dpi) : logFont_(logFont) {
    int em = EmFor(logFont, face, dpi);
    cairo_matrix_t size, identity;
    cairo_matrix_init_scale(&size, em, em);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_antialias(
        options, logFont.lfQuality == NONANTIALIASED_QUALITY ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    scaled_ = cairo_scaled_font_create(face, &size, &identity, options);
    cairo_font_options_destroy(options);

    cairo_font_extents_t extents;
    cairo_scaled_font_extents(scaled_, &extents);
    metrics_.em = em;
    if (logFont.lfHeight > 0) {
        // The cell is exactly the height asked for.
        int cell = static_cast<int>(std::min<LONG>(logFont.lfHeight, 2 * kMaxEm));
        metrics_.ascent = static_cast<int>(std::lround(cell * extents.ascent / (extents.ascent + extents.descent)));
        metrics_.descent = cell - metrics_.ascent;
    } else {
        metrics_.ascent = static_cast<int>(std::lround(extents.ascent));
        metrics_.descent = static_cast<int>(std::lround(extents.descent));
    }
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internalLeading = std::max(0, metrics_.height - em);
    metrics_.averageCharWidth = GlyphFor(U'x').advance;
    metrics_.maxCharWidth = static_cast<int>(std::ceil(extents.max_x_advance));
    metrics_.underlinePosition = std::max(1, static_cast<int>(std::lround(em * 0.1)));
    metrics_.lineThickness = std::max(1, static_cast<int>(std::lround(em * 0.05)));
}

FontInstance::~FontInstance() {
    if (scaled_) {
        cairo_scaled_font_destroy(scaled_);
    }
}

const FontInstance::Glyph& FontInstance::GlyphFor(char32_t c) {
    auto it = glyphs_.find(c);
    if (it != glyphs_.end()) {
        return it->second;
    }
    Glyph glyph{0, 0};
    if (c >= 0x20 && c != 0x7F) {
        cairo_glyph_t* list = nullptr;
        int count = 0;
        std::string utf8 = ToUtf8(c > 0xFFFF ? std::u16string{char16_t(0xD800 + ((c - 0x10000) >> 10)),
                                                               char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))}
                                             : std::u16string(1, static_cast<char16_t>(c)));
        if (cairo_scaled_font_text_to_glyphs(scaled_, 0, 0, utf8.data(), static_cast<int>(utf8.size()), &list, &count,
                                             nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
            count > 0) {
            cairo_text_extents_t extents;
            cairo_scaled_font_glyph_extents(scaled_, list, 1, &extents);
            glyph = Glyph{list[0].index, static_cast<int>(std::lround(extents.x_advance))};
        }
        cairo_glyph_free(list);
    }
    return glyphs_.emplace(c, glyph).first->second;
}

std::vector<int> FontInstance::Advances(std::u16string_view text) {
    std::vector<int> advances(text.size(), 0);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            advances[i] = GlyphFor(c).advance;
            ++i;
            continue;
        }
        advances[i] = GlyphFor(c).advance;
    }
    return advances;
}

int FontInstance::Width(std::u16string_view text) {
    int width = 0;
    for (int advance : Advances(text)) {
        width += advance;
    }
    return width;
}

std::vector<cairo_glyph_t> FontInstance::Glyphs(std::u16string_view text, double x, double baseline, const INT* dx) {
    std::vector<int> advances = Advances(text);
    std::vector<cairo_glyph_t> glyphs;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (pair) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        }
        const Glyph& glyph = GlyphFor(c);
        if (c >= 0x20 && glyph.index != 0) {
            glyphs.push_back(cairo_glyph_t{glyph.index, x, baseline});
        }
        x += dx ? dx[i] + (pair ? dx[i + 1] : 0) : advances[i];
        if (pair) {
            ++i;
        }
    }
    return glyphs;
}

}  // namespace ce::gdi
