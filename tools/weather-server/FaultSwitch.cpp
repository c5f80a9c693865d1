#include "FaultSwitch.h"

#include <cstdlib>

void FaultSwitch::Set(const Fault& fault) {
    std::lock_guard guard(lock_);
    fault_ = fault;
    applied_ = 0;
}

void FaultSwitch::Reset() {
    std::lock_guard guard(lock_);
    fault_.reset();
    applied_ = 0;
}

std::optional<Fault> FaultSwitch::NextReply() {
    std::lock_guard guard(lock_);
    if (!fault_) {
        return std::nullopt;
    }
    if (fault_->skip > 0) {
        --fault_->skip;
        return std::nullopt;
    }
    if (fault_->count > 0 && applied_ >= fault_->count) {
        return std::nullopt;
    }
    ++applied_;
    return fault_;
}

std::optional<FaultKind> FaultSwitch::ParseKind(const std::string& name) {
    static const struct {
        const char* name;
        FaultKind kind;
    } kKinds[] = {{"code", FaultKind::ServerCode},           {"damage-header", FaultKind::DamageHeader},
                  {"damage-body", FaultKind::DamageBody},    {"damage-content", FaultKind::DamageContent},
                  {"stale-signature", FaultKind::StaleSignature}, {"wrong-id", FaultKind::WrongLocationId},
                  {"off-date", FaultKind::OffDate},          {"stall", FaultKind::Stall},
                  {"cut-picture", FaultKind::CutPicture},    {"no-separator", FaultKind::NoSeparator},
                  {"drop-connection", FaultKind::DropConnection},
                  {"catalog-empty", FaultKind::CatalogEmpty},   {"catalog-two", FaultKind::CatalogTwo},
                  {"catalog-damaged", FaultKind::CatalogDamaged}, {"package-cut", FaultKind::PackageCut},
                  {"package-damaged", FaultKind::PackageDamaged}};
    for (const auto& entry : kKinds) {
        if (name == entry.name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

namespace {

// Reads a whole non-negative number; false for anything else.
bool ParseCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::atoi(text.c_str());
    return true;
}

}  // namespace

std::optional<Fault> FaultSwitch::Parse(const std::string& text) {
    Fault fault;
    size_t end = text.find_first_of(":@*");
    auto kind = ParseKind(text.substr(0, end));
    if (!kind) {
        return std::nullopt;
    }
    fault.kind = *kind;
    while (end != std::string::npos) {
        char mark = text[end];
        size_t next = text.find_first_of(":@*", end + 1);
        std::string value = text.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1);
        int* target = mark == ':' ? &fault.code : mark == '@' ? &fault.skip : &fault.count;
        if (!ParseCount(value, *target)) {
            return std::nullopt;
        }
        end = next;
    }
    if (fault.kind == FaultKind::ServerCode && fault.code == 0) {
        return std::nullopt;
    }
    return fault;
}
