// The text-fit log: what a process asked for through CE_TEXT_FIT_LOG gets one line for each text that
// leaves its rectangle or its DC's clip sideways (told apart by the end it loses), is shortened from
// its front, is drawn into an empty rectangle or over another text; texts that fit, texts shortened at
// their end and a process that did not ask leave nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Platform/GdiTestSupport.h"
#include "ce/gdi.h"

namespace {

using ce::test::DibDC;

class TextFitLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("text-fit-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log");
        std::filesystem::remove(path_);
        setenv("CE_TEXT_FIT_LOG", path_.c_str(), 1);
        LOGFONTW lf{};
        lf.lfHeight = -12;
        std::u16string(u"Tahoma").copy(lf.lfFaceName, 6);
        font_ = CreateFontIndirectW(&lf);
        old_ = SelectObject(surface_.dc, font_);
    }
    void TearDown() override {
        unsetenv("CE_TEXT_FIT_LOG");
        SelectObject(surface_.dc, old_);
        DeleteObject(font_);
        std::filesystem::remove(path_);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    DibDC surface_{200, 100};
    std::filesystem::path path_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

TEST_F(TextFitLogTest, TextsThatFitOrEndInTheEllipsisLeaveNothing) {
    RECT wide{0, 0, 200, 20};
    DrawTextW(surface_.dc, u"Humidity 22%", -1, &wide, DT_SINGLELINE | DT_VCENTER);
    RECT narrow{0, 20, 40, 40};
    DrawTextW(surface_.dc, u"Pressure 30.46 inHg", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT box{10, 50, 190, 70};
    ExtTextOutW(surface_.dc, 12, 52, ETO_CLIPPED, &box, u"Wind 12 km/h", 12, nullptr);
    DrawTextW(surface_.dc, u"   ", -1, &narrow, DT_SINGLELINE);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(TextFitLogTest, ATextLeavingItsRectangleOrTheClipIsRecordedWithBothBoxes) {
    RECT narrow{0, 0, 40, 20};
    DrawTextW(surface_.dc, u"Pressure 773 mmHg", -1, &narrow, DT_SINGLELINE);
    RECT low{0, 30, 200, 36};
    DrawTextW(surface_.dc, u"Updated at 4:55 PM", -1, &low, DT_SINGLELINE | DT_VCENTER);
    // Two lines where one fits.
    RECT oneLine{0, 40, 60, 56};
    DrawTextW(surface_.dc, u"Updated at 4:55 PM", -1, &oneLine, DT_WORDBREAK);
    // No rectangle: the clip (here the surface) is the limit.
    ExtTextOutW(surface_.dc, 170, 80, 0, nullptr, u"Tomorrow", 8, nullptr);
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("leaves\tPressure 773 mmHg\tdrawn=0,", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("\tframe=0,0,40,20"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("leaves\tUpdated at 4:55 PM\t", 0), 0u) << lines[1];
    // The wrapped lines below the first: the first fits, the rest leave the rectangle.
    for (size_t i = 2; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("leaves\t", 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find("\tframe=0,40,60,56"), std::string::npos) << lines[i];
        EXPECT_EQ(lines[i].find("Updated"), std::string::npos) << "the first line fits: " << lines[i];
    }
    EXPECT_EQ(lines.back().rfind("leaves\tTomorrow\t", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find("\tframe=0,0,200,100"), std::string::npos) << lines.back();
}

// Whatever a cut text ends with, a user who cannot read its beginning reads a fragment.
TEST_F(TextFitLogTest, ATextCutAtBothEndsOrAtItsBeginningIsRecordedSo) {
    RECT box{20, 0, 60, 20};
    ExtTextOutW(surface_.dc, 10, 2, ETO_CLIPPED, &box, u"Downloading...", 14, nullptr);  // centred, too wide
    RECT right{0, 30, 40, 50};
    DrawTextW(surface_.dc, u"Updated at 4:13 PM", -1, &right, DT_SINGLELINE | DT_RIGHT);
    RECT wide{0, 60, 200, 80};
    DrawTextW(surface_.dc, u"...ed at 4:13 PM", -1, &wide, DT_SINGLELINE);  // shortened by its caller
    ExtTextOutW(surface_.dc, 120, 80, 0, nullptr, u"\u2026rt um 4:13", 11, nullptr);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("cut-both\tDownloading...\tdrawn=10,", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("\tframe=20,0,60,20"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("cut-front\tUpdated at 4:13 PM\t", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("cut-front\t...ed at 4:13 PM\t", 0), 0u) << lines[2];
    EXPECT_NE(lines[2].find("\tframe=0,60,200,80"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[3].rfind("cut-front\t\xE2\x80\xA6rt um 4:13\t", 0), 0u) << lines[3];
}

TEST_F(TextFitLogTest, TextInAnEmptyRectangleIsRecordedAndAProcessThatDidNotAskWritesNothing) {
    RECT flat{0, 10, 200, 10};
    DrawTextW(surface_.dc, u"Update interval", -1, &flat, DT_SINGLELINE);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].rfind("empty\tUpdate interval\t", 0), 0u) << Lines()[0];
    EXPECT_NE(Lines()[0].find("frame=0,10,200,10"), std::string::npos);

    unsetenv("CE_TEXT_FIT_LOG");
    DrawTextW(surface_.dc, u"Update interval", -1, &flat, DT_SINGLELINE);
    EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(TextFitLogTest, ATextDrawnOverAnotherIsRecordedUnlessItWasFilledOverOrIsTheSameDrawnAgain) {
    RECT band{0, 0, 200, 20};
    DrawTextW(surface_.dc, u"Thu", -1, &band, DT_SINGLELINE | DT_CENTER);
    DrawTextW(surface_.dc, u"Thu", -1, &band, DT_SINGLELINE | DT_CENTER);  // a repaint
    FillRect(surface_.dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(surface_.dc, u"Fri", -1, &band, DT_SINGLELINE | DT_CENTER);  // after a fill: a new text
    EXPECT_TRUE(Lines().empty());

    DrawTextW(surface_.dc, u"Berlin", -1, &band, DT_SINGLELINE | DT_CENTER);
    RECT below{0, 30, 200, 50};
    DrawTextW(surface_.dc, u"Sat", -1, &below, DT_SINGLELINE);
    RECT shifted{1, 31, 200, 51};
    DrawTextW(surface_.dc, u"Sat", -1, &shifted, DT_SINGLELINE);  // an offset copy under itself
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("overlaps\tBerlin\t", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("\tover=Fri"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("overlaps\tSat\t", 0), 0u) << lines[1];
}

}  // namespace
