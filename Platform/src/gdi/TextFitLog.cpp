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

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Bounds what a bitmap keeps when nothing is ever filled over it.
constexpr size_t kMostTextsKept = 512;

// Notes the text's box on its bitmap and reports a different text, or the same one moved, under it.
void CheckOverlap(const char* path, const DeviceContext& dc, std::u16string_view text, const RECT& drawn) {
    if (!dc.bitmap) {
        return;
    }
    const RECT box{dc.ToBitmapX(drawn.left), dc.ToBitmapY(drawn.top), dc.ToBitmapX(drawn.right),
                   dc.ToBitmapY(drawn.bottom)};
    std::vector<Bitmap::DrawnText>& texts = dc.bitmap->drawnTexts;
    for (auto it = texts.begin(); it != texts.end();) {
        const bool again = it->text == text && it->box.left == box.left && it->box.top == box.top &&
                           it->box.right == box.right && it->box.bottom == box.bottom;
        if (again) {
            it = texts.erase(it);  // drawn once more in its place
            continue;
        }
        if (Overlap(it->box, box)) {
            Append(path, "overlaps\t" + ToUtf8(std::u16string(text)) + "\tdrawn=" + Box(box) + "\tover=" +
                             ToUtf8(it->text) + "\n");
        }
        ++it;
    }
    if (texts.size() >= kMostTextsKept) {
        texts.erase(texts.begin());
    }
    texts.push_back(Bitmap::DrawnText{box, std::u16string(text)});
}

bool OnlySpaces(std::u16string_view text) {
    return text.find_first_not_of(u" \t\r\n") == std::u16string_view::npos;
}

// A text that its caller shortened from the front: what the user reads is a fragment.
bool BeginsWithEllipsis(std::u16string_view text) {
    return text.starts_with(u"...") || text.starts_with(u"\u2026");
}

// A line that leaves its box sideways at its beginning, at both ends, or (else) at its end or above
// or below.
const char* LeavingKind(std::u16string_view text, const RECT& drawn, const RECT& box) {
    const bool front = drawn.left < box.left || BeginsWithEllipsis(text);
    const bool end = drawn.right > box.right;
    return front && end ? "cut-both" : front ? "cut-front" : "leaves";
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
    CheckOverlap(path, dc, text, drawn);
    if (frame != nullptr && (frame->right <= frame->left || frame->bottom <= frame->top)) {
        Record(path, "empty", text, drawn, *frame);
        return;
    }
    if (frame != nullptr && (drawn.left < frame->left || drawn.right > frame->right || drawn.top < frame->top ||
                             drawn.bottom > frame->bottom)) {
        Record(path, LeavingKind(text, drawn, *frame), text, drawn, *frame);
        return;
    }
    // Sideways the clip counts too (a text running off the screen or its control); rows that a
    // scrolled list cuts at its top or bottom are not a fault.
    const RECT clip = dc.ClipInDcCoordinates().Bounds();
    if (clip.right > clip.left && (drawn.left < clip.left || drawn.right > clip.right)) {
        Record(path, LeavingKind(text, drawn, clip), text, drawn, clip);
        return;
    }
    if (BeginsWithEllipsis(text)) {
        Record(path, "cut-front", text, drawn, frame != nullptr ? *frame : clip);
    }
}

void ForgetTextsUnder(Bitmap& bitmap, const RECT& area) {
    std::vector<Bitmap::DrawnText>& texts = bitmap.drawnTexts;
    if (texts.empty()) {
        return;
    }
    if (LogPath() == nullptr) {
        texts.clear();  // the log is off: what it noted before is of no use when it comes on again
        return;
    }
    std::erase_if(texts, [&](const Bitmap::DrawnText& drawn) { return Overlap(drawn.box, area); });
}

}  // namespace ce::gdi
