// A forecast reply as the forecast updater takes it: the server's error page, or the signed package
// through both CRC checks, the inflation, the MD5 digest and RSA signature check, the XML parse, the
// cache file write, then the cache file read back as the plug-ins read it at start, and every value of
// both cities shown as the screens show them.
//
// The first byte chooses what the rest is. 0: the reply's bytes as they came. 1: forecast content,
// which the target packs and signs with the test key as the server would, so that the mutations reach
// the parser behind the signature check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CByteBuffer.h"
#include "ForecastScreens.h"
#include "FuzzDevice.h"
#include "PackageSigner.h"
#include "SignedPackage.h"
#include "Weather/CForecastCacheFile.h"
#include "Weather/CForecastUpdater.h"
#include "ce/com.h"
#include "ce/kernel.h"

namespace {

struct TestKey {
    PackageSigner signer;
    PublicKeyRecord record{};
};

void RightAligned(const std::vector<unsigned char>& number, uint8_t* field, size_t size) {
    std::memset(field, 0, size);
    if (number.size() <= size) {
        std::memcpy(field + size - number.size(), number.data(), number.size());
    }
}

TestKey& Key() {
    static TestKey* key = [] {
        auto* made = new TestKey;
        std::string error;
        if (!made->signer.LoadPrivateKey(FUZZ_SIGNING_KEY, error)) {
            std::fprintf(stderr, "forecast_package: %s\n", error.c_str());
            std::abort();
        }
        made->record.bits = 1024;
        RightAligned(made->signer.PublicModulus(), made->record.modulus, sizeof made->record.modulus);
        RightAligned(made->signer.PublicExponent(), made->record.exponent, sizeof made->record.exponent);
        return made;
    }();
    return *key;
}

std::string SignedReply(const std::string& content) {
    return SignedPackage::Outer(SignedPackage::Inner(content, Key().signer.Sign(content)));
}

// What the updater does with a reply, up to the city it would put into the list.
void TakeReply(const std::string& reply) {
    const auto* bytes = reinterpret_cast<const BYTE*>(reply.data());
    int serverCode = 0;
    if (CForecastUpdater::FindServerCode(bytes, static_cast<DWORD>(reply.size()), &serverCode)) {
        std::u16string text;
        CForecastUpdater::GetResultText(CForecastUpdater::ResultFromServerCode(serverCode), &text);
        return;
    }
    std::string content;
    if (!CForecastUpdater::UnpackPackage(bytes, static_cast<DWORD>(reply.size()), Key().record, &content)) {
        return;
    }
    size_t xml = content.find('<');
    CCity city;
    if (xml == std::string::npos || !city.ParseForecastXml(content.c_str() + xml)) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    city.SetUpdateSystemTime(&now);
    if (!CForecastCacheFile::Write(city.GetLocationId(), content.c_str() + xml)) {
        return;
    }
    fuzz::ShowCity(city);
    CByteBuffer cached;
    CCity started;
    if (!CForecastCacheFile::Read(city.GetLocationId(), cached) ||
        !started.ParseForecastXml(reinterpret_cast<const char*>(cached.GetPointer(0)))) {
        std::abort();  // the plug-ins could not read back what the updater has just accepted and stored
    }
    fuzz::ShowCity(started);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    fuzz::FuzzDevice::Get();
    if (size == 0) {
        return 0;
    }
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    TakeReply(data[0] == 1 ? SignedReply(rest) : rest);
    return 0;
}
