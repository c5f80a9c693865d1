// Reads one position from a GPS receiver that sends NMEA 0183 sentences on a serial port ("COM%d:") or
// a port of the GPS intermediate driver ("GPD%d:"). The read is synchronous and bounded by the port's
// time-outs, the number of empty reads and the number of buffers read.
#pragma once

#include <string>

#include "ce/types.h"

class CGPSReceiver {
public:
    enum ReadResult { kReadOk = 0, kReadPortFailed = 1, kReadNoPosition = 2 };
    static constexpr int kBufferSize = 1000;
    static constexpr int kMaxEmptyReads = 30;
    static constexpr int kMaxBuffers = 3;
    // An RMC fix must be younger than this many whole days.
    static constexpr int kMaxFixAgeDays = 8;

    CGPSReceiver();
    CGPSReceiver(const CGPSReceiver&) = delete;
    CGPSReceiver& operator=(const CGPSReceiver&) = delete;
    ~CGPSReceiver();

    // The port device name is the caller's and must outlive the next read.
    void SetPort(LPCWSTR port);
    // Latitude and longitude in decimal degrees, south and west negative.
    int ReadPosition(double* latitude, double* longitude);

    // The first usable RMC sentence of the text, else GGA, else GLL; false when none gives a position.
    bool FindPosition(const std::string& text, double* latitude, double* longitude);
    // An NMEA coordinate (d)ddmm.mmmm in decimal degrees; false when the text is not one.
    static bool ParseCoordinate(const std::string& field, int maxDegrees, double* degrees);

private:
    struct RmcRecord {
        float time = 0;
        char status = 0;
        double latitude = 0;
        char northSouth = 0;
        double longitude = 0;
        char eastWest = 0;
        DWORD unused[2] = {};
        DWORD date = 0;  // DDMMYY
    };
    struct GgaRecord {
        float time = 0;
        double latitude = 0;
        char northSouth = 0;
        double longitude = 0;
        char eastWest = 0;
        DWORD fixQuality = 0;
    };
    struct GllRecord {
        double latitude = 0;
        char northSouth = 0;
        double longitude = 0;
        char eastWest = 0;
        float time = 0;
        char status = 0;
    };

    int ReadFromPort(HANDLE port, double* latitude, double* longitude);
    // Fills the buffer; kReadOk when it is full.
    int FillBuffer(HANDLE port, int* emptyReads);
    bool ParseRmc(const std::string& sentence);
    bool ParseGga(const std::string& sentence);
    bool ParseGll(const std::string& sentence);
    static bool IsRecentFix(DWORD ddmmyy);

    RmcRecord m_rmc;
    GgaRecord m_gga;
    GllRecord m_gll;
    LPCWSTR m_port = nullptr;
    char* m_buffer;
    int m_length = 0;
};
