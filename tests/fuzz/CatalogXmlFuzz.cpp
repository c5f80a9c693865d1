// The update server's catalog reply as the online-update manager takes it: parsed, and every product
// shown as the update screens show it (name, version, size, the three texts in each interface
// language) and its package URL split for the download.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Weather/ByteSizeText.h"
#include "Weather/COnlineUpdateCatalog.h"
#include "Weather/COnlineUpdateMgr.h"
#include "Weather/OnlineUpdateRequests.h"
#include "ce/com.h"

namespace {

constexpr LANGID kLanguages[] = {0x0409, 0x0407, 0x040A, 0x040C, 0x0410, 0x0419, 0x0411};

void ShowProduct(const CProductInfo& product) {
    product.GetVersion();
    product.IsPaid();
    DescribeByteSize(product.GetSize());
    COnlineUpdateMgr::NotEnoughSpaceText(product.GetSize());
    for (LANGID language : kLanguages) {
        LPCWSTR locale = CProductInfo::LocaleOfLanguage(language);
        for (int kind = CProductInfo::kName; kind < CProductInfo::kTextKinds; ++kind) {
            product.GetDisplayText(static_cast<CProductInfo::TextKind>(kind), locale);
        }
    }
    std::u16string host;
    std::u16string path;
    OnlineUpdate::SplitPackageUrl(product.GetUrl(), &host, &path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    COnlineUpdateCatalog catalog;
    if (!catalog.LoadFromReply(data, static_cast<DWORD>(size))) {
        return 0;
    }
    for (int i = 0; i < catalog.GetCount(); ++i) {
        ShowProduct(*catalog.GetProduct(i));
    }
    return 0;
}
