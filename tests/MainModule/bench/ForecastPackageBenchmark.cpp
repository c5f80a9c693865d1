// Time to take one forecast package as the server sends it to a city's forecast: both header checks,
// inflating, the signature check and the XML parse; then the XML step alone beside libxml2 parsing the
// same text into its own tree, the reference that the platform's DOM layer stands on.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <string>

#include "ForecastDocument.h"
#include "PackageSigner.h"
#include "SignedPackage.h"
#include "Weather/CCity.h"
#include "Weather/CForecastUpdater.h"
#include "ce/com.h"

namespace {

std::string MakePackage() {
    PackageSigner signer;
    std::string error;
    if (!signer.LoadPrivateKey(std::string(CE_SOURCE_DIR) + "/tools/weather-server/signing-key.pem", error)) {
        return {};
    }
    ForecastRequest request;
    request.place = {"DEBE0001", 52.52, 13.40};
    request.today = {2026, 12, 9};
    std::string content = ForecastDocument::Build(request);
    return SignedPackage::Outer(SignedPackage::Inner(content, signer.Sign(content)));
}

void CheckInflateVerifyParse(benchmark::State& state) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::string package = MakePackage();
    PublicKeyRecord key = CForecastUpdater::BuildPublicKey();
    if (package.empty()) {
        state.SkipWithError("no package");
        return;
    }
    for (auto _ : state) {
        std::string content;
        if (!CForecastUpdater::UnpackPackage(reinterpret_cast<const BYTE*>(package.data()),
                                             static_cast<DWORD>(package.size()), key, &content)) {
            state.SkipWithError("package refused");
            break;
        }
        CCity city;
        if (!city.ParseForecastXml(content.c_str() + content.find('<'))) {
            state.SkipWithError("forecast not parsed");
            break;
        }
        benchmark::DoNotOptimize(city.GetDayForecasts().size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(package.size()));
    CoUninitialize();
}
BENCHMARK(CheckInflateVerifyParse)->Unit(benchmark::kMicrosecond);

std::string PackageContent() {
    std::string package = MakePackage();
    std::string content;
    CForecastUpdater::UnpackPackage(reinterpret_cast<const BYTE*>(package.data()), static_cast<DWORD>(package.size()),
                                    CForecastUpdater::BuildPublicKey(), &content);
    return content.substr(std::min(content.find('<'), content.size()));
}

void ForecastXmlIntoCity(benchmark::State& state) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const std::string xml = PackageContent();
    for (auto _ : state) {
        CCity city;
        if (!city.ParseForecastXml(xml.c_str())) {
            state.SkipWithError("forecast not parsed");
            break;
        }
        benchmark::DoNotOptimize(city.GetDayForecasts().size());
    }
    CoUninitialize();
}
BENCHMARK(ForecastXmlIntoCity)->Unit(benchmark::kMicrosecond);

void Reference_Libxml2TreeOfTheSameXml(benchmark::State& state) {
    const std::string xml = PackageContent();
    for (auto _ : state) {
        xmlDocPtr document = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
}
BENCHMARK(Reference_Libxml2TreeOfTheSameXml)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
