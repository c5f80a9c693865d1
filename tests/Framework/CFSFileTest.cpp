#include <gtest/gtest.h>

#include "CByteBuffer.h"
#include "CFSFile.h"
#include "Platform/TempDevice.h"

namespace {

using ce::test::TempDevice;

TEST(CFSFile, AClosedFileRefusesEverything) {
    TempDevice device;
    CFSFile file;
    EXPECT_FALSE(file.Open(u"\\missing.dat", OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ));
    BYTE buffer[4];
    DWORD count = 77;
    EXPECT_EQ(file.Read(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(file.Write(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(count, 77u);
    EXPECT_FALSE(file.HasError());
    EXPECT_EQ(file.GetTimes(nullptr, nullptr, nullptr), 0);
    EXPECT_TRUE(file.HasError());
    CByteBuffer all;
    EXPECT_FALSE(file.ReadAll(&all));
}

TEST(CFSFile, WordsRoundTripAndAShortReadSetsTheErrorFlag) {
    TempDevice device;
    {
        CFSFile file;
        ASSERT_TRUE(file.Open(u"\\words.dat", CREATE_ALWAYS, GENERIC_WRITE, 0));
        EXPECT_TRUE(file.WriteU32(0x12345678));
        DWORD written = 0;
        EXPECT_EQ(file.Write("ab", 2, &written), 1);
        EXPECT_EQ(written, 2u);
    }
    CFSFile file;
    ASSERT_TRUE(file.Open(u"\\WORDS.DAT", OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ));
    EXPECT_EQ(file.GetSize(nullptr), 6u);
    EXPECT_EQ(file.ReadU32(), 0x12345678u);
    EXPECT_FALSE(file.HasError());
    EXPECT_EQ(file.ReadU32(), 0u) << "only two bytes are left";
    EXPECT_TRUE(file.HasError());

    ASSERT_TRUE(file.Seek(2, FILE_BEGIN));
    CByteBuffer rest;
    ASSERT_TRUE(file.ReadAll(&rest));
    ASSERT_EQ(rest.GetLength(), 4u);
    EXPECT_EQ(rest.GetPointer(0)[0], 0x34);
    EXPECT_EQ(rest.GetPointer(0)[3], 'b');
}

}  // namespace
