#include "ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "HostFile.h"
#include "SpritePackageFile.h"
#include "SvgRasterizer.h"

namespace {

constexpr int kColumns = 10;
constexpr int kMargin = 8;
constexpr int kLabelHeight = 14;
constexpr int kHeadingHeight = 22;

struct Cell {
    int number = 0;
    SvgRaster raster;
};

struct Section {
    std::string title;
    std::vector<Cell> cells;
};

using Surface = std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>;
using Context = std::unique_ptr<cairo_t, void (*)(cairo_t*)>;

// The largest size of the entry's own shape that fits a square of the given side.
void FitInto(int side, const SpritePackageEntry& entry, int& width, int& height)
{
    double scale = double(side) / std::max(entry.width, entry.height);
    width = std::max(1, int(std::lround(entry.width * scale)));
    height = std::max(1, int(std::lround(entry.height * scale)));
}

bool ReadSection(const ContactSheet::Package& package, int size, Section& section, std::string& error)
{
    std::string file;
    std::vector<SpritePackageEntry> entries;
    bool read = HostFile::Read(package.path, file);
    std::vector<uint8_t> bytes(file.begin(), file.end());
    if (!read || !SpritePackageFile::ParseIndex(bytes, entries)) {
        error = package.path + ": not a readable package";
        return false;
    }
    section.title = std::filesystem::path(package.path).filename().string() + ": pictures " +
                    std::to_string(package.firstNumber) + " to " +
                    std::to_string(package.firstNumber + int(entries.size()) - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        Cell cell;
        cell.number = package.firstNumber + int(i);
        std::string svg;
        int width = 0, height = 0;
        FitInto(size, entries[i], width, height);
        SvgStatus status = SvgStatus::InvalidValue;
        if (SpritePackageFile::ParseEntry(bytes, entries[i], svg))
            status = SvgRasterizer::Render(svg, width, height, cell.raster);
        if (Failed(status)) {
            error = package.path + ": picture " + std::to_string(cell.number) + " does not render (status " +
                    std::to_string(int(status)) + ")";
            return false;
        }
        section.cells.push_back(std::move(cell));
    }
    return true;
}

int SectionHeight(const Section& section, int cellHeight)
{
    int rows = (int(section.cells.size()) + kColumns - 1) / kColumns;
    return kHeadingHeight + rows * cellHeight;
}

void DrawText(cairo_t* cr, double x, double y, double fontSize, const std::string& text, bool centred)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, fontSize);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, centred ? x - extents.x_advance / 2 : x, y);
    cairo_show_text(cr, text.c_str());
}

// The picture on the skin's background blue, so white and grey pictures show, with its number below.
void DrawCell(cairo_t* cr, const Cell& cell, int x, int y, int size)
{
    cairo_set_source_rgb(cr, 107 / 255.0, 154 / 255.0, 189 / 255.0);
    cairo_rectangle(cr, x, y, size, size);
    cairo_fill(cr);
    const SvgRaster& r = cell.raster;
    Surface picture(cairo_image_surface_create_for_data(
                        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(r.pixels.data())), CAIRO_FORMAT_ARGB32,
                        r.width, r.height, r.width * 4),
                    cairo_surface_destroy);
    cairo_set_source_surface(cr, picture.get(), x + (size - r.width) / 2, y + (size - r.height) / 2);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    DrawText(cr, x + size / 2.0, y + size + kLabelHeight - 3, 10, std::to_string(cell.number), true);
}

}  // namespace

bool ContactSheet::Write(const std::vector<Package>& packages, int size, const std::string& pngPath, std::string& error)
{
    if (size <= 0 || packages.empty()) {
        error = "nothing to show";
        return false;
    }
    std::vector<Section> sections(packages.size());
    for (size_t i = 0; i < packages.size(); ++i)
        if (!ReadSection(packages[i], size, sections[i], error)) return false;

    int cellWidth = size + kMargin, cellHeight = size + kLabelHeight + kMargin;
    int width = kMargin + kColumns * cellWidth, height = kMargin;
    for (const Section& section : sections) height += SectionHeight(section, cellHeight);
    Surface sheet(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy);
    Context cr(cairo_create(sheet.get()), cairo_destroy);
    cairo_set_source_rgb(cr.get(), 0.96, 0.96, 0.96);
    cairo_paint(cr.get());

    int top = kMargin;
    for (const Section& section : sections) {
        cairo_set_source_rgb(cr.get(), 0, 0, 0);
        DrawText(cr.get(), kMargin, top + 15, 13, section.title, false);
        for (size_t i = 0; i < section.cells.size(); ++i) {
            int x = kMargin + int(i % kColumns) * cellWidth;
            int y = top + kHeadingHeight + int(i / kColumns) * cellHeight;
            DrawCell(cr.get(), section.cells[i], x, y, size);
        }
        top += SectionHeight(section, cellHeight);
    }
    cairo_surface_flush(sheet.get());
    std::string temporary = pngPath + ".tmp";
    if (cairo_surface_write_to_png(sheet.get(), temporary.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::remove(temporary.c_str());
        error = pngPath + ": cannot be written";
        return false;
    }
    if (std::rename(temporary.c_str(), pngPath.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = pngPath + ": cannot be written";
        return false;
    }
    return true;
}
