// Writes the seeds that come from the weather server's own code: forecast replies (as XML, as signed
// packages and as the content the package target signs itself, and an error page), map replies, the
// update catalogs, and raster pictures (the server's map PNGs and a JPEG and a GIF of one of them).
//
//   fuzz_server_seeds SEEDS_FOLDER SIGNING_KEY
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FaultSwitch.h"
#include "ForecastDocument.h"
#include "MapPicture.h"
#include "PackageSigner.h"
#include "SignedPackage.h"
#include "UpdateOffer.h"

// After <cstdio>: the header uses FILE without including it.
#include <jpeglib.h>

namespace {

std::string g_root;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(g_root + "/" + target);
    std::ofstream(g_root + "/" + target + "/" + name, std::ios::binary) << bytes;
}

std::vector<std::string> ForecastDocuments() {
    const Place places[] = {{"USNY0996", 40.7, -74.0}, {"DEXX0001", 52.5, 13.4}, {"ASXX0112", -33.9, 151.2},
                            {"RSXX0063", 64.5, 40.5}};
    std::vector<std::string> documents;
    int n = 0;
    for (const Place& place : places) {
        for (int hour : {0, 13}) {
            ForecastRequest request;
            request.place = place;
            request.today = {2026, 2 + n % 10, 1 + n};
            request.hour = hour;
            request.reportedId = place.id;
            request.days = hour == 0 ? 10 : 2;
            request.hours = hour == 0 ? 72 : 6;
            documents.push_back(ForecastDocument::Build(request));
            ++n;
        }
    }
    return documents;
}

bool WriteForecastSeeds(const std::string& keyPath) {
    PackageSigner signer;
    std::string error;
    if (!signer.LoadPrivateKey(keyPath, error)) {
        std::fprintf(stderr, "fuzz_server_seeds: %s\n", error.c_str());
        return false;
    }
    const std::vector<std::string> documents = ForecastDocuments();
    for (size_t i = 0; i < documents.size(); ++i) {
        const std::string& xml = documents[i];
        Put("forecast_xml", "reply-" + std::to_string(i) + ".xml", xml);
        // Only a few whole packages: the signed content is where the mutations count.
        if (i < 2) {
            Put("forecast_package", "package-" + std::to_string(i),
                std::string(1, '\0') + SignedPackage::Outer(SignedPackage::Inner(xml, signer.Sign(xml))));
        }
        Put("forecast_package", "content-" + std::to_string(i), std::string(1, '\1') + xml);
    }
    Put("forecast_package", "error-page", std::string(1, '\0') + "<html><head><title>2007</title></head></html>");
    return true;
}

void WriteMapSeeds() {
    int n = 0;
    for (const char* id : {"EUROPE_SAT", "USA_TEMP", "ASIA_SFC"}) {
        const int type = n;
        const std::string png = MapPicture::Render(id, type, "20261209");
        Put("map_reply", std::string(id) + ".reply",
            std::string("pic=") + id + ";type=" + std::to_string(type) + ";date=20261209" + std::string(1, '\0') + png);
        Put("raster_image", std::string(id) + ".png", png);
        ++n;
    }
}

// A small JPEG of a colour ramp, as a camera or an older map server might send.
std::string JpegPicture(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 60, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<unsigned char>(x * 255 / width);
            row[3 * x + 1] = static_cast<unsigned char>(info.next_scanline * 255 / height);
            row[3 * x + 2] = 128;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

void WriteRasterSeeds() {
    Put("raster_image", "ramp.jpg", JpegPicture(40, 30));
    // One white pixel: header, logical screen, a two-colour table, the image and its LZW data.
    static const unsigned char kGif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF,
                                         0, 0, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 'D', 1, 0, ';'};
    Put("raster_image", "pixel.gif", std::string(reinterpret_cast<const char*>(kGif), sizeof kGif));
}

void WriteCatalogSeeds() {
    UpdateOffer offer;
    Fault fault;
    Put("catalog_xml", "catalog-pocketpc.xml", offer.Catalog(UpdateOffer::kPocketPcProduct, nullptr));
    Put("catalog_xml", "catalog-unknown.xml", offer.Catalog(99, nullptr));
    fault.kind = FaultKind::CatalogTwo;
    Put("catalog_xml", "catalog-two.xml", offer.Catalog(UpdateOffer::kSmartphoneProduct, &fault));
    fault.kind = FaultKind::CatalogDamaged;
    Put("catalog_xml", "catalog-damaged.xml", offer.Catalog(UpdateOffer::kPocketPcProduct, &fault));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SEEDS_FOLDER SIGNING_KEY\n", argv[0]);
        return 2;
    }
    g_root = argv[1];
    if (!WriteForecastSeeds(argv[2])) {
        return 1;
    }
    WriteMapSeeds();
    WriteRasterSeeds();
    WriteCatalogSeeds();
    return 0;
}
