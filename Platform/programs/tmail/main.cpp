// The messaging program stand-in: records the message it was handed in the device's log
// ("messages"): the whole command line and, when it reads as one, the service and the body.
//
// Command line: -service "NAME" -body "TEXT". Inside quotes backslashes stand for themselves unless a
// double quote follows them: then each pair stands for one backslash, and an odd one left over makes the
// quote part of the text instead of its end.
#include <optional>
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"

namespace {

struct Message {
    std::u16string service;
    std::u16string body;
};

void SkipBlanks(std::u16string_view text, size_t& at) {
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) {
        ++at;
    }
}

// A quoted argument at `at`; nullopt when it does not start with a quote or is never closed.
std::optional<std::u16string> ReadQuoted(std::u16string_view text, size_t& at) {
    if (at >= text.size() || text[at] != u'"') {
        return std::nullopt;
    }
    std::u16string value;
    for (++at; at < text.size(); ++at) {
        size_t backslashes = 0;
        while (at < text.size() && text[at] == u'\\') {
            ++backslashes;
            ++at;
        }
        if (at >= text.size()) {
            break;
        }
        if (text[at] != u'"') {
            value.append(backslashes, u'\\');
            value.push_back(text[at]);
            continue;
        }
        value.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 0) {
            ++at;
            return value;
        }
        value.push_back(u'"');
    }
    return std::nullopt;
}

std::optional<std::u16string> ReadOption(std::u16string_view text, size_t& at, std::u16string_view name) {
    SkipBlanks(text, at);
    if (text.substr(at, name.size()) != name) {
        return std::nullopt;
    }
    at += name.size();
    SkipBlanks(text, at);
    return ReadQuoted(text, at);
}

std::optional<Message> ParseCommandLine(std::u16string_view text) {
    size_t at = 0;
    std::optional<std::u16string> service = ReadOption(text, at, u"-service");
    std::optional<std::u16string> body = service ? ReadOption(text, at, u"-body") : std::nullopt;
    if (!body) {
        return std::nullopt;
    }
    SkipBlanks(text, at);
    if (at != text.size()) {
        return std::nullopt;
    }
    return Message{*service, *body};
}

}  // namespace

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::u16string_view text = commandLine != nullptr ? commandLine : u"";
    std::optional<Message> message = ParseCommandLine(text);
    std::vector<std::pair<std::string, std::string>> fields = {{"program", "tmail.exe"},
                                                               {"command_line", ce::ToUtf8(text)}};
    if (message) {
        fields.push_back({"service", ce::ToUtf8(message->service)});
        fields.push_back({"body", ce::ToUtf8(message->body)});
    } else {
        fields.push_back({"error", "the command line is not -service \"NAME\" -body \"TEXT\""});
    }
    if (!ce::AppendDeviceLog("messages", fields)) {
        return 1;
    }
    return message ? 0 : 2;
}
