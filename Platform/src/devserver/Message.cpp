#include "devserver/Message.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ce::devserver {
namespace {

constexpr char kIntTag = 'i';
constexpr char kTextTag = 's';

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void PutI64(std::string& out, int64_t value) {
    auto bits = static_cast<uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) {
        out += static_cast<char>((bits >> shift) & 0xFF);
    }
}

// Reads little-endian numbers from a payload, refusing to run past its end.
class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    bool AtEnd() const { return position_ == data_.size(); }
    bool Byte(char& value) {
        if (data_.size() - position_ < 1) {
            return false;
        }
        value = data_[position_++];
        return true;
    }
    bool U32(uint32_t& value) {
        uint64_t wide = 0;
        bool ok = Number(4, wide);
        value = static_cast<uint32_t>(wide);
        return ok;
    }
    bool I64(int64_t& value) {
        uint64_t wide = 0;
        bool ok = Number(8, wide);
        value = static_cast<int64_t>(wide);
        return ok;
    }
    bool Bytes(size_t count, std::string& value) {
        if (data_.size() - position_ < count) {
            return false;
        }
        value.assign(data_.substr(position_, count));
        position_ += count;
        return true;
    }

private:
    bool Number(size_t bytes, uint64_t& value) {
        if (data_.size() - position_ < bytes) {
            return false;
        }
        value = 0;
        for (size_t i = 0; i < bytes; ++i) {
            value |= static_cast<uint64_t>(static_cast<unsigned char>(data_[position_ + i])) << (8 * i);
        }
        position_ += bytes;
        return true;
    }

    std::string_view data_;
    size_t position_ = 0;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = send(fd, data, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, char* data, size_t size) {
    while (size > 0) {
        ssize_t got = recv(fd, data, size, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

uint32_t FrameLength(const char* header) {
    uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
        length |= static_cast<uint32_t>(static_cast<unsigned char>(header[i])) << (8 * i);
    }
    return length;
}

}  // namespace

Message& Message::Add(int64_t value) {
    fields_.emplace_back(value);
    return *this;
}

Message& Message::Add(std::string_view text) {
    fields_.emplace_back(std::string(text));
    return *this;
}

int64_t Message::Int(size_t index) const {
    if (index >= fields_.size()) {
        return 0;
    }
    const int64_t* value = std::get_if<int64_t>(&fields_[index]);
    return value ? *value : 0;
}

std::string Message::Text(size_t index) const {
    if (index >= fields_.size()) {
        return {};
    }
    const std::string* value = std::get_if<std::string>(&fields_[index]);
    return value ? *value : std::string();
}

std::string Message::Encode() const {
    std::string body;
    PutU32(body, kind_);
    for (const auto& field : fields_) {
        if (const int64_t* value = std::get_if<int64_t>(&field)) {
            body += kIntTag;
            PutI64(body, *value);
        } else {
            const std::string& text = std::get<std::string>(field);
            body += kTextTag;
            PutU32(body, static_cast<uint32_t>(text.size()));
            body += text;
        }
    }
    std::string frame;
    PutU32(frame, static_cast<uint32_t>(body.size()));
    return frame + body;
}

std::optional<Message> Message::Decode(std::string_view payload) {
    Reader reader(payload);
    uint32_t kind = 0;
    if (!reader.U32(kind)) {
        return std::nullopt;
    }
    Message message(kind);
    while (!reader.AtEnd()) {
        char tag = 0;
        reader.Byte(tag);
        if (tag == kIntTag) {
            int64_t value = 0;
            if (!reader.I64(value)) {
                return std::nullopt;
            }
            message.Add(value);
        } else if (tag == kTextTag) {
            uint32_t length = 0;
            std::string text;
            if (!reader.U32(length) || !reader.Bytes(length, text)) {
                return std::nullopt;
            }
            message.Add(text);
        } else {
            return std::nullopt;
        }
    }
    return message;
}

std::optional<Message> Message::TakeFrame(std::string& buffer, bool& damaged) {
    damaged = false;
    if (buffer.size() < 4) {
        return std::nullopt;
    }
    uint32_t length = FrameLength(buffer.data());
    if (length > kMaxFrame) {
        damaged = true;
        return std::nullopt;
    }
    if (buffer.size() - 4 < length) {
        return std::nullopt;
    }
    auto message = Decode(std::string_view(buffer).substr(4, length));
    buffer.erase(0, 4 + static_cast<size_t>(length));
    damaged = !message;
    return message;
}

bool Message::WriteTo(int fd) const {
    std::string frame = Encode();
    return WriteAll(fd, frame.data(), frame.size());
}

std::optional<Message> Message::ReadFrom(int fd) {
    char header[4];
    if (!ReadAll(fd, header, sizeof header)) {
        return std::nullopt;
    }
    uint32_t length = FrameLength(header);
    if (length > kMaxFrame) {
        return std::nullopt;
    }
    std::string payload(length, '\0');
    if (!ReadAll(fd, payload.data(), payload.size())) {
        return std::nullopt;
    }
    return Decode(payload);
}

}  // namespace ce::devserver
