// The weather server against the program's own package checks: what it sends passes them, and each
// fault it is switched to fails the check that the fault names.
#include <gtest/gtest.h>
#include <httplib.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "CityDirectory.h"
#include "PackageSigner.h"
#include "Weather/Crc32.h"
#include "Weather/RsaSignature.h"
#include "WeatherServerProcess.h"

namespace {

const char* const kImei = "123456789012345";

struct Unpacked {
    bool outerHeaderOk = false;
    bool outerBodyOk = false;
    bool innerHeaderOk = false;
    bool innerBodyOk = false;
    std::string content;
    std::string signature;
};

uint32_t Word(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

const uint8_t* Bytes(const std::string& s, size_t offset = 0) {
    return reinterpret_cast<const uint8_t*>(s.data()) + offset;
}

// Checks and opens a package the way the program's updater does.
std::optional<Unpacked> Unpack(const std::string& reply) {
    if (reply.size() < 20 || Word(reply, 4) != reply.size()) {
        return std::nullopt;
    }
    Unpacked u;
    u.outerHeaderOk = ComputeCrc32(0, Bytes(reply, 4), 16) == Word(reply, 0);
    u.outerBodyOk = ComputeCrc32(0, Bytes(reply, 20), reply.size() - 20) == Word(reply, 16);
    std::string inner(Word(reply, 12), '\0');
    uLongf length = inner.size();
    if (Word(reply, 8) != reply.size() - 20 ||
        uncompress(reinterpret_cast<Bytef*>(inner.data()), &length, Bytes(reply, 20), Word(reply, 8)) != Z_OK ||
        length != inner.size() || inner.size() < 20) {
        return u;
    }
    u.innerHeaderOk = ComputeCrc32(0, Bytes(inner, 4), 16) == Word(inner, 0);
    u.innerBodyOk = ComputeCrc32(0, Bytes(inner, 20), inner.size() - 20) == Word(inner, 16);
    u.content = inner.substr(20, Word(inner, 8));
    u.signature = inner.substr(20 + Word(inner, 8), Word(inner, 12));
    return u;
}

std::string Attribute(const std::string& xml, const std::string& name) {
    size_t at = xml.find(" " + name + "=\"");
    if (at == std::string::npos) {
        return {};
    }
    at += name.size() + 3;
    return xml.substr(at, xml.find('"', at) - at);
}

class WeatherServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server_.Port(), 0) << "the weather server did not start";
        std::string error;
        ASSERT_TRUE(signer_.LoadPrivateKey(std::string(CE_SOURCE_DIR) + "/tools/weather-server/signing-key.pem", error));
        std::memset(&key_, 0, sizeof key_);
        key_.bits = 1024;
        auto modulus = signer_.PublicModulus();
        auto exponent = signer_.PublicExponent();
        std::memcpy(key_.modulus, modulus.data(), 128);
        std::memcpy(key_.exponent + 128 - exponent.size(), exponent.data(), exponent.size());
    }

    std::string Post(const std::string& body, int timeoutMs = 5000) {
        httplib::Client client("127.0.0.1", server_.Port());
        client.set_read_timeout(timeoutMs / 1000, (timeoutMs % 1000) * 1000);
        auto result = client.Post("/fcgid/zarezivavad_wm.fcg?", body, "application/x-www-form-urlencoded");
        return result ? result->body : std::string();
    }

    std::string Forecast(const std::string& id, int timeoutMs = 5000) {
        return Post("posid=" + id + "&imei=" + kImei + "&ver=40&filterid=43", timeoutMs);
    }

    uint32_t Verify(const Unpacked& u) {
        return VerifyPemSignature(Bytes(u.content), u.content.size(), u.signature.data(), u.signature.size(), key_);
    }

    WeatherServerProcess server_{{"--date", "2026120914"}};
    PackageSigner signer_;
    PublicKeyRecord key_;
};

TEST_F(WeatherServer, AForecastIsASignedPackageThatPassesEveryCheck) {
    auto u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u);
    EXPECT_TRUE(u->outerHeaderOk && u->outerBodyOk && u->innerHeaderOk && u->innerBodyOk);
    EXPECT_EQ(Verify(*u), 0u);
    EXPECT_EQ(Attribute(u->content, "LOCATIONID"), "DEBE0001");
    EXPECT_EQ(Attribute(u->content, "DAY1FCST_VALID_DAY"), "20261209");
    EXPECT_EQ(Attribute(u->content, "DAY10FCST_VALID_DAY"), "20261218");
    EXPECT_FALSE(Attribute(u->content, "DAY1SUNRISE").empty());
    EXPECT_FALSE(Attribute(u->content, "PRESSURE").empty());
    EXPECT_NE(u->content.find("<hc>"), std::string::npos);
    EXPECT_EQ(Attribute(u->content, "LocalDate"), "2026-12-09 14:00:00");
    EXPECT_EQ(Attribute(u->content, "LocalTime"), "140000");
}

// The second reply comes from the server's package cache, which must neither change a byte nor outlive
// a change of date nor hide a fault.
TEST_F(WeatherServer, ForecastsAreDeterministicPerCityAndDate) {
    std::string built = Forecast("DEBE0001");
    std::string repeated = Forecast("DEBE0001");
    auto a = Unpack(built);
    auto c = Unpack(Forecast("USNY0996"));
    ASSERT_TRUE(a && c);
    EXPECT_EQ(built, repeated);
    EXPECT_NE(a->content, c->content);

    ASSERT_EQ(server_.Control("/control/date?value=2026121014"), "ok\n");
    auto nextDay = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(nextDay);
    EXPECT_EQ(Attribute(nextDay->content, "DAY1FCST_VALID_DAY"), "20261210");

    server_.Control("/control/fault?spec=damage-body*1");
    auto damaged = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(damaged);
    EXPECT_FALSE(damaged->outerBodyOk);
    ASSERT_EQ(server_.Control("/control/date?value=2026120914"), "ok\n");
    EXPECT_EQ(Forecast("DEBE0001"), built);
}

TEST_F(WeatherServer, MalformedRequestsGetTheInvalidParametersPage) {
    const std::string bad[] = {"posid=DEBE0001&imei=123456789012345&ver=39&filterid=43",
                               "posid=DEBE0001&imei=12345&ver=40&filterid=43",
                               "posid=DE&imei=123456789012345&ver=40&filterid=43",
                               "posid=DEBE0001&imei=123456789012345&ver=40&filterid=11", ""};
    for (const auto& body : bad) {
        EXPECT_NE(Post(body).find("<title>2000</title>"), std::string::npos) << body;
    }
}

TEST_F(WeatherServer, EachFaultFailsTheCheckItNames) {
    server_.Control("/control/fault?spec=code:2007");
    EXPECT_NE(Forecast("DEBE0001").find("<title>2007"), std::string::npos);

    server_.Control("/control/fault?spec=damage-header");
    auto u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u);
    EXPECT_FALSE(u->outerHeaderOk);
    EXPECT_TRUE(u->outerBodyOk);

    server_.Control("/control/fault?spec=damage-body");
    u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u);
    EXPECT_TRUE(u->outerHeaderOk);
    EXPECT_FALSE(u->outerBodyOk);

    server_.Control("/control/fault?spec=damage-content");
    u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u && u->outerBodyOk);
    EXPECT_TRUE(u->innerHeaderOk);
    EXPECT_FALSE(u->innerBodyOk);

    server_.Control("/control/fault?spec=stale-signature");
    u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u && u->outerBodyOk && u->innerBodyOk);
    EXPECT_EQ(Verify(*u), static_cast<uint32_t>(kRsaDigestMismatch));

    server_.Control("/control/fault?spec=wrong-id");
    u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u);
    EXPECT_EQ(Verify(*u), 0u);
    EXPECT_NE(Attribute(u->content, "LOCATIONID"), "DEBE0001");
    EXPECT_TRUE(CityDirectory::IsWellFormedId(Attribute(u->content, "LOCATIONID")));

    server_.Control("/control/fault?spec=off-date");
    u = Unpack(Forecast("DEBE0001"));
    ASSERT_TRUE(u);
    EXPECT_EQ(Attribute(u->content, "DAY1FCST_VALID_DAY"), "20261207");
}

TEST_F(WeatherServer, AFaultCanSkipRepliesAndStopAfterACount) {
    EXPECT_EQ(server_.Control("/control/fault?spec=damage-body@1*1"), "ok\n");
    auto first = Unpack(Forecast("DEBE0001"));
    auto second = Unpack(Forecast("DEBE0002"));
    auto third = Unpack(Forecast("DEBE0003"));
    ASSERT_TRUE(first && second && third);
    EXPECT_TRUE(first->outerBodyOk);
    EXPECT_FALSE(second->outerBodyOk);
    EXPECT_TRUE(third->outerBodyOk);
    EXPECT_NE(server_.Control("/control/fault?spec=nonsense"), "ok\n");
}

TEST_F(WeatherServer, AStalledReplyNeverComesUntilReleased) {
    server_.Control("/control/fault?spec=stall*1");
    EXPECT_EQ(Forecast("DEBE0001", 300).size(), 0u) << "no reply within the client's time-out";
    server_.Control("/control/release");
    EXPECT_TRUE(Unpack(Forecast("DEBE0001")));
    EXPECT_NE(server_.Control("/control/requests").find("posid=DEBE0001&imei=123456789012345"), std::string::npos);
}

TEST(WeatherServerCities, ACityTableLimitsTheKnownIdsAndABadTableStopsTheStart) {
    std::string table = "/tmp/weather-server-cities-" + std::to_string(getpid());
    std::ofstream(table) << "# id;latitude;longitude\nDEBE0001;52.52;13.40\n";
    {
        WeatherServerProcess server({"--cities", table});
        ASSERT_GT(server.Port(), 0);
        httplib::Client client("127.0.0.1", server.Port());
        auto known = client.Post("/fcgid/zarezivavad_wm.fcg?", "posid=DEBE0001&imei=123456789012345&ver=40&filterid=43",
                                 "text/plain");
        auto unknown = client.Post("/fcgid/zarezivavad_wm.fcg?",
                                   "posid=FRXX0001&imei=123456789012345&ver=40&filterid=43", "text/plain");
        ASSERT_TRUE(known && unknown);
        EXPECT_EQ(known->body.find("<title>"), std::string::npos);
        EXPECT_NE(unknown->body.find("<title>2007"), std::string::npos);
    }
    for (const char* bad : {"DEBE0001;north;13.40\n", "DEBE0001;nan;13.40\n", "DEBE0001;52.52;inf\n"}) {
        std::ofstream(table) << bad;
        WeatherServerProcess broken({"--cities", table});
        EXPECT_EQ(broken.Port(), 0) << bad;
    }
    std::remove(table.c_str());
}

}  // namespace

namespace {

// Every map of the installed maps database gets a picture: a text head, a NUL and a PNG image.
TEST(WeatherServerMaps, EveryMapOfTheMapsDatabaseGetsAPicture) {
    const std::string built = std::string(CE_TEST_BINARY_DIR) + "/data/";
    WeatherServerProcess server({"--maps", built + "maps.txt", "--date", "2026120914"});
    ASSERT_GT(server.Port(), 0);
    std::ifstream list(built + "maps.txt");
    std::string line;
    int maps = 0;
    httplib::Client client("127.0.0.1", server.Port());
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::string id = line.substr(0, line.find(';'));
        auto reply = client.Get(("/fcgid/zarezivavad_wm.fcg?pic=" + id + "&imei=123456789012345&ver=40&filterid=11").c_str());
        ASSERT_TRUE(reply) << id;
        size_t nul = reply->body.find('\0');
        ASSERT_NE(nul, std::string::npos) << id;
        EXPECT_EQ(reply->body.substr(nul + 1, 8), "\x89PNG\r\n\x1a\n") << id;
        EXPECT_EQ(reply->body.find("<title>"), std::string::npos);
        ++maps;
    }
    EXPECT_GT(maps, 30);
    auto unknown = client.Get("/fcgid/zarezivavad_wm.fcg?pic=nowhere_sat&imei=123456789012345&ver=40&filterid=11");
    ASSERT_TRUE(unknown);
    EXPECT_NE(unknown->body.find("<title>2007"), std::string::npos);
    auto badFilter = client.Get("/fcgid/zarezivavad_wm.fcg?pic=europe_sat&imei=123456789012345&ver=40&filterid=43");
    ASSERT_TRUE(badFilter);
    EXPECT_NE(badFilter->body.find("<title>2000"), std::string::npos);
}

}  // namespace
