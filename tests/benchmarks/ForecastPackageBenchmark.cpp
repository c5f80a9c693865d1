// One forecast package as the server sends it to a city's forecast, whole and step by step: both
// header checks (CRC-32), inflating, the signature check (MD5 and RSA) and the XML parse into the
// city. Each step beside what it stands on: zlib's own crc32 and uncompress, and libxml2 parsing the
// same text into its own tree, the reference that the platform's DOM layer stands on.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ForecastDocument.h"
#include "PackageSigner.h"
#include "SideBySide.h"
#include "SignedPackage.h"
#include "Weather/CCity.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/Crc32.h"
#include "Weather/RsaSignature.h"
#include "Weather/ZlibBinding.h"
#include "ce/com.h"

namespace {

constexpr size_t kHeaderSize = 20;

struct Package {
    std::string content;    // the forecast XML as signed
    std::string signature;  // its base64 signature
    std::string inner;      // header, content and signature
    std::string outer;      // header and the zlib stream of the inner level
    std::string Xml() const { return content.substr(std::min(content.find('<'), content.size())); }
};

const Package& TheBerlinPackage() {
    static const Package package = [] {
        Package made;
        PackageSigner signer;
        std::string error;
        if (!signer.LoadPrivateKey(std::string(CE_SOURCE_DIR) + "/tools/weather-server/signing-key.pem",
                                   error)) {
            return made;
        }
        ForecastRequest request;
        request.place = {"DEBE0001", 52.52, 13.40};
        request.today = {2026, 12, 9};
        made.content = ForecastDocument::Build(request);
        made.signature = signer.Sign(made.content);
        made.inner = SignedPackage::Inner(made.content, made.signature);
        made.outer = SignedPackage::Outer(made.inner);
        return made;
    }();
    return package;
}

const uint8_t* Bytes(const std::string& text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

// The reference of the XML step: libxml2 reading the text into its tree, and freeing it.
bool Libxml2Tree(const std::string& xml) {
    xmlDocPtr document =
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
    xmlFreeDoc(document);
    return document != nullptr;
}

// Everything from the reply to the city's forecast, beside libxml2's tree of the XML alone.
void WholePackageIntoCity(benchmark::State& state) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const Package& package = TheBerlinPackage();
    const PublicKeyRecord key = CForecastUpdater::BuildPublicKey();
    const std::string xml = package.Xml();
    bench::SideBySide(
        state,
        [&] {
            std::string content;
            CCity city;
            return CForecastUpdater::UnpackPackage(Bytes(package.outer),
                                                   static_cast<DWORD>(package.outer.size()), key, &content) &&
                   city.ParseForecastXml(content.c_str() + content.find('<'));
        },
        [&] { return Libxml2Tree(xml); });
    CoUninitialize();
}
BENCHMARK(WholePackageIntoCity)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The check of the inner level, the larger of the two that a package carries.
void Crc32OfTheInnerLevel(benchmark::State& state) {
    const std::string& inner = TheBerlinPackage().inner;
    const uint8_t* region = Bytes(inner) + kHeaderSize;
    const size_t length = inner.size() - kHeaderSize;
    bench::SideBySide(
        state, [&] { return benchmark::DoNotOptimize(ComputeCrc32(0, region, length)), true; },
        [&] { return benchmark::DoNotOptimize(crc32(0, region, static_cast<uInt>(length))), true; });
}
BENCHMARK(Crc32OfTheInnerLevel)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The zlib binding (loaded by name, one allocation) beside zlib's uncompress into a ready buffer.
void InflateTheOuterLevel(benchmark::State& state) {
    const std::string& outer = TheBerlinPackage().outer;
    const std::string& inner = TheBerlinPackage().inner;
    std::string target(inner.size(), '\0');
    bench::SideBySide(
        state,
        [&] {
            uint8_t* inflated =
                UncompressWithZlib(Bytes(outer) + kHeaderSize, outer.size() - kHeaderSize, inner.size());
            std::free(inflated);
            return inflated != nullptr;
        },
        [&] {
            uLongf length = static_cast<uLongf>(target.size());
            return uncompress(reinterpret_cast<Bytef*>(target.data()), &length, Bytes(outer) + kHeaderSize,
                              static_cast<uLong>(outer.size() - kHeaderSize)) == Z_OK;
        });
}
BENCHMARK(InflateTheOuterLevel)->UseManualTime()->Unit(benchmark::kMicrosecond);

// MD5 of the content and the RSA public-key operation, beside a CRC-32 of the same content (what a
// check without a signature would cost).
void SignatureOfTheContent(benchmark::State& state) {
    const Package& package = TheBerlinPackage();
    const PublicKeyRecord key = CForecastUpdater::BuildPublicKey();
    bench::SideBySide(
        state,
        [&] {
            return VerifyPemSignature(Bytes(package.content), package.content.size(),
                                      package.signature.data(), package.signature.size(), key) == 0;
        },
        [&] {
            return benchmark::DoNotOptimize(
                       crc32(0, Bytes(package.content), static_cast<uInt>(package.content.size()))),
                   true;
        });
}
BENCHMARK(SignatureOfTheContent)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The XML step: the text into a city's forecasts through the platform's DOM, beside libxml2's tree.
void ForecastXmlIntoCity(benchmark::State& state) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const std::string xml = TheBerlinPackage().Xml();
    bench::SideBySide(
        state,
        [&] {
            CCity city;
            return city.ParseForecastXml(xml.c_str()) && !city.GetDayForecasts().empty();
        },
        [&] { return Libxml2Tree(xml); });
    CoUninitialize();
}
BENCHMARK(ForecastXmlIntoCity)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Each side of the XML step alone, for instruction counts (valgrind --tool=callgrind with a filter).
void XmlStepAlone(benchmark::State& state) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const std::string xml = TheBerlinPackage().Xml();
    for (auto _ : state) {
        CCity city;
        benchmark::DoNotOptimize(city.ParseForecastXml(xml.c_str()));
    }
    CoUninitialize();
}
BENCHMARK(XmlStepAlone)->Unit(benchmark::kMicrosecond);

void Libxml2TreeAlone(benchmark::State& state) {
    const std::string xml = TheBerlinPackage().Xml();
    for (auto _ : state) {
        xmlDocPtr document =
            xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
}
BENCHMARK(Libxml2TreeAlone)->Unit(benchmark::kMicrosecond);

}  // namespace
