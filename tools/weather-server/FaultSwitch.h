// Faults that tests switch on in the server: which reply goes wrong, and how.
#pragma once

#include <mutex>
#include <optional>
#include <string>

enum class FaultKind {
    ServerCode,       // an error page "<title>CODE"
    DamageHeader,     // outer header byte 10 changed: the first CRC fails
    DamageBody,       // last byte changed: the outer body CRC fails
    DamageContent,    // a content byte changed inside the inner level, CRCs kept
    StaleSignature,   // content changed after signing, CRCs made anew: only the signature fails
    WrongLocationId,  // the reply names another city
    OffDate,          // the first day lies two days before the server's date
    Stall,            // no reply at all until released
    // Map replies only:
    CutPicture,       // a whole reply whose picture lacks its second half
    NoSeparator,      // a reply without the NUL between head and picture
    DropConnection,   // the reply announces its full length and the connection ends halfway
    // Update replies only:
    CatalogEmpty,     // the update catalog offers nothing
    CatalogTwo,       // the update catalog offers two products
    CatalogDamaged,   // a product of the update catalog lacks a required attribute
    PackageCut,       // the package download ends after half of the announced bytes
    PackageDamaged,   // a byte of the package is changed, its size kept
};

struct Fault {
    FaultKind kind = FaultKind::ServerCode;
    int code = 0;   // for ServerCode
    int skip = 0;   // forecast replies that pass unharmed first
    int count = 0;  // replies that get the fault; 0: every one
};

class FaultSwitch {
public:
    void Set(const Fault& fault);
    void Reset();
    // The fault for the next forecast reply, if any; counts the reply.
    std::optional<Fault> NextReply();

    // "kind[:code][@skip][*count]", e.g. "code:2007", "damage-body@1*1", "stall".
    static std::optional<Fault> Parse(const std::string& text);
    static std::optional<FaultKind> ParseKind(const std::string& name);

private:
    std::mutex lock_;
    std::optional<Fault> fault_;
    int applied_ = 0;
};
