// The markup text control on a real window: the runs its markup gives, lines that wrap and break,
// links focused by keys and taps and opened in the device's browser, and scrolling of long texts,
// repainted or slid over a strip painted once.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "CBitmapDC.h"
#include "CDibView.h"
#include "ControlHostWindow.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgHTMLControl.h"
#include "ce/device.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::RecordingSkin;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgHTMLControl;
using UserInterface::CDlgScrollable;

constexpr int kLeft = 10;
constexpr int kTop = 10;

// A text taller than a view of 80 pixels.
std::u16string ThirtyLines() {
    std::u16string text;
    for (int i = 0; i < 30; ++i) {
        text += u"line\n";
    }
    return text;
}

class Markup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Open(220, 220)); }

    void Make(LPCWSTR text, int width = 180, int height = 150) {
        ASSERT_TRUE(html_.Create(text, 6, CDlgControl::kVisible, width, height));
        html_.Move(kLeft, kTop, width, height, FALSE);
        host_.Add(&html_);
        host_.focused = &html_;
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const auto& run : html_.GetRuns()) {
            texts.push_back(run.text);
        }
        return texts;
    }
    // A point of the control over the run, found through the control's own hit test.
    bool PointOver(int run, POINT* point) {
        for (int y = 0; y < html_.GetHeight(); ++y) {
            for (int x = 0; x < html_.GetWidth(); ++x) {
                if (html_.HitTest(x, y) == run) {
                    *point = POINT{x, y};
                    return true;
                }
            }
        }
        return false;
    }
    void Tap(int run) {
        POINT own{};
        ASSERT_TRUE(PointOver(run, &own));
        POINT screen = host_.ScreenPoint(kLeft + own.x, kTop + own.y);
        ce::InjectTap(screen.x, screen.y);
        WindowDevice::Pump();
    }
    void Key(UINT key) {
        ce::InjectKey(key);
        WindowDevice::Pump();
    }
    static std::vector<std::string> Opened() { return ce::ReadDeviceLog("urls"); }

    WindowDevice device_;
    RecordingSkin skin_;
    ControlHostWindow host_;
    CDlgHTMLControl html_;
};

TEST_F(Markup, TheMarkupGivesRunsOfWordsBlanksPunctuationAndLinks) {
    Make(u"<b>Bold</b> plain, www.example.com <a href=\"http://x.example/notes\">here</a>\nnext <abbr>x</abbr>");
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"Bold", u" ", u"plain", u",", u" ", u"www.example.com", u" ",
                                                     u"here", u"next", u" ", u"x"}));
    const auto& runs = html_.GetRuns();
    EXPECT_EQ(runs[0].style, CDlgHTMLControl::kBold);
    EXPECT_EQ(runs[1].style, 0u) << "the bold ended with its closing tag";
    EXPECT_EQ(runs[3].style, CDlgHTMLControl::kPunctuation);
    EXPECT_EQ(runs[4].style, 0u) << "the punctuation bit belongs to its own run only";
    EXPECT_TRUE(runs[5].link);
    EXPECT_FALSE(runs[5].hasUrl) << "a plain www. word is a link to itself";
    EXPECT_EQ(runs[5].style, CDlgHTMLControl::kUnderline);
    EXPECT_TRUE(runs[7].link);
    EXPECT_EQ(runs[7].url, u"http://x.example/notes");
    EXPECT_EQ(runs[8].style, CDlgHTMLControl::kLineBreak) << "the line feed marks the next run";
    EXPECT_TRUE(runs[10].link) << "a tag whose name begins with a counts as a link";
    EXPECT_FALSE(runs[10].hasUrl);
}

TEST_F(Markup, ALessThanSignWithoutALaterEndIsText) {
    CDlgHTMLControl plain;
    EXPECT_TRUE(plain.Create(u"fine <b", 1, CDlgControl::kVisible, 100, 50));
    Make(u"first");
    EXPECT_TRUE(html_.SetText(u"<b>if</b> a < b", TRUE));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"if", u" ", u"a", u" ", u"<", u" ", u"b"}));
    EXPECT_EQ(html_.GetRuns()[0].style, CDlgHTMLControl::kBold);
    EXPECT_EQ(html_.GetLines().size(), 1u);
    EXPECT_TRUE(html_.SetText(u"", TRUE));
    EXPECT_TRUE(html_.GetRuns().empty());
    EXPECT_EQ(html_.SendMessage(5634, 0, 0), 0);
}

// A word and the punctuation after it stay together: the line ends before the word.
TEST_F(Markup, AWordWrapsTogetherWithItsPunctuation) {
    Make(u"aaa bbb ccc ddd, eee fff, ggg.", 120, 200);
    for (int width = 40; width <= 120; width += 2) {
        html_.Move(kLeft, kTop, width, 200, FALSE);
        const auto& lines = html_.GetLines();
        const auto& runs = html_.GetRuns();
        for (size_t i = 1; i < lines.size(); ++i) {
            const auto& first = runs[static_cast<size_t>(lines[i].first)];
            EXPECT_FALSE(first.style & CDlgHTMLControl::kPunctuation) << "width " << width << " line " << i;
        }
    }
}

TEST_F(Markup, WrappedLinesDropTheirLeadingBlanksAndLinesAfterALineFeedKeepThem) {
    Make(u"alpha beta gamma delta epsilon zeta eta theta\n  iota", 70, 200);
    const auto& lines = html_.GetLines();
    const auto& runs = html_.GetRuns();
    ASSERT_GE(lines.size(), 3u);
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        EXPECT_NE(runs[static_cast<size_t>(lines[i].first)].text, u" ") << "line " << i;
        int width = 0;
        for (int r = lines[i].first; r < lines[i].first + lines[i].count; ++r) {
            width += runs[static_cast<size_t>(r)].width;
        }
        EXPECT_LE(width, 70) << "line " << i;
    }
    const auto& last = lines.back();
    EXPECT_EQ(runs[static_cast<size_t>(last.first)].text, u" ") << "blanks after a line feed stay";
    EXPECT_EQ(runs[static_cast<size_t>(last.first + last.count - 1)].text, u"iota");
    EXPECT_FALSE(html_.GetScroller().IsVisible()) << "a text shorter than the view";
}

TEST_F(Markup, KeysFocusTheLinksLineByLineAndEnterOpensTheFocusedOne) {
    Make(u"<a href=\"http://one.example/\">first</a> and more\nthen www.second.example\nend");
    Key(VK_DOWN);
    EXPECT_EQ(html_.GetFocusedLink(), 0);
    Key(VK_DOWN);
    const int second = html_.GetFocusedLink();
    ASSERT_GT(second, 0);
    EXPECT_EQ(html_.GetRuns()[static_cast<size_t>(second)].text, u"www.second.example");
    Key(VK_DOWN);
    EXPECT_EQ(html_.GetFocusedLink(), second) << "no link below: the text scrolls, here nowhere";
    EXPECT_EQ(html_.GetScrollOffset(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(html_.GetFocusedLink(), 0);
    Key(VK_RETURN);
    const auto opened = Opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("http://one.example/"), std::string::npos) << opened[0];
    EXPECT_EQ(html_.SendMessage(CDlgControl::kMsgKeyUp, 0, VK_UP), 1);
    EXPECT_EQ(html_.SendMessage(CDlgControl::kMsgKeyDown, 0, VK_BACK), 0);
}

TEST_F(Markup, ATapFocusesAPlainLinkAndOpensItsOwnText) {
    Make(u"Notes at www.weather.example today");
    int link = -1;
    for (size_t i = 0; i < html_.GetRuns().size(); ++i) {
        if (html_.GetRuns()[i].link) {
            link = static_cast<int>(i);
        }
    }
    ASSERT_GE(link, 0);
    Tap(link);
    EXPECT_EQ(html_.GetFocusedLink(), link);
    const auto opened = Opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("www.weather.example"), std::string::npos) << opened[0];
}

TEST_F(Markup, ALongTextShowsItsIndicatorAndScrollsByKeysAndDrags) {
    Make(ThirtyLines().c_str(), 120, 80);
    ASSERT_TRUE(html_.GetScroller().IsVisible());
    const int maximum = html_.GetContentHeight() - 80;
    ASSERT_GT(maximum, 40);
    Key(VK_DOWN);
    EXPECT_EQ(html_.GetScrollOffset(), 20);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(html_.GetScrollOffset(), 0) << "never above the top";

    POINT from = host_.ScreenPoint(kLeft + 40, kTop + 70);
    ce::InjectStylusDown(from.x, from.y);
    WindowDevice::Pump();
    for (int step = 1; step <= 4; ++step) {
        ce::InjectStylusMove(from.x, from.y - 15 * step);
        WindowDevice::Pump();
    }
    WindowDevice::Advance(1000);
    ce::InjectStylusUp(from.x, from.y - 60);
    WindowDevice::Pump();
    EXPECT_GT(html_.GetScrollOffset(), 30);
    EXPECT_LE(html_.GetScrollOffset(), maximum);
    EXPECT_EQ(html_.GetScroller().GetPosition(), html_.GetScrollOffset());
}

TEST_F(Markup, TheIndicatorFollowsWhenTheDialogOffsetsTheText) {
    Make(ThirtyLines().c_str(), 120, 80);
    ASSERT_TRUE(html_.GetScroller().IsVisible());
    RECT before;
    html_.GetScroller().GetRect(&before);
    html_.Offset(0, 45, FALSE);
    RECT after;
    html_.GetScroller().GetRect(&after);
    EXPECT_EQ(after.top, before.top + 45);
    EXPECT_EQ(after.left, before.left);
}

}  // namespace

namespace {

// What a rectangle of a device context shows, pixel by pixel.
struct Picture {
    std::vector<uint16_t> pixels;
    bool operator==(const Picture&) const = default;
};
// A sum of the pixels tells two pictures apart in a failure message.
void PrintTo(const Picture& picture, std::ostream* out) {
    uint32_t sum = 0;
    for (uint16_t pixel : picture.pixels) {
        sum = sum * 31 + pixel;
    }
    *out << picture.pixels.size() << " pixels, sum " << std::hex << sum << std::dec;
}

Picture PictureOf(HDC dc, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    CBitmapDC copy;
    Picture picture;
    if (!copy.Create(width, height, 16) ||
        !BitBlt(copy.DC(), 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY)) {
        return picture;
    }
    const CDibView view(copy.DC());
    for (int y = 0; y < height; ++y) {
        picture.pixels.insert(picture.pixels.end(), view.Row16(y), view.Row16(y) + width);
    }
    return picture;
}

// A host that notes what the filmed control's view shows each time a context of the window goes back,
// as every step of a slide gives back its own. A picture like the one before is not noted again.
class FilmingHost : public ControlHostWindow {
public:
    void ReleaseHostDC(HDC dc) override {
        if (filmed != nullptr) {
            RECT view;
            filmed->GetInnerRect(&view);
            Picture shown = PictureOf(dc, view);
            if (frames.empty() || !(frames.back() == shown)) {
                frames.push_back(std::move(shown));
            }
        }
        ControlHostWindow::ReleaseHostDC(dc);
    }

    CDlgControl* filmed = nullptr;
    std::vector<Picture> frames;
};

// A text of thirty lines with bold and italic words and no link, so that Down scrolls.
std::u16string Notes() {
    std::u16string text;
    for (int i = 0; i < 30; ++i) {
        text += u"<b>Line</b> " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                u" of the <i>notes</i>, wrapped\n";
    }
    return text;
}

// A control that slides over its strip, and below it one that repaints at each step as the reference.
class MarkupStrip : public ::testing::Test {
protected:
    static constexpr DWORD kStyle =
        CDlgControl::kVisible | CDlgControl::kBorder | CDlgControl::kHostBackground;

    void SetUp() override {
        ASSERT_TRUE(host_.Open(220, 220));
        ASSERT_TRUE(sliding_.Create(Notes().c_str(), 1, kStyle | CDlgHTMLControl::kBlitScrolling, 120, 80));
        ASSERT_TRUE(repainting_.Create(Notes().c_str(), 2, kStyle, 120, 80));
        sliding_.Move(kLeft, kTop, 120, 80, FALSE);
        repainting_.Move(kLeft, kTop + 100, 120, 80, FALSE);
        host_.Add(&sliding_);
        host_.Add(&repainting_);
        host_.focused = &sliding_;
        host_.Redraw(FALSE);
        WindowDevice::Pump();
    }
    // The pictures of the sliding view from a key press or a scroll until it is over; the picture
    // before it is not among them.
    template <class Scroll>
    std::vector<Picture> Film(Scroll scroll) {
        host_.frames = {Shown(sliding_, false)};
        host_.filmed = &sliding_;
        host_.erased.clear();
        scroll();
        WindowDevice::Pump();
        host_.filmed = nullptr;
        host_.frames.erase(host_.frames.begin());
        return host_.frames;
    }
    std::vector<Picture> FilmKey(UINT key) {
        return Film([key] { ce::InjectKey(key); });
    }
    // How often the sliding control was painted since the film began.
    int SlidingPaints() const {
        int paints = 0;
        for (CDlgControl* control : host_.erased) {
            paints += control == &sliding_ ? 1 : 0;
        }
        return paints;
    }
    // What the reference shows at each offset.
    std::vector<Picture> RepaintedAt(const std::vector<int>& offsets) {
        std::vector<Picture> pictures;
        for (int offset : offsets) {
            const int distance = offset - repainting_.GetScrollOffset();
            repainting_.OnScroll(distance > 0 ? CDlgScrollable::kMoveUp : CDlgScrollable::kMoveDown,
                                 std::abs(distance));
            pictures.push_back(Shown(repainting_, false));
        }
        return pictures;
    }
    Picture Shown(CDlgControl& control, bool whole) {
        RECT rect;
        if (whole) {
            control.GetRect(&rect);
        } else {
            control.GetInnerRect(&rect);
        }
        HDC dc = host_.GetHostDC();
        Picture shown = PictureOf(dc, rect);
        host_.ReleaseHostDC(dc);
        return shown;
    }
    // Both controls at rest at the same offset show the same picture, frame and indicator included.
    void ExpectTheSameAtRest() {
        ASSERT_EQ(repainting_.GetScrollOffset(), sliding_.GetScrollOffset());
        EXPECT_EQ(Shown(sliding_, true), Shown(repainting_, true));
    }

    WindowDevice device_;
    RecordingSkin skin_;
    FilmingHost host_;
    CDlgHTMLControl sliding_;
    CDlgHTMLControl repainting_;
};

// A key press slides the text in 5-pixel steps, each the picture that a repaint at its offset gives,
// with the view painted for the two ends of the slide only; a drag longer than the view slides past
// the rows in between the same way.
TEST_F(MarkupStrip, ASlideShowsAtEachStepWhatARepaintShowsThere) {
    EXPECT_EQ(FilmKey(VK_DOWN), RepaintedAt({5, 10, 15, 20}));
    EXPECT_EQ(SlidingPaints(), 2) << "a repaint at each step paints four times";
    ExpectTheSameAtRest();
    EXPECT_EQ(FilmKey(VK_UP), RepaintedAt({15, 10, 5, 0}));
    ExpectTheSameAtRest();

    std::vector<int> steps;
    for (int offset = 5; offset <= 130; offset += 5) {
        steps.push_back(offset);
    }
    EXPECT_EQ(Film([this] { sliding_.OnScroll(CDlgScrollable::kMoveUp, 130); }), RepaintedAt(steps));
    ExpectTheSameAtRest();
}

// The strip is painted from the text and size of the moment: after a new text and a new size the
// slide shows the new text in the new width.
TEST_F(MarkupStrip, AfterANewTextAndSizeTheSlideShowsTheNewText) {
    ASSERT_EQ(FilmKey(VK_DOWN).size(), 4u);
    const std::u16string other = u"<i>Other</i> words, longer lines that wrap in the narrower view " + Notes();
    for (CDlgHTMLControl* control : {&sliding_, &repainting_}) {
        ASSERT_TRUE(control->SetText(other.c_str(), TRUE));
        RECT rect;
        control->GetRect(&rect);
        control->Move(rect.left, rect.top, 100, 70, TRUE);
    }
    EXPECT_EQ(sliding_.GetScrollOffset(), 0);
    EXPECT_EQ(FilmKey(VK_DOWN), RepaintedAt({5, 10, 15, 20}));
    ExpectTheSameAtRest();
}

}  // namespace
