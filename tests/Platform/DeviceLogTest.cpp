#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

using ce::test::TempDevice;

TEST(DeviceLogTest, AppendsEscapedRecordsAndReadsThemBack) {
    TempDevice device;
    ASSERT_TRUE(ce::AppendDeviceLog("urls", {{"url", "http://x/?a=\"b\""}, {"note", "line\nbreak\x01"}}));
    ASSERT_TRUE(ce::AppendDeviceLog("urls", {{"url", "second"}}));
    auto lines = ce::ReadDeviceLog("urls");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], R"({"url":"http://x/?a=\"b\"","note":"line\nbreak\u0001"})");
    EXPECT_EQ(lines[1], R"({"url":"second"})");
    EXPECT_TRUE(ce::ReadDeviceLog("none").empty());
}

TEST(DeviceLogTest, RefusesNamesThatLeaveTheLogFolder) {
    TempDevice device;
    EXPECT_FALSE(ce::AppendDeviceLog("../device", {{"a", "b"}}));
    EXPECT_FALSE(ce::AppendDeviceLog("", {{"a", "b"}}));
}

TEST(DeviceLogTest, ConcurrentAppendsKeepWholeLines) {
    TempDevice device;
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([w] {
            for (int i = 0; i < 50; ++i) {
                ce::AppendDeviceLog("programs",
                                    {{"writer", std::to_string(w)}, {"pad", std::string(500, 'x')}});
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    auto lines = ce::ReadDeviceLog("programs");
    ASSERT_EQ(lines.size(), 200u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.front(), '{');
        EXPECT_EQ(line.back(), '}');
    }
}

}  // namespace
