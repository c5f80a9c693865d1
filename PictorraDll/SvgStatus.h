// Status codes of the SVG layers. Anything but Success fails the picture.
#pragma once

enum class SvgStatus : int {
    Success = 0,
    NoMemory = 1,
    InvalidValue = 4,
    InvalidCall = 5,
    ParseError = 6,
    // Parser-internal results; never returned by a parse.
    ArgumentsExhausted = 1001,
    UnknownElement = 1002,
    AttributeNotFound = 1003,
};

inline bool Failed(SvgStatus status) {
    return status != SvgStatus::Success;
}
