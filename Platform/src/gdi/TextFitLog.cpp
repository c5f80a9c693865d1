#include "gdi/TextFitLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ce/types.h"

namespace ce::gdi {

namespace {

// Read at each text, so that a test can point it at a new file for each screen.
const char* LogPath() {
    const char* path = std::getenv("CE_TEXT_FIT_LOG");
    return path != nullptr && *path != '\0' ? path : nullptr;
}

std::string Box(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// One write of the whole line to a file opened for appending, so lines of several processes or
// threads do not interleave.
void Append(const char* path, const std::string& line) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

void Record(const char* path, const char* kind, std::u16string_view text, const RECT& drawn, const RECT& frame) {
    std::string printable = ToUtf8(std::u16string(text));
    for (char& c : printable) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    Append(path, std::string(kind) + "\t" + printable + "\tdrawn=" + Box(drawn) + "\tframe=" + Box(frame) + "\n");
}

bool OnlySpaces(std::u16string_view text) {
    return text.find_first_not_of(u" \t\r\n") == std::u16string_view::npos;
}

}  // namespace

void NoteDrawnText(const DeviceContext& dc, std::u16string_view text, int x, int top, int width,
                   const FontMetrics& metrics, const RECT* frame) {
    const char* path = LogPath();
    if (path == nullptr || OnlySpaces(text)) {
        return;
    }
    // The glyphs' box: the internal leading above them is room for accents, and one row of the
    // descent may fall on the frame's edge.
    const RECT drawn{x, top + metrics.internalLeading, x + width, top + metrics.height - 1};
    if (frame != nullptr && (frame->right <= frame->left || frame->bottom <= frame->top)) {
        Record(path, "empty", text, drawn, *frame);
        return;
    }
    if (frame != nullptr && (drawn.left < frame->left || drawn.right > frame->right || drawn.top < frame->top ||
                             drawn.bottom > frame->bottom)) {
        Record(path, "leaves", text, drawn, *frame);
        return;
    }
    // Sideways the clip counts too (a text running off the screen or its control); rows that a
    // scrolled list cuts at its top or bottom are not a fault.
    const RECT clip = dc.ClipInDcCoordinates().Bounds();
    if (clip.right > clip.left && (drawn.left < clip.left || drawn.right > clip.right)) {
        Record(path, "leaves", text, drawn, clip);
    }
}

}  // namespace ce::gdi
