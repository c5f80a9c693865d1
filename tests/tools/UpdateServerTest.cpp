// The update protocol of the weather server: the catalog names packages that are there with the size
// they have, strange requests are refused, and its package faults damage what they say.
#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <vector>

#include "InstallPackage.h"
#include "WeatherServerProcess.h"

namespace {

std::string Attribute(const std::string& xml, const std::string& name, size_t from = 0) {
    size_t at = xml.find(" " + name + "=\"", from);
    if (at == std::string::npos) {
        return {};
    }
    at += name.size() + 3;
    return xml.substr(at, xml.find('"', at) - at);
}

class UpdateServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(server_.Port(), 0); }

    httplib::Result Catalog(const std::string& body) {
        return Client().Post("/fcgid/sou.fcg?", body, "application/x-www-form-urlencoded");
    }
    static std::string CatalogBody(int product) {
        return "protocol=3&id=" + std::to_string(product) + "&compress=0&mod=&html2plain=0";
    }
    // The path of a catalog entry's URL, after its host.
    static std::string PathOf(const std::string& url) { return url.substr(url.find('/', url.find("//") + 2)); }
    httplib::Client Client() {
        httplib::Client client("127.0.0.1", server_.Port());
        client.set_read_timeout(5, 0);
        return client;
    }
    void SetFault(const std::string& spec) { ASSERT_EQ(server_.Control("/control/fault?spec=" + spec), "ok\n"); }

    WeatherServerProcess server_;
};

TEST_F(UpdateServer, TheCatalogNamesAWholePackageWithItsSizeForBothDeviceKinds) {
    for (int product : {1201, 1202}) {
        auto reply = Catalog(CatalogBody(product));
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->body.rfind("\xEF\xBB\xBF<?xml", 0), 0u) << "UTF-8 with its byte-order mark";
        std::string url = Attribute(reply->body, "url");
        ASSERT_EQ(url.rfind("http://update.skyvane.example/", 0), 0u) << url;
        auto package = Client().Get(PathOf(url));
        ASSERT_TRUE(package);
        EXPECT_EQ(std::to_string(package->body.size()), Attribute(reply->body, "size"));
        std::vector<installpkg::Record> records;
        std::string error;
        EXPECT_TRUE(installpkg::Read(package->body, &records, &error)) << error;
    }
    EXPECT_EQ(server_.Control("/control/update-requests").rfind("catalog protocol=3&id=1201&", 0), 0u);
}

TEST_F(UpdateServer, StrangeRequestsAreRefusedAndAnUnknownProductIsOfferedNothing) {
    for (const std::string& body : {std::string("protocol=2&id=1201&compress=0"), std::string("protocol=3&id=x&compress=0"),
                                    std::string("protocol=3&id=1201&compress=1"), std::string("")}) {
        auto reply = Catalog(body);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400) << body;
    }
    auto unknown = Catalog(CatalogBody(4711));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->body.find("<product"), std::string::npos);
    auto missing = Client().Get("/updates/none.cab");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST_F(UpdateServer, CatalogFaultsChangeTheOfferAndPackageFaultsTheBytes) {
    SetFault("catalog-two*1");
    std::string two = Catalog(CatalogBody(1201))->body;
    size_t second = two.find("<product", two.find("<product") + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(Attribute(two, "url", second).rfind("HTTP://", 0), 0u);
    EXPECT_EQ(Attribute(two, "is_update_paid", second), "TRUE");

    SetFault("catalog-damaged*1");
    EXPECT_EQ(Catalog(CatalogBody(1201))->body.find("is_update_paid"), std::string::npos);
    SetFault("catalog-empty*1");
    EXPECT_EQ(Catalog(CatalogBody(1201))->body.find("<product"), std::string::npos);

    std::string path = PathOf(Attribute(Catalog(CatalogBody(1201))->body, "url"));
    std::string whole = Client().Get(path)->body;
    SetFault("package-damaged*1");
    std::string damaged = Client().Get(path)->body;
    std::vector<installpkg::Record> records;
    std::string error;
    EXPECT_EQ(damaged.size(), whole.size());
    EXPECT_FALSE(installpkg::Read(damaged, &records, &error));

    SetFault("package-cut*1");
    auto cut = Client().Get(path);
    EXPECT_TRUE(!cut || cut->body.size() < whole.size()) << "the transfer ends early";
}

}  // namespace
