#include "MapPicture.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "HostFile.h"

namespace {

class Random {
public:
    explicit Random(const std::string& seed) {
        for (unsigned char c : seed) {
            state_ = (state_ ^ c) * 1099511628211ull;
        }
    }
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53);
    }

private:
    uint64_t state_ = 1469598103934665603ull;
};

void Land(cairo_t* cr, Random& random, double r, double g, double b) {
    cairo_set_source_rgb(cr, r, g, b);
    for (int i = 0; i < 5; ++i) {
        double x = random.Next() * MapPicture::kWidth;
        double y = random.Next() * MapPicture::kHeight;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 40 + random.Next() * 90, 30 + random.Next() * 60);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    }
}

void Satellite(cairo_t* cr, Random& random) {
    cairo_set_source_rgb(cr, 0.07, 0.14, 0.27);
    cairo_paint(cr);
    Land(cr, random, 0.16, 0.25, 0.14);
    for (int i = 0; i < 60; ++i) {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.15 + random.Next() * 0.35);
        cairo_arc(cr, random.Next() * MapPicture::kWidth, random.Next() * MapPicture::kHeight, 6 + random.Next() * 26,
                  0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void Temperature(cairo_t* cr, Random& random) {
    cairo_pattern_t* bands = cairo_pattern_create_linear(0, 0, 0, MapPicture::kHeight);
    cairo_pattern_add_color_stop_rgb(bands, 0.0, 0.2, 0.3, 0.9);
    cairo_pattern_add_color_stop_rgb(bands, 0.5, 0.3, 0.8, 0.3);
    cairo_pattern_add_color_stop_rgb(bands, 1.0, 0.95, 0.4, 0.15);
    cairo_set_source(cr, bands);
    cairo_paint(cr);
    cairo_pattern_destroy(bands);
    for (int i = 0; i < 12; ++i) {
        double warm = random.Next();
        cairo_set_source_rgba(cr, warm, 0.4, 1 - warm, 0.35);
        cairo_arc(cr, random.Next() * MapPicture::kWidth, random.Next() * MapPicture::kHeight, 20 + random.Next() * 40,
                  0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void SurfaceAnalysis(cairo_t* cr, Random& random) {
    cairo_set_source_rgb(cr, 0.96, 0.96, 0.92);
    cairo_paint(cr);
    Land(cr, random, 0.85, 0.88, 0.8);
    cairo_set_line_width(cr, 1.2);
    for (int centre = 0; centre < 3; ++centre) {
        double x = random.Next() * MapPicture::kWidth;
        double y = random.Next() * MapPicture::kHeight;
        bool high = random.Next() < 0.5;
        cairo_set_source_rgb(cr, high ? 0.1 : 0.6, 0.1, high ? 0.6 : 0.1);
        for (int ring = 1; ring <= 6; ++ring) {
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, ring * 14.0, ring * 10.0);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_stroke(cr);
        }
    }
}

cairo_status_t AppendPng(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool MapCatalog::Load(const std::string& path, std::string& error) {
    std::vector<std::string> lines;
    if (!HostFile::ReadDataLines(path, lines)) {
        error = "cannot read the map list " + path;
        return false;
    }
    for (const std::string& line : lines) {
        size_t semicolon = line.find(';');
        if (semicolon == std::string::npos || semicolon == 0 || line.size() != semicolon + 2 ||
            line[semicolon + 1] < '0' || line[semicolon + 1] > '2') {
            error = path + ": expected 'id;type' in '" + line + "'";
            return false;
        }
        types_[line.substr(0, semicolon)] = line[semicolon + 1] - '0';
    }
    loaded_ = true;
    return true;
}

std::optional<int> MapCatalog::TypeOf(const std::string& id) const {
    if (id.empty() || id.size() > 64) {
        return std::nullopt;
    }
    if (loaded_) {
        auto it = types_.find(id);
        return it == types_.end() ? std::nullopt : std::optional<int>(it->second);
    }
    auto endsWith = [&id](const std::string& suffix) {
        return id.size() > suffix.size() && id.compare(id.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return endsWith("_temp") ? 1 : endsWith("_sfc") ? 2 : 0;
}

std::string MapPicture::Render(const std::string& id, int type, const std::string& dateDigits) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    Random random(id + "/" + dateDigits);
    if (type == 1) {
        Temperature(cr, random);
    } else if (type == 2) {
        SurfaceAnalysis(cr, random);
    } else {
        Satellite(cr, random);
    }
    std::string png;
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
              cairo_surface_write_to_png_stream(surface, AppendPng, &png) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return ok ? png : std::string();
}
