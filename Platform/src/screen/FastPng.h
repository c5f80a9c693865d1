// The screen's captures as PNG files.
#pragma once

#include <cairo.h>

#include <string>

namespace ce::screen {

// Writes an RGB24 image as an 8-bit RGB PNG. Compressed for speed rather than size: a timed start-up
// asks for the screen back to back, and the encoder's effort (libpng's filter search and zlib's
// default level cost some seven times as much) would otherwise add to the program's time and blur
// the poll. The pixels are those of any other PNG writer.
bool WriteFastPng(cairo_surface_t* image, const std::string& path);

}  // namespace ce::screen
