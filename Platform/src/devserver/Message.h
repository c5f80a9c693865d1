// One message of the device server protocol (Protocol.h) and its frame on the socket:
//   u32 length of what follows | u32 kind | fields...
// where a field is 'i' + int64, or 's' + u32 length + UTF-8 bytes; all numbers little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ce::devserver {

class Message {
public:
    // Frames above this size are refused as damaged.
    static constexpr uint32_t kMaxFrame = 1 << 20;

    explicit Message(uint32_t kind = 0) : kind_(kind) {}
    template <class Kind>
    explicit Message(Kind kind) : kind_(static_cast<uint32_t>(kind)) {}

    uint32_t Kind() const { return kind_; }
    Message& Add(int64_t value);
    Message& Add(std::string_view text);
    size_t Count() const { return fields_.size(); }
    // A missing field, or one of the other type, reads as 0 or empty.
    int64_t Int(size_t index) const;
    std::string Text(size_t index) const;

    std::string Encode() const;
    // Takes one whole frame from the front of buffer; nullopt when it holds none yet. A damaged frame
    // sets damaged (the connection should then be dropped).
    static std::optional<Message> TakeFrame(std::string& buffer, bool& damaged);

    // Blocking writes and reads of whole frames on a socket; false or nullopt on any failure.
    bool WriteTo(int fd) const;
    static std::optional<Message> ReadFrom(int fd);

private:
    static std::optional<Message> Decode(std::string_view payload);

    uint32_t kind_;
    std::vector<std::variant<int64_t, std::string>> fields_;
};

}  // namespace ce::devserver
