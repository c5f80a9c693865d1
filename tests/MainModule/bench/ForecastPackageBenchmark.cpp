// Time to take one forecast package as the server sends it to a city's forecast: both header checks,
// inflating, the signature check and the XML parse.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
