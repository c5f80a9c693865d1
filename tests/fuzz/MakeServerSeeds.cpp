// Writes the seeds that come from the weather server's own code: forecast replies (as XML, as signed
// packages and as the content the package target signs itself, and an error page), map replies, the
// update catalogs, and raster pictures (the server's map PNGs, and JPEG, GIF and PNG files of the real
// encoders).
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
// The encoders of the decoding tests report through the test framework.
#include <gtest/gtest.h>

#include "PictureFiles.h"
#include "UpdateOffer.h"

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

// The decoders' formats as the real encoders write them, with and without alpha and interlacing.
void WriteRasterSeeds() {
    const ce::test::TestPicture opaque = ce::test::Quadrants(40, 30);
    const ce::test::TestPicture translucent = ce::test::Quadrants(7, 5, 0x80);
    auto put = [](const std::string& name, const ce::test::Bytes& bytes) {
        Put("raster_image", name, std::string(bytes.begin(), bytes.end()));
    };
    put("quadrants.jpg", ce::test::EncodeJpeg(opaque, 60));
    put("quadrants.gif", ce::test::EncodeGif(opaque));
    put("interlaced.gif", ce::test::EncodeGif(translucent, true));
    put("translucent.png", ce::test::EncodePng(translucent));
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
