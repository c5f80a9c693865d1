// The built library, loaded as the program loads it: by device path, its one export bound by name.
#include <gtest/gtest.h>

#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "ce/kernel.h"

namespace {
using namespace pictorra_test;

using GetSpriteObjectFn = CSpritePackage* (*)();

class PictorraModule : public PackageFixture {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(device.Fs("Program Files/Skyvane"));
        std::filesystem::create_symlink(PICTORRA_DLL, device.Fs("Program Files/Skyvane/Pictorra.dll"));
        WritePackage({kRedSquare});
    }
};

TEST_F(PictorraModule, ExportGivesAWorkingPackageObject)
{
    HMODULE module = LoadLibraryW(u"\\Program Files\\Skyvane\\Pictorra.dll");
    ASSERT_NE(module, nullptr);
    auto getSpriteObject = reinterpret_cast<GetSpriteObjectFn>(GetProcAddressW(module, u"GetSpriteObject"));
    ASSERT_NE(getSpriteObject, nullptr);
    EXPECT_EQ(GetProcAddressW(module, u"_ZN14CSpritePackage6RenderEiii"), nullptr);  // nothing else is exported

    CSpritePackage* sprites = getSpriteObject();
    ASSERT_NE(sprites, nullptr);
    ASSERT_TRUE(sprites->Open(package.c_str()));
    int image = sprites->Render(0, 8, 8);
    ASSERT_NE(image, -1);
    Canvas canvas(8, 8, 0xFFFF);
    sprites->Draw(image, canvas.Dc(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(canvas.At(4, 4), 0xF800);
    delete sprites;
    EXPECT_TRUE(FreeLibrary(module));
}
}  // namespace
