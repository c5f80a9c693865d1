#include <gtest/gtest.h>

#include <climits>

#include "Shell/CMainApplication.h"

namespace {

TEST(CommandLine, KeywordsChooseTheModeWithoutRegardToCase) {
    const std::pair<const char16_t*, int> cases[] = {
        {nullptr, 0},
        {u"", 0},
        {u"cmd_normal_mode", 0},
        {u"CMD_NORMAL_MODE:3", 0},
        {u"cmd_normal_modeX", 0},
        {u"cmd_auto_update", 1},
        {u"CMD_Silent_Update", 2},
        {u"cmd_after_install", 3},
        {u"cmd_before_uninstall", 4},
        {u"cmd_install_catalog", 5},
        {u"cmd_auto_update ", -1},
        {u"cmd_silent_update:1", -1},
        {u"cmd_normal", -1},
        {u" cmd_normal_mode", -1},
        {u"anything", -1},
    };
    for (const auto& [line, mode] : cases) {
        EXPECT_EQ(CMainApplication::ParseCommandMode(line), mode) << (line ? ce::ToUtf8(line) : "(null)");
    }
}

TEST(CommandLine, TheCityIndexFollowsTheFirstColon) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"cmd_normal_mode:3", 3},
        {u"cmd_normal_mode", -1},
        {u"cmd_normal_modeX", -1},
        {nullptr, -1},
        {u"cmd_normal_mode:", 0},
        {u"cmd_normal_mode:x", 0},
        {u"cmd_normal_mode:-2", -2},
        {u"cmd_normal_mode:4:7", 4},
        {u"cmd_normal_mode:99999999999999999999", INT_MAX},
        {u"cmd_normal_mode:-99999999999999999999", INT_MIN},
    };
    for (const auto& [line, index] : cases) {
        EXPECT_EQ(CMainApplication::ParseCityIndex(line), index) << (line ? ce::ToUtf8(line) : "(null)");
    }
}

}  // namespace
