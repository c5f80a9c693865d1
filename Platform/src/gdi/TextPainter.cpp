#include "gdi/TextPainter.h"

#include <vector>

#include "gdi/CairoTarget.h"
#include "gdi/StockObjects.h"
#include "gdi/TextFitLog.h"

namespace ce::gdi {

Font& SelectedFont(DeviceContext& dc) {
    if (auto* font = dynamic_cast<Font*>(dc.font.get())) {
        return *font;
    }
    dc.font = LookupObject(StockObject(SYSTEM_FONT));
    dc.fontHandle = StockObject(SYSTEM_FONT);
    return static_cast<Font&>(*dc.font);
}

void PaintTextLine(DeviceContext& dc, const TextLine& line, const RECT* clip, bool fillBackground) {
    FontInstance& font = SelectedFont(dc).Instance();
    const FontMetrics& metrics = font.Metrics();
    std::vector<int> advances = font.Advances(line.text);
    int width = 0;
    std::vector<int> starts;
    for (size_t i = 0; i < advances.size(); ++i) {
        starts.push_back(width);
        width += line.dx ? line.dx[i] : advances[i];
    }
    NoteDrawnText(dc, line.text, line.x, line.top, width, metrics, line.frame);
    CairoTarget target(dc, clip);
    cairo_t* cr = target.context();
    if (!cr) {
        return;
    }
    if (fillBackground) {
        target.SetSourceColor(dc.bkColor);
        cairo_rectangle(cr, line.x, line.top, width, metrics.height);
        cairo_fill(cr);
    }
    target.SetSourceColor(dc.textColor);
    std::vector<cairo_glyph_t> glyphs = font.Glyphs(line.text, line.x, line.top + metrics.ascent, line.dx);
    if (!glyphs.empty()) {
        cairo_set_scaled_font(cr, font.Scaled());
        cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    }
    int thickness = metrics.lineThickness;
    int baseline = line.top + metrics.ascent;
    const LOGFONTW& lf = font.LogFont();
    if (lf.lfUnderline) {
        cairo_rectangle(cr, line.x, baseline + metrics.underlinePosition, width, thickness);
    }
    if (lf.lfStrikeOut) {
        cairo_rectangle(cr, line.x, baseline - metrics.em * 3 / 10, width, thickness);
    }
    if (line.underlinedIndex >= 0 && line.underlinedIndex < static_cast<int>(starts.size())) {
        auto i = static_cast<size_t>(line.underlinedIndex);
        cairo_rectangle(cr, line.x + starts[i], baseline + metrics.underlinePosition,
                        line.dx ? line.dx[i] : advances[i], thickness);
    }
    cairo_fill(cr);
}

}  // namespace ce::gdi
