// pakpack pack <out.pak> <folder> <order-file>
//     Packs the SVG files of <folder> named one per line in <order-file> (line N is picture N). Every
//     picture is rendered at its design size first; one that fails stops the packing with its name
//     and the reason, and nothing is written.
// pakpack show <in.pak> <index> <width>x<height> <out.png>
//     Renders one picture of a package to PNG, for a person to look at.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "HostFile.h"
#include "SpritePackageFile.h"
#include "SvgCairoRenderer.h"
#include "SvgRasterizer.h"

namespace {

const char* Reason(SvgStatus status)
{
    switch (status) {
    case SvgStatus::NoMemory: return "out of memory, or a shape is painted with a pattern";
    case SvgStatus::InvalidValue: return "an element is hidden or not displayed, or a value is out of range";
    case SvgStatus::InvalidCall: return "it holds an image element, which cannot be drawn";
    case SvgStatus::ParseError: return "it is not well-formed, or it uses something outside the SVG subset";
    default: return "it cannot be rendered";
    }
}

// The picture's design size, checked by rendering it at that size.
bool CheckPicture(const std::string& name, const std::string& svg, SpritePackageFile::Picture& picture)
{
    SvgCairoRenderer renderer;
    SvgStatus status = renderer.Parse(svg);
    unsigned width = 0, height = 0;
    if (!Failed(status)) renderer.GetSize(width, height);
    if (!Failed(status) && (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF))
        status = SvgStatus::InvalidValue;
    SvgRaster raster;
    if (!Failed(status)) status = SvgRasterizer::Render(svg, int(width), int(height), raster);
    if (Failed(status)) {
        std::fprintf(stderr, "pakpack: %s: refused: %s (status %d)\n", name.c_str(), Reason(status), int(status));
        return false;
    }
    picture = SpritePackageFile::Picture{uint16_t(width), uint16_t(height), svg};
    return true;
}

int Pack(const std::string& output, const std::filesystem::path& folder, const std::string& orderFile)
{
    std::string order;
    if (!HostFile::Read(orderFile, order)) {
        std::fprintf(stderr, "pakpack: cannot read the order file %s\n", orderFile.c_str());
        return 1;
    }
    std::vector<SpritePackageFile::Picture> pictures;
    std::istringstream lines(order);
    std::string name;
    while (std::getline(lines, name)) {
        while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
        if (name.empty()) continue;
        std::string svg;
        if (!HostFile::Read(folder / name, svg)) {
            std::fprintf(stderr, "pakpack: %s: cannot read %s\n", name.c_str(), (folder / name).c_str());
            return 1;
        }
        SpritePackageFile::Picture picture;
        if (!CheckPicture(name, svg, picture)) return 1;
        pictures.push_back(std::move(picture));
    }
    std::vector<uint8_t> bytes;
    if (pictures.empty() || !SpritePackageFile::Build(pictures, bytes)) {
        std::fprintf(stderr, "pakpack: no package made (%zu pictures)\n", pictures.size());
        return 1;
    }
    std::string_view packed(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!HostFile::WriteAtomically(output, packed)) {
        std::fprintf(stderr, "pakpack: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("pakpack: %s: %zu pictures, %zu bytes\n", output.c_str(), pictures.size(), bytes.size());
    return 0;
}

int Show(const std::string& input, int index, const std::string& size, const std::string& output)
{
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "pakpack: the size must be WIDTHxHEIGHT, not %s\n", size.c_str());
        return 2;
    }
    std::string file;
    std::vector<SpritePackageEntry> entries;
    if (!HostFile::Read(input, file) ||
        !SpritePackageFile::ParseIndex(std::vector<uint8_t>(file.begin(), file.end()), entries)) {
        std::fprintf(stderr, "pakpack: %s is not a readable package\n", input.c_str());
        return 1;
    }
    if (index < 0 || size_t(index) >= entries.size()) {
        std::fprintf(stderr, "pakpack: %s holds pictures 0 to %zu, not %d\n", input.c_str(), entries.size() - 1, index);
        return 1;
    }
    std::string svg;
    if (!SpritePackageFile::ParseEntry(std::vector<uint8_t>(file.begin(), file.end()), entries[index], svg)) {
        std::fprintf(stderr, "pakpack: picture %d of %s is damaged\n", index, input.c_str());
        return 1;
    }
    SvgRaster raster;
    SvgStatus status = SvgRasterizer::Render(svg, width, height, raster);
    if (Failed(status)) {
        std::fprintf(stderr, "pakpack: picture %d: %s (status %d)\n", index, Reason(status), int(status));
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(raster.pixels.data()), CAIRO_FORMAT_ARGB32, width, height, width * 4);
    cairo_status_t written = cairo_surface_write_to_png(surface, output.c_str());
    cairo_surface_destroy(surface);
    if (written != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "pakpack: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

void Usage()
{
    std::fprintf(stderr,
                 "usage: pakpack pack <out.pak> <folder> <order-file>\n"
                 "       pakpack show <in.pak> <index> <width>x<height> <out.png>\n");
}
}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "pack") return Pack(args[1], args[2], args[3]);
    if (args.size() == 5 && args[0] == "show") return Show(args[1], std::atoi(args[2].c_str()), args[3], args[4]);
    Usage();
    return 2;
}
