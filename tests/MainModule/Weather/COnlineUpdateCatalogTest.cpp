// The update catalog's reply: products, attributes and locale texts as the screens need them, and the
// replies that are no valid catalog; the package URL split; the texts a product shows per language.
#include <gtest/gtest.h>

#include <string>

#include "Weather/ByteSizeText.h"
#include "Weather/COnlineUpdateCatalog.h"
#include "Weather/OnlineUpdateRequests.h"
#include "ce/com.h"

namespace {

std::u16string U(const std::string& text) { return ce::FromUtf8(text); }

std::string Product(const std::string& attributes, const std::string& strings = {}) {
    return "<product " + attributes + ">" + strings + "</product>";
}

constexpr const char* kComplete = R"(version="2.1" url="http://h/p.cab" size="4096" is_update_paid="false")";

class UpdateCatalog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    bool Load(const std::string& data) { return catalog.Load(U("<?xml version=\"1.0\"?><data>" + data + "</data>").c_str()); }

    COnlineUpdateCatalog catalog;
};

TEST_F(UpdateCatalog, ReadsProductsInReplyOrderWithTheirAttributes) {
    ASSERT_TRUE(Load(Product(kComplete) + "<note/>" +
                     Product(R"(version="3.0" url="HTTP://h/q.cab" size="12" is_update_paid="TRUE")")));
    ASSERT_EQ(catalog.GetCount(), 2);
    const CProductInfo* first = catalog.GetProduct(0);
    EXPECT_EQ(std::u16string(first->GetVersion()), u"2.1");
    EXPECT_EQ(std::u16string(first->GetUrl()), u"http://h/p.cab");
    EXPECT_EQ(first->GetSize(), 4096u);
    EXPECT_FALSE(first->IsPaid());
    EXPECT_TRUE(catalog.GetProduct(1)->IsPaid()) << "TRUE in capitals is paid";
    EXPECT_EQ(catalog.GetProduct(-1), nullptr);
    EXPECT_EQ(catalog.GetProduct(2), nullptr);
}

TEST_F(UpdateCatalog, TurnsEscapedMarkupIntoTagsAndDropsOtherEntities) {
    std::string strings = R"(<strings locale="German"><name text="Skyvane Neu"/>)"
                          R"(<description>&lt;b&gt;Neu&lt;/b&gt; &amp; besser</description>)"
                          R"(<changes></changes><conditions>Kostenlos</conditions><extra>x</extra></strings>)"
                          R"(<strings locale="german"><conditions>Gratis</conditions></strings>)"
                          R"(<strings locale="English"><changes/></strings>)";
    ASSERT_TRUE(Load(Product(kComplete, strings)));
    const CProductInfo* product = catalog.GetProduct(0);
    EXPECT_EQ(std::u16string(product->GetDescription(u"GERMAN")), u"<b>Neu</b>  besser");
    EXPECT_EQ(std::u16string(product->GetChanges(u"German")), u"");
    EXPECT_EQ(std::u16string(product->GetName(u"German")), u"Skyvane Neu");
    EXPECT_EQ(std::u16string(product->GetConditions(u"German")), u"Gratis") << "a locale given twice merges";
    ASSERT_NE(product->GetChanges(u"English"), nullptr) << "a self-closing element is an empty text";
    EXPECT_EQ(std::u16string(product->GetChanges(u"English")), u"");
    EXPECT_EQ(product->GetLocaleCount(), 2);
    EXPECT_EQ(product->GetName(u"French"), nullptr);
}

TEST_F(UpdateCatalog, AnyMissingRequiredPieceFailsTheWholeCatalog) {
    const std::vector<std::string> broken = {
        Product(R"(version="2.1" url="http://h/p.cab" size="4096")"),
        Product(R"(url="http://h/p.cab" size="4096" is_update_paid="false")"),
        Product(R"(version="2.1" url="http://h/p.cab" size="lots" is_update_paid="false")"),
        Product(R"(version="2.1" url="http://h/p.cab" size="4294967296" is_update_paid="false")"),
        Product(kComplete, R"(<strings><name text="x"/></strings>)"),
        Product(kComplete, R"(<strings locale="English"><name/></strings>)"),
    };
    for (const std::string& product : broken) {
        EXPECT_FALSE(Load(Product(kComplete) + product)) << product;
        EXPECT_EQ(catalog.GetCount(), 0) << "nothing of a failed catalog is kept";
    }
    EXPECT_FALSE(catalog.Load(u"<html><title>2000</title></html>"));
    EXPECT_FALSE(catalog.Load(u"<data><product"));
    EXPECT_FALSE(catalog.Load(nullptr));
    EXPECT_TRUE(Load("<other/>")) << "a catalog without products loads";
    EXPECT_EQ(catalog.GetCount(), 0);
}

TEST_F(UpdateCatalog, AReplyWithAByteOrderMarkReadsLikeOneWithout) {
    std::string reply = "<data>" + Product(kComplete, R"(<strings locale="Russian"><name text="Ветер"/></strings>)") +
                        "</data>";
    for (const std::string& bytes : {"\xEF\xBB\xBF" + reply, reply, reply + std::string(1, '\0') + "junk<"}) {
        ASSERT_TRUE(catalog.LoadFromReply(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
        ASSERT_EQ(catalog.GetCount(), 1);
        EXPECT_EQ(std::u16string(catalog.GetProduct(0)->GetName(u"Russian")), u"Ветер");
    }
    EXPECT_FALSE(catalog.LoadFromReply(nullptr, 0));
}

TEST(ProductTexts, ScreensFallBackToEnglishAndPickTheLocaleByLanguage) {
    CProductInfo product;
    EXPECT_FALSE(product.SetName(nullptr, u"x"));
    EXPECT_FALSE(product.SetName(u"English", nullptr));
    EXPECT_TRUE(product.SetName(u"English", u"Skyvane"));
    EXPECT_TRUE(product.SetConditions(u"German", u"Kostenlos"));
    EXPECT_EQ(std::u16string(product.GetName(u"German")), u"") << "the locale's entry starts with empty texts";
    EXPECT_EQ(std::u16string(product.GetDisplayText(CProductInfo::kName, u"German")), u"Skyvane");
    EXPECT_EQ(std::u16string(product.GetDisplayText(CProductInfo::kConditions, u"German")), u"Kostenlos");
    EXPECT_EQ(std::u16string(product.GetDisplayText(CProductInfo::kChanges, u"French")), u"");

    CProductInfo copy = product;
    EXPECT_EQ(std::u16string(copy.GetConditions(u"german")), u"Kostenlos");
    EXPECT_EQ(std::u16string(CProductInfo::LocaleOfLanguage(0x0407)), u"German");
    EXPECT_EQ(std::u16string(CProductInfo::LocaleOfLanguage(0x0C0A)), u"Spanish");
    EXPECT_EQ(std::u16string(CProductInfo::LocaleOfLanguage(0x0419)), u"Russian");
    EXPECT_EQ(std::u16string(CProductInfo::LocaleOfLanguage(0x0411)), u"English");
}

TEST(PackageUrl, DropsTheSchemeInAnyCaseAndKeepsTheSlashOfThePath) {
    std::u16string host;
    std::u16string path;
    ASSERT_TRUE(OnlineUpdate::SplitPackageUrl(u"HTTP://update.example/pkg/app.cab", &host, &path));
    EXPECT_EQ(host, u"update.example");
    EXPECT_EQ(path, u"/pkg/app.cab");
    ASSERT_TRUE(OnlineUpdate::SplitPackageUrl(u"update.example/a", &host, &path));
    EXPECT_EQ(host, u"update.example");
    EXPECT_FALSE(OnlineUpdate::SplitPackageUrl(u"http://update.example", &host, &path));
    EXPECT_FALSE(OnlineUpdate::SplitPackageUrl(u"http:///path", &host, &path));
    EXPECT_FALSE(OnlineUpdate::SplitPackageUrl(nullptr, &host, &path));
}

TEST(PackageRequestJob, RefusesAMissingRecordOrAUrlWithoutPath) {
    EXPECT_EQ(OnlineUpdate::PackageRequestJob(0, 0, 0, 0, 0, 0), kJobBadArgument);
    EXPECT_EQ(OnlineUpdate::CatalogRequestJob(0, 0, 0, 0, 0, 0), kJobBadArgument);
    PackageRequest request;
    lstrcpynW(request.filePath, u"\\Temp\\x.cab", MAX_PATH);
    lstrcpynW(request.url, u"http://update.example", MAX_PATH);
    EXPECT_EQ(OnlineUpdate::PackageRequestJob(0, 0, 0, 0, 0, reinterpret_cast<INT_PTR>(&request)), kJobBadArgument);
}

TEST(ByteSizes, UseWholeKilobytesForMegabytes) {
    ByteSizeText size = DescribeByteSize(3500000);
    EXPECT_NEAR(size.value, 3.34, 0.005);
    EXPECT_STREQ(size.unitKey, "IDS_MBYTE");
    EXPECT_NEAR(DescribeByteSize(1750000).value, 1.67, 0.005);
    EXPECT_STREQ(DescribeByteSize(1048575).unitKey, "IDS_KBYTE");
    EXPECT_STREQ(DescribeByteSize(1023).unitKey, "IDS_BYTE");
    EXPECT_EQ(DescribeByteSize(1023).value, 1023.0);
}

}  // namespace
