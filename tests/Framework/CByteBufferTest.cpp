#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CByteBuffer.h"

namespace {

std::string Content(const CByteBuffer& buffer) {
    const BYTE* data = buffer.GetPointer(0);
    return data == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(data), buffer.GetLength());
}

void Append(CByteBuffer& buffer, const char* text, DWORD offset = CByteBuffer::kEnd) {
    ASSERT_EQ(buffer.Insert(text, static_cast<DWORD>(std::strlen(text)), offset), 1);
}

TEST(CByteBuffer, InsertAppendsPrependsAndAppendsPastTheEnd) {
    CByteBuffer buffer;
    EXPECT_EQ(buffer.GetPointer(0), nullptr);
    Append(buffer, "world");
    Append(buffer, "hello ", 0);
    Append(buffer, "!", 1000);
    Append(buffer, ",", 5);
    EXPECT_EQ(Content(buffer), "hello, world!");
    EXPECT_EQ(buffer.GetPointer(CByteBuffer::kEnd), buffer.GetPointer(0) + buffer.GetLength());
    EXPECT_EQ(buffer.Insert(nullptr, 3, 0), 0);
    EXPECT_EQ(Content(buffer), "hello, world!");
}

TEST(CByteBuffer, CopiesOwnTheirDataAndOutliveTheOriginal) {
    auto* original = new CByteBuffer;
    Append(*original, "forecast");
    CByteBuffer copy(*original);
    CByteBuffer assigned;
    Append(assigned, "old content");
    assigned = *original;
    EXPECT_NE(copy.GetPointer(0), original->GetPointer(0));
    EXPECT_NE(assigned.GetPointer(0), original->GetPointer(0));

    original->GetPointer(0)[0] = 'F';
    delete original;  // the copies must not share the freed block
    EXPECT_EQ(Content(copy), "forecast");
    EXPECT_EQ(Content(assigned), "forecast");
    Append(copy, " data");
    EXPECT_EQ(Content(copy), "forecast data");
    EXPECT_EQ(Content(assigned), "forecast");
}

TEST(CByteBuffer, GrowthThatOverflowsTheSizeFailsAndKeepsTheContent) {
    CByteBuffer buffer;
    buffer.SetGrowStep(0);
    Append(buffer, "keep");  // the block is full: the next insert has to grow it
    buffer.SetGrowStep(0xFFFFFFF0u);
    EXPECT_EQ(buffer.InsertSpace(0x20, CByteBuffer::kEnd), nullptr);
    EXPECT_EQ(buffer.InsertSpace(0xFFFFFFFFu, 0), nullptr);
    EXPECT_FALSE(buffer.SetLength(0xFFFFFFFFu));
    EXPECT_EQ(Content(buffer), "keep");

    buffer.SetGrowStep(0);
    Append(buffer, "!");
    EXPECT_EQ(Content(buffer), "keep!");
}

TEST(CByteBuffer, ReadAtRefusesRangesOutsideTheContent) {
    CByteBuffer buffer;
    DWORD word = 0;
    EXPECT_FALSE(buffer.ReadAt(0, 0, &word)) << "no data yet";
    const BYTE bytes[] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(buffer.Insert(bytes, sizeof bytes, CByteBuffer::kEnd), 1);
    EXPECT_TRUE(buffer.ReadAt(2, 4, &word));
    EXPECT_EQ(word, 0x06050403u);
    EXPECT_FALSE(buffer.ReadAt(3, 4, &word));
    EXPECT_FALSE(buffer.ReadAt(0xFFFFFFF0u, 0x20, &word)) << "offset + count wraps";
    EXPECT_FALSE(buffer.ReadAt(CByteBuffer::kEnd, 0, &word));
    EXPECT_FALSE(buffer.ReadAt(0, 4, nullptr));
}

TEST(CByteBuffer, ClearKeepsTheBlockAndFreeReleasesIt) {
    CByteBuffer buffer;
    Append(buffer, "abc");
    buffer.Clear();
    EXPECT_EQ(buffer.GetLength(), 0u);
    EXPECT_NE(buffer.GetPointer(0), nullptr);
    ASSERT_TRUE(buffer.SetLength(3));
    EXPECT_EQ(Content(buffer), "abc");
    buffer.Free();
    EXPECT_EQ(buffer.GetPointer(0), nullptr);
    EXPECT_EQ(buffer.GetLength(), 0u);
}

}  // namespace
