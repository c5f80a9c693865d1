// The forecast server stand-in. Speaks the forecast protocol on loopback:
//   POST /fcgid/zarezivavad_wm.fcg?  body "posid=ID&imei=DIGITS&ver=40&filterid=43"
// and answers with a signed package or an error page "<title>CODE"; and the map protocol:
//   GET /fcgid/zarezivavad_wm.fcg?pic=MAPID&imei=DIGITS&ver=40&filterid=11
// answered with a text head, a NUL byte and the PNG picture; and the update protocol:
//   POST /fcgid/sou.fcg?  body "protocol=3&id=PRODUCT&compress=0&mod=&html2plain=0"
// answered with the catalog XML, whose entries point to packages at GET /updates/NAME.arm.cab.
// Tests steer it through
//   GET /control/fault?spec=KIND[:CODE][@SKIP][*COUNT]   GET /control/reset   GET /control/release
//   GET /control/requests (one request body a line)      GET /control/date?value=YYYYMMDD[HH]
//   GET /control/update-requests (one update request a line: "catalog BODY" or "package PATH")
//   GET /control/held (how many replies the stall fault holds now)
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CityDirectory.h"
#include "FaultSwitch.h"
#include "ForecastDocument.h"
#include "MapPicture.h"
#include "PackageCache.h"
#include "PackageSigner.h"
#include "SignedPackage.h"
#include "UpdateOffer.h"

namespace {

constexpr int kProtocolVersion = 40;
constexpr int kForecastFilter = 43;
constexpr int kMapFilter = 11;
constexpr const char* kForecastPath = "/fcgid/zarezivavad_wm.fcg";
constexpr const char* kCatalogPath = "/fcgid/sou.fcg";
constexpr int kCatalogProtocol = 3;

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string portFile;
    std::string keyPath = WEATHER_SERVER_DEFAULT_KEY;
    std::string citiesPath;
    std::string mapsPath;
    std::string fault;
    std::string date;  // YYYYMMDD[HH]: the server's "now" instead of the real clock
    bool printPublicKey = false;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: weather-server [--host ADDR] [--port N] [--port-file FILE] [--key PEM]\n"
                 "                      [--cities FILE] [--maps FILE] [--date YYYYMMDD[HH]] [--fault SPEC]\n"
                 "       weather-server --print-public-key [--key PEM]\n");
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                return false;
            }
            target = argv[++i];
            return true;
        };
        std::string port;
        bool ok = true;
        if (arg == "--host") ok = value(options.host);
        else if (arg == "--port") {
            ok = value(port) && !port.empty() && port.find_first_not_of("0123456789") == std::string::npos &&
                 port.size() <= 5;
            options.port = ok ? std::atoi(port.c_str()) : 0;
            ok = ok && options.port <= 65535;
        } else if (arg == "--port-file") ok = value(options.portFile);
        else if (arg == "--key") ok = value(options.keyPath);
        else if (arg == "--cities") ok = value(options.citiesPath);
        else if (arg == "--maps") ok = value(options.mapsPath);
        else if (arg == "--fault") ok = value(options.fault);
        else if (arg == "--date") ok = value(options.date);
        else if (arg == "--print-public-key") options.printPublicKey = true;
        else ok = false;
        if (!ok) {
            std::fprintf(stderr, "weather-server: bad argument '%s'\n", arg.c_str());
            return std::nullopt;
        }
    }
    return options;
}

// The server's clock: real UTC, or a fixed moment for tests.
class ServerClock {
public:
    bool SetFixed(const std::string& text) {
        if ((text.size() != 8 && text.size() != 10) || text.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        CalendarDate date{std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)), std::stoi(text.substr(6, 2))};
        int hour = text.size() == 10 ? std::stoi(text.substr(8, 2)) : 12;
        if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 || hour > 23 ||
            date.AddDays(1).AddDays(-1) != date) {
            return false;
        }
        std::lock_guard guard(lock_);
        fixed_ = true;
        date_ = date;
        hour_ = hour;
        return true;
    }

    // The place's local date and hour now.
    void LocalNow(const Place& place, CalendarDate& date, int& hour) {
        std::lock_guard guard(lock_);
        if (fixed_) {
            date = date_;
            hour = hour_;
            return;
        }
        std::time_t now = std::time(nullptr) + ClimateModel::UtcOffsetHours(place) * 3600;
        std::tm utc{};
        gmtime_r(&now, &utc);
        date = {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
        hour = utc.tm_hour;
    }

private:
    std::mutex lock_;
    bool fixed_ = false;
    CalendarDate date_;
    int hour_ = 12;
};

// Replies held back by the stall fault wait here until released or the server stops.
class StallGate {
public:
    void Hold() {
        std::unique_lock guard(lock_);
        uint64_t generation = generation_;
        ++held_;
        changed_.wait_for(guard, std::chrono::minutes(10), [&] { return generation_ != generation || closed_; });
        --held_;
    }
    int Held() {
        std::lock_guard guard(lock_);
        return held_;
    }
    void ReleaseAll() {
        std::lock_guard guard(lock_);
        ++generation_;
        changed_.notify_all();
    }
    void Close() {
        std::lock_guard guard(lock_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
    int held_ = 0;
    bool closed_ = false;
};

std::map<std::string, std::string> ParseForm(const std::string& body) {
    std::map<std::string, std::string> fields;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        std::string pair = body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t eq = pair.find('=');
        if (eq != std::string::npos) {
            fields[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return fields;
}

std::string ErrorPage(int code) {
    return "<html><head><title>" + std::to_string(code) + "</title></head><body>Error " + std::to_string(code) +
           "</body></html>";
}

bool IsDigits(const std::string& text, size_t length) {
    return text.size() == length && text.find_first_not_of("0123456789") == std::string::npos;
}

class ForecastService {
public:
    ForecastService(const PackageSigner& signer, const CityDirectory& cities, ServerClock& clock, FaultSwitch& faults,
                    StallGate& stalls)
        : signer_(signer), cities_(cities), clock_(clock), faults_(faults), stalls_(stalls) {}

    void Answer(const httplib::Request& request, httplib::Response& response) {
        RecordRequest(request.body);
        auto fields = ParseForm(request.body);
        if (fields["ver"] != std::to_string(kProtocolVersion) || fields["filterid"] != std::to_string(kForecastFilter) ||
            !IsDigits(fields["imei"], 15) || !CityDirectory::IsWellFormedId(fields["posid"])) {
            return SendError(response, 2000);
        }
        std::optional<Place> place = cities_.Find(fields["posid"]);
        if (!place) {
            return SendError(response, 2007);
        }
        std::optional<Fault> fault = faults_.NextReply();
        if (fault && fault->kind == FaultKind::Stall) {
            stalls_.Hold();
            response.status = 500;
            return;
        }
        if (fault && fault->kind == FaultKind::ServerCode) {
            return SendError(response, fault->code);
        }
        std::string package = Package(*place, fault);
        if (package.empty()) {
            return SendError(response, 2008);
        }
        response.set_content(package, "application/octet-stream");
    }

    std::string Requests() {
        std::lock_guard guard(lock_);
        std::string text;
        for (const auto& body : requests_) {
            text += body + "\n";
        }
        return text;
    }

private:
    void RecordRequest(const std::string& body) {
        std::lock_guard guard(lock_);
        requests_.push_back(body.substr(0, 200));
    }

    static void SendError(httplib::Response& response, int code) { response.set_content(ErrorPage(code), "text/html"); }

    std::string Package(const Place& place, const std::optional<Fault>& fault) {
        ForecastRequest forecast;
        forecast.place = place;
        clock_.LocalNow(place, forecast.today, forecast.hour);
        FaultKind kind = fault ? fault->kind : FaultKind::ServerCode;
        if (fault && kind == FaultKind::OffDate) {
            forecast.today = forecast.today.AddDays(-2);
        }
        if (fault && kind == FaultKind::WrongLocationId) {
            forecast.reportedId = place.id == "ZZXX9999" ? "ZZXX9998" : "ZZXX9999";
        }
        if (!fault) {
            if (std::optional<std::string> cached = packages_.Find(forecast)) {
                return *cached;
            }
        }
        std::string content = ForecastDocument::Build(forecast);
        std::string signature = signer_.Sign(content);
        if (signature.empty()) {
            return {};
        }
        if (fault && kind == FaultKind::StaleSignature) {
            content[content.size() / 2] ^= 0x01;
        }
        std::string inner = SignedPackage::Inner(content, signature);
        if (fault && kind == FaultKind::DamageContent) {
            inner[SignedPackage::kHeaderSize + content.size() / 2] ^= 0x01;
        }
        std::string outer = SignedPackage::Outer(inner);
        if (outer.empty()) {
            return {};
        }
        if (fault && kind == FaultKind::DamageHeader) {
            outer[10] ^= 0x01;
        }
        if (fault && kind == FaultKind::DamageBody) {
            outer.back() ^= 0x01;
        }
        if (!fault) {
            packages_.Store(forecast, outer);
        }
        return outer;
    }

    const PackageSigner& signer_;
    const CityDirectory& cities_;
    ServerClock& clock_;
    FaultSwitch& faults_;
    StallGate& stalls_;
    PackageCache packages_;
    std::mutex lock_;
    std::vector<std::string> requests_;
};

class MapService {
public:
    MapService(const MapCatalog& maps, ServerClock& clock, FaultSwitch& faults, StallGate& stalls)
        : maps_(maps), clock_(clock), faults_(faults), stalls_(stalls) {}

    void Answer(const httplib::Request& request, httplib::Response& response) {
        std::string id = request.get_param_value("pic");
        if (request.get_param_value("ver") != std::to_string(kProtocolVersion) ||
            request.get_param_value("filterid") != std::to_string(kMapFilter) ||
            !IsDigits(request.get_param_value("imei"), 15)) {
            return response.set_content(ErrorPage(2000), "text/html");
        }
        std::optional<int> type = maps_.TypeOf(id);
        if (!type) {
            return response.set_content(ErrorPage(2007), "text/html");
        }
        std::optional<Fault> fault = faults_.NextReply();
        if (fault && fault->kind == FaultKind::Stall) {
            stalls_.Hold();
            response.status = 500;
            return;
        }
        if (fault && fault->kind == FaultKind::ServerCode) {
            return response.set_content(ErrorPage(fault->code), "text/html");
        }
        CalendarDate date;
        int hour = 0;
        clock_.LocalNow(Place{}, date, hour);
        std::string picture = MapPicture::Render(id, *type, date.Digits());
        if (picture.empty()) {
            return response.set_content(ErrorPage(2008), "text/html");
        }
        std::string head = "pic=" + id + ";type=" + std::to_string(*type) + ";date=" + date.Digits();
        if (fault && fault->kind == FaultKind::CutPicture) {
            picture.resize(picture.size() / 2);
        }
        std::string reply = head + (fault && fault->kind == FaultKind::NoSeparator ? "" : std::string(1, '\0')) + picture;
        if (fault && fault->kind == FaultKind::DropConnection) {
            return SendHalfAndDrop(response, reply);
        }
        response.set_content(reply, "application/octet-stream");
    }

private:
    // Announces the whole length, sends the first half, and ends the connection.
    static void SendHalfAndDrop(httplib::Response& response, const std::string& reply) {
        auto data = std::make_shared<std::string>(reply);
        response.set_content_provider(data->size(), "application/octet-stream",
                                      [data](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset >= data->size() / 2) {
                                              return false;
                                          }
                                          sink.write(data->data(), data->size() / 2);
                                          return true;
                                      });
    }

    const MapCatalog& maps_;
    ServerClock& clock_;
    FaultSwitch& faults_;
    StallGate& stalls_;
};

class UpdateService {
public:
    UpdateService(FaultSwitch& faults, StallGate& stalls) : faults_(faults), stalls_(stalls) {}

    void AnswerCatalog(const httplib::Request& request, httplib::Response& response) {
        Record("catalog " + request.body.substr(0, 200));
        auto fields = ParseForm(request.body);
        const std::string& id = fields["id"];
        if (fields["protocol"] != std::to_string(kCatalogProtocol) || fields["compress"] != "0" || id.empty() ||
            id.size() > 9 || id.find_first_not_of("0123456789") != std::string::npos) {
            response.status = 400;
            return response.set_content("bad catalog request\n", "text/plain");
        }
        std::optional<Fault> fault = faults_.NextReply();
        if (Held(fault, response)) {
            return;
        }
        response.set_content(offer_.Catalog(std::atoi(id.c_str()), fault ? &*fault : nullptr), "text/xml");
    }

    void AnswerPackage(const httplib::Request& request, httplib::Response& response) {
        Record("package " + request.path);
        std::string package = offer_.Package(request.path);
        if (package.empty()) {
            response.status = 404;
            return;
        }
        std::optional<Fault> fault = faults_.NextReply();
        if (Held(fault, response)) {
            return;
        }
        if (fault && fault->kind == FaultKind::PackageDamaged) {
            package[package.size() / 2] ^= 0x20;
        }
        if (fault && fault->kind == FaultKind::PackageCut) {
            // The whole length is announced, half is sent, then the connection is dropped.
            size_t half = package.size() / 2;
            response.set_content_provider(package.size(), "application/octet-stream",
                                          [package, half](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset >= half) {
                                                  return false;
                                              }
                                              sink.write(package.data() + offset, half - offset);
                                              return true;
                                          });
            return;
        }
        response.set_content(package, "application/octet-stream");
    }

    std::string Requests() {
        std::lock_guard guard(lock_);
        return requests_;
    }

private:
    bool Held(const std::optional<Fault>& fault, httplib::Response& response) {
        if (fault && fault->kind == FaultKind::Stall) {
            stalls_.Hold();
            response.status = 500;
            return true;
        }
        if (fault && fault->kind == FaultKind::ServerCode) {
            response.set_content(ErrorPage(fault->code), "text/html");
            return true;
        }
        return false;
    }
    void Record(const std::string& line) {
        std::lock_guard guard(lock_);
        requests_ += line + "\n";
    }

    UpdateOffer offer_;
    FaultSwitch& faults_;
    StallGate& stalls_;
    std::mutex lock_;
    std::string requests_;
};

void PrintHex(const char* name, const std::vector<unsigned char>& bytes) {
    std::printf("%s=", name);
    for (unsigned char b : bytes) {
        std::printf("%02X", b);
    }
    std::printf("\n");
}

bool WritePortFile(const std::string& path, int port) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << port << "\n";
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

// Stops the server on SIGINT or SIGTERM, from a thread of its own rather than inside the handler.
void StopOnSignals(httplib::Server& server, StallGate& stalls) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals, &server, &stalls] {
        int received = 0;
        sigwait(&signals, &received);
        stalls.Close();
        server.stop();
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        Usage();
        return 2;
    }
    PackageSigner signer;
    std::string error;
    if (!signer.LoadPrivateKey(options->keyPath, error)) {
        std::fprintf(stderr, "weather-server: %s\n", error.c_str());
        return 1;
    }
    if (options->printPublicKey) {
        PrintHex("modulus", signer.PublicModulus());
        PrintHex("exponent", signer.PublicExponent());
        return 0;
    }
    CityDirectory cities;
    if (!options->citiesPath.empty() && !cities.Load(options->citiesPath, error)) {
        std::fprintf(stderr, "weather-server: %s\n", error.c_str());
        return 1;
    }
    MapCatalog maps;
    if (!options->mapsPath.empty() && !maps.Load(options->mapsPath, error)) {
        std::fprintf(stderr, "weather-server: %s\n", error.c_str());
        return 1;
    }
    ServerClock clock;
    if (!options->date.empty() && !clock.SetFixed(options->date)) {
        std::fprintf(stderr, "weather-server: bad date '%s' (YYYYMMDD or YYYYMMDDHH)\n", options->date.c_str());
        return 2;
    }
    FaultSwitch faults;
    if (!options->fault.empty()) {
        std::optional<Fault> fault = FaultSwitch::Parse(options->fault);
        if (!fault) {
            std::fprintf(stderr, "weather-server: bad fault '%s'\n", options->fault.c_str());
            return 2;
        }
        faults.Set(*fault);
    }

    StallGate stalls;
    ForecastService forecasts(signer, cities, clock, faults, stalls);
    httplib::Server server;
    StopOnSignals(server, stalls);
    MapService mapService(maps, clock, faults, stalls);
    server.Post(kForecastPath, [&](const httplib::Request& q, httplib::Response& r) { forecasts.Answer(q, r); });
    server.Get(kForecastPath, [&](const httplib::Request& q, httplib::Response& r) { mapService.Answer(q, r); });
    UpdateService updates(faults, stalls);
    server.Post(kCatalogPath, [&](const httplib::Request& q, httplib::Response& r) { updates.AnswerCatalog(q, r); });
    server.Get(R"(/updates/[^/]+)", [&](const httplib::Request& q, httplib::Response& r) { updates.AnswerPackage(q, r); });
    server.Get("/control/update-requests", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content(updates.Requests(), "text/plain");
    });
    server.Get("/control/fault", [&](const httplib::Request& q, httplib::Response& r) {
        std::optional<Fault> fault = FaultSwitch::Parse(q.get_param_value("spec"));
        if (!fault) {
            r.status = 400;
            r.set_content("bad fault spec\n", "text/plain");
            return;
        }
        faults.Set(*fault);
        r.set_content("ok\n", "text/plain");
    });
    server.Get("/control/reset", [&](const httplib::Request&, httplib::Response& r) {
        faults.Reset();
        stalls.ReleaseAll();
        r.set_content("ok\n", "text/plain");
    });
    server.Get("/control/release", [&](const httplib::Request&, httplib::Response& r) {
        stalls.ReleaseAll();
        r.set_content("ok\n", "text/plain");
    });
    server.Get("/control/held", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::to_string(stalls.Held()) + "\n", "text/plain");
    });
    server.Get("/control/requests", [&](const httplib::Request&, httplib::Response& r) {
        r.set_content(forecasts.Requests(), "text/plain");
    });
    server.Get("/control/date", [&](const httplib::Request& q, httplib::Response& r) {
        bool ok = clock.SetFixed(q.get_param_value("value"));
        r.status = ok ? 200 : 400;
        r.set_content(ok ? "ok\n" : "bad date\n", "text/plain");
    });

    int port = options->port == 0 ? server.bind_to_any_port(options->host)
                                  : (server.bind_to_port(options->host, options->port) ? options->port : -1);
    if (port <= 0) {
        std::fprintf(stderr, "weather-server: cannot listen on %s:%d\n", options->host.c_str(), options->port);
        return 1;
    }
    if (!options->portFile.empty() && !WritePortFile(options->portFile, port)) {
        std::fprintf(stderr, "weather-server: cannot write %s\n", options->portFile.c_str());
        return 1;
    }
    std::printf("weather-server listening on %s:%d\n", options->host.c_str(), port);
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}
