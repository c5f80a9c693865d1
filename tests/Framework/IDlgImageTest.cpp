// A private copy of an image is made by the image's own kind: Clone, then Assign.
#include <gtest/gtest.h>

#include "UserInterface/IDlgImage.h"

namespace {

using UserInterface::IDlgImage;

// A picture number with a size, as a skin would keep it.
class NumberedImage : public IDlgImage {
public:
    explicit NumberedImage(int number = -1) : number_(number) {}

    int number_;
    bool refuseClone = false;
    bool refuseAssign = false;

    BOOL Clone(IDlgImage** copy) const override {
        if (copy == nullptr || refuseClone) {
            return FALSE;
        }
        auto* made = new NumberedImage;
        made->refuseAssign = refuseAssign;
        *copy = made;
        return TRUE;
    }
    BOOL Assign(const IDlgImage* other) override {
        auto* same = dynamic_cast<const NumberedImage*>(other);
        if (same == nullptr || refuseAssign) {
            return FALSE;
        }
        number_ = same->number_;
        return TRUE;
    }
    void Clear() override { number_ = -1; }
    BOOL IsValid() const override { return number_ >= 0; }
    BOOL GetSize(SIZE* size) const override {
        *size = SIZE{16, 16};
        return TRUE;
    }
    int GetWidth() const override { return 16; }
    int GetHeight() const override { return 16; }
    BOOL Draw(HDC, int, int, int, int, int, int) const override { return IsValid(); }
    BOOL DrawInRect(HDC, const RECT*, const RECT*, BOOL) const override { return IsValid(); }
};

TEST(DlgImageCopy, CopiesThroughTheImagesOwnKindAndDropsAHalfMadeCopy) {
    NumberedImage original(1007);
    IDlgImage* copy = IDlgImage::Copy(&original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &original);
    EXPECT_EQ(static_cast<NumberedImage*>(copy)->number_, 1007);
    original.Clear();
    EXPECT_TRUE(copy->IsValid()) << "the copy is independent of the original";
    delete copy;

    EXPECT_EQ(IDlgImage::Copy(nullptr), nullptr);
    original.refuseClone = true;
    EXPECT_EQ(IDlgImage::Copy(&original), nullptr);
    original.refuseClone = false;
    original.refuseAssign = true;
    EXPECT_EQ(IDlgImage::Copy(&original), nullptr) << "a copy that could not be filled is deleted, not handed out";
}

}  // namespace
