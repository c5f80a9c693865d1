#include "Weather/CGPSReceiver.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "CDate.h"
#include "ce/kernel.h"

namespace {

constexpr DWORD kReadIntervalMs = 500;
constexpr DWORD kReadMultiplierMs = 500;
constexpr DWORD kSettleMs = 250;
constexpr LONGLONG kTicksPerDay = 864000000000LL;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Whether the two hex digits after the "*" at star match the sentence from at.
bool ChecksumMatches(const std::string& text, size_t at, size_t star) {
    if (star + 2 >= text.size()) {
        return false;
    }
    const int high = HexDigit(text[star + 1]);
    const int low = HexDigit(text[star + 2]);
    unsigned char sum = 0;
    for (size_t i = at + 1; i < star; ++i) {
        sum ^= static_cast<unsigned char>(text[i]);
    }
    return high >= 0 && low >= 0 && sum == high * 16 + low;
}

// The sentences of this name in the text, in order, each from its "$" up to its "*" or, for a receiver
// that sends no checksum, its line end. A sentence whose checksum is wrong, or that the buffer cuts off
// before its end, is damaged and left out.
std::vector<std::string> CheckedSentences(const std::string& text, const char* name) {
    std::vector<std::string> sentences;
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const size_t end = text.find_first_of("*\r\n$", at + 1);
        if (end == std::string::npos || text[end] == '$' || (text[end] == '*' && !ChecksumMatches(text, at, end))) {
            continue;
        }
        sentences.push_back(text.substr(at, end - at));
    }
    return sentences;
}

std::vector<std::string> SplitFields(const std::string& sentence) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = sentence.find(',', start);
        fields.push_back(sentence.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// A whole decimal number; 0 for an empty or damaged field.
double NumberField(const std::string& field) {
    if (field.empty()) {
        return 0;
    }
    char* end = nullptr;
    double value = std::strtod(field.c_str(), &end);
    return *end == 0 && std::isfinite(value) ? value : 0;
}

DWORD UnsignedField(const std::string& field) {
    if (field.empty() || field.size() > 9 || field.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return static_cast<DWORD>(std::strtoul(field.c_str(), nullptr, 10));
}

char CharField(const std::string& field) { return field.empty() ? 0 : field[0]; }

// Both hemisphere letters must be given; south and west are negative.
bool SignedPosition(double latitude, char northSouth, double longitude, char eastWest, double* outLatitude,
                    double* outLongitude) {
    if ((northSouth != 'N' && northSouth != 'S') || (eastWest != 'E' && eastWest != 'W')) {
        return false;
    }
    *outLatitude = northSouth == 'S' ? -latitude : latitude;
    *outLongitude = eastWest == 'W' ? -longitude : longitude;
    return true;
}

}  // namespace

CGPSReceiver::CGPSReceiver() : m_buffer(new char[kBufferSize + 1]) { m_buffer[0] = 0; }

CGPSReceiver::~CGPSReceiver() { delete[] m_buffer; }

void CGPSReceiver::SetPort(LPCWSTR port) { m_port = port; }

int CGPSReceiver::ReadPosition(double* latitude, double* longitude) {
    if (m_port == nullptr || latitude == nullptr || longitude == nullptr) {
        return kReadPortFailed;
    }
    HANDLE port = CreateFileW(m_port, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        return kReadPortFailed;
    }
    COMMTIMEOUTS timeouts{kReadIntervalMs, kReadMultiplierMs, 0, 0, 0};
    int result = kReadPortFailed;
    if (SetCommTimeouts(port, &timeouts)) {
        PurgeComm(port, PURGE_RXCLEAR);
        SetCommMask(port, EV_RXCHAR);
        Sleep(kSettleMs);
        result = ReadFromPort(port, latitude, longitude);
    }
    CloseHandle(port);
    return result;
}

int CGPSReceiver::ReadFromPort(HANDLE port, double* latitude, double* longitude) {
    int emptyReads = 0;
    int buffersWithoutSentences = 0;
    int buffersWithoutPosition = 0;
    for (;;) {
        int filled = FillBuffer(port, &emptyReads);
        if (filled != kReadOk) {
            return filled;
        }
        std::string text(m_buffer, m_length);
        // "$GPG" covers GGA and GLL; a receiver that sends RMC alone still sends positions.
        if (text.find("$GPG") == std::string::npos && text.find("$GPRMC") == std::string::npos) {
            if (++buffersWithoutSentences == kMaxBuffers) {
                return kReadPortFailed;
            }
        } else if (FindPosition(text, latitude, longitude)) {
            return kReadOk;
        }
        if (++buffersWithoutPosition == kMaxBuffers) {
            return kReadNoPosition;
        }
    }
}

// Only printable text is kept: line noise cannot become part of a sentence.
int CGPSReceiver::FillBuffer(HANDLE port, int* emptyReads) {
    m_length = 0;
    m_buffer[0] = 0;
    while (m_length < kBufferSize) {
        char c = 0;
        DWORD read = 0;
        if (!ReadFile(port, &c, 1, &read, nullptr)) {
            return kReadPortFailed;
        }
        if (read == 0) {
            if (++*emptyReads == kMaxEmptyReads) {
                return kReadPortFailed;
            }
            continue;
        }
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && (std::isalnum(byte) || std::isspace(byte) || std::ispunct(byte))) {
            m_buffer[m_length++] = c;
            m_buffer[m_length] = 0;
        }
    }
    return kReadOk;
}

bool CGPSReceiver::FindPosition(const std::string& text, double* latitude, double* longitude) {
    for (const std::string& sentence : CheckedSentences(text, "$GPRMC")) {
        if (ParseRmc(sentence)) {
            return SignedPosition(m_rmc.latitude, m_rmc.northSouth, m_rmc.longitude, m_rmc.eastWest, latitude,
                                  longitude);
        }
    }
    for (const std::string& sentence : CheckedSentences(text, "$GPGGA")) {
        if (ParseGga(sentence)) {
            return SignedPosition(m_gga.latitude, m_gga.northSouth, m_gga.longitude, m_gga.eastWest, latitude,
                                  longitude);
        }
    }
    for (const std::string& sentence : CheckedSentences(text, "$GPGLL")) {
        if (ParseGll(sentence)) {
            return SignedPosition(m_gll.latitude, m_gll.northSouth, m_gll.longitude, m_gll.eastWest, latitude,
                                  longitude);
        }
    }
    return false;
}

// Degrees and minutes: 4807.038 is 48 degrees 7.038 minutes.
bool CGPSReceiver::ParseCoordinate(const std::string& field, int maxDegrees, double* degrees) {
    double value = NumberField(field);
    if (value <= 0) {
        return false;
    }
    double whole = std::floor(value / 100);
    double minutes = value - whole * 100;
    *degrees = whole + minutes / 60;
    return minutes < 60 && *degrees <= maxDegrees;
}

bool CGPSReceiver::ParseRmc(const std::string& sentence) {
    std::vector<std::string> fields = SplitFields(sentence);
    if (fields.size() < 10) {
        return false;
    }
    m_rmc = RmcRecord{};
    m_rmc.time = static_cast<float>(NumberField(fields[1]));
    m_rmc.status = CharField(fields[2]);
    m_rmc.northSouth = CharField(fields[4]);
    m_rmc.eastWest = CharField(fields[6]);
    m_rmc.date = UnsignedField(fields[9]);
    return m_rmc.status == 'A' && ParseCoordinate(fields[3], 90, &m_rmc.latitude) &&
           ParseCoordinate(fields[5], 180, &m_rmc.longitude) && m_rmc.date != 0 && IsRecentFix(m_rmc.date);
}

bool CGPSReceiver::ParseGga(const std::string& sentence) {
    std::vector<std::string> fields = SplitFields(sentence);
    if (fields.size() < 7) {
        return false;
    }
    m_gga = GgaRecord{};
    m_gga.time = static_cast<float>(NumberField(fields[1]));
    m_gga.northSouth = CharField(fields[3]);
    m_gga.eastWest = CharField(fields[5]);
    m_gga.fixQuality = UnsignedField(fields[6]);
    return ParseCoordinate(fields[2], 90, &m_gga.latitude) && ParseCoordinate(fields[4], 180, &m_gga.longitude) &&
           m_gga.fixQuality != 0;
}

bool CGPSReceiver::ParseGll(const std::string& sentence) {
    std::vector<std::string> fields = SplitFields(sentence);
    if (fields.size() < 7) {
        return false;
    }
    m_gll = GllRecord{};
    m_gll.northSouth = CharField(fields[2]);
    m_gll.eastWest = CharField(fields[4]);
    m_gll.time = static_cast<float>(NumberField(fields[5]));
    m_gll.status = CharField(fields[6]);
    return ParseCoordinate(fields[1], 90, &m_gll.latitude) && ParseCoordinate(fields[3], 180, &m_gll.longitude) &&
           m_gll.status == 'A';
}

// The date is taken as 20YY-MM-DD 00:00; a date ahead of the device's clock counts as recent. The
// year 2000 is one of them: the date type's own validity starts at 2001, so the fields are checked here.
bool CGPSReceiver::IsRecentFix(DWORD ddmmyy) {
    const DWORD day = ddmmyy / 10000;
    const DWORD month = ddmmyy / 100 % 100;
    const CDate date(2000 + ddmmyy % 100, month, day);
    SYSTEMTIME fix;
    SYSTEMTIME now;
    FILETIME fixFile;
    FILETIME nowFile;
    if (day < 1 || day > 31 || month < 1 || month > 12) {
        return false;
    }
    date.ToSystemTime(&fix);
    GetLocalTime(&now);
    if (!SystemTimeToFileTime(&fix, &fixFile) || !SystemTimeToFileTime(&now, &nowFile)) {
        return false;
    }
    auto ticks = [](const FILETIME& file) {
        return static_cast<LONGLONG>((static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime);
    };
    return (ticks(nowFile) - ticks(fixFile)) / kTicksPerDay < kMaxFixAgeDays;
}
