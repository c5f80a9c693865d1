// The language dialog and the first start's language page run for real over the installed language
// files: the languages by name, what Done stores and makes current, and what it leaves alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "CLocalization.h"
#include "Screens/CInterfaceLangDlg.h"
#include "Screens/CStartWizardInterfaceLangDlg.h"
#include "SettingsDialogTest.h"

namespace {

using namespace settings_test;
using Dlg = CInterfaceLangDlg;
using ScriptedLanguages = ScriptedScreen<CInterfaceLangDlg>;
using ScriptedPage = ScriptedScreen<CStartWizardInterfaceLangDlg>;

class InterfaceLangTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        // German, a language that the system cannot name, and a file without a language number.
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0407.txt", device_.InstallFolder("Loc/loc.0407.txt"));
        std::filesystem::copy_file(device_.InstallFolder("Loc/loc.0409.txt"), device_.InstallFolder("Loc/loc.0abc.txt"));
        std::filesystem::copy_file(device_.InstallFolder("Loc/loc.0409.txt"), device_.InstallFolder("Loc/loc.zzzz.txt"));
        ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
        GetSettings().language = CLocalization::kEnglish;
    }
    void TearDown() override {
        CLocalization::Global().SetLanguage(CLocalization::kEnglish);
        SettingsDialogTest::TearDown();
    }
    template <class Screen>
    static INT_PTR Run(Screen& dialog) {
        ClockTicker clock;
        return dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }
    static void Choose(UserInterface::CSmartDialog& d, UINT key) {
        d.SetFocusControl(Field(d, Dlg::kFieldId), FALSE);
        ce::InjectKey(key);
    }
};

TEST(InterfaceLanguageNames, FileNamesGiveTheirNumberAndUnnamedLanguagesAFixedName) {
    EXPECT_EQ(CInterfaceLangDlg::LanguageOfFileName(u"loc.0407.txt"), 0x0407);
    EXPECT_EQ(CInterfaceLangDlg::LanguageOfFileName(u"LOC.0c0a.txt"), 0x0C0A);
    EXPECT_EQ(CInterfaceLangDlg::LanguageOfFileName(u"loc.zzzz.txt"), 0);
    EXPECT_EQ(CInterfaceLangDlg::LanguageOfFileName(u"loc.123456.txt"), 0) << "too large for a language";
    EXPECT_EQ(CInterfaceLangDlg::NameOfLanguage(0x0404), u"Chinese Traditional");
    EXPECT_EQ(CInterfaceLangDlg::NameOfLanguage(0x0804), u"Chinese Simplified");
    EXPECT_EQ(CInterfaceLangDlg::NameOfLanguage(0x0ABC), u"Language 0ABC");
}

TEST_F(InterfaceLangTest, ListsTheInstalledLanguagesByNameAndChoosingOneStoresItAndSwitchesTheTexts) {
    ScriptedLanguages dialog;
    dialog.Then([](ScriptedLanguages& d) {
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(Dlg::kLabelId)), u"Interface language:");
        EXPECT_EQ(Texts(d, Dlg::kFieldId), (std::vector<std::u16string>{u"Deutsch (Deutschland)",
                                                                          u"English (United States)",
                                                                          u"Language 0ABC"}));
        EXPECT_EQ(SelectedText(d, Dlg::kFieldId), u"English (United States)") << "the current language";
        Choose(d, VK_LEFT);
    });
    dialog.Then([](ScriptedLanguages&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(Stored(u"Language"), 0x0407u);
    EXPECT_EQ(GetSettings().language, 0x0407u);
    EXPECT_EQ(CLocalization::Global().GetLanguage(), 0x0407);
    EXPECT_EQ(std::u16string(LoadLocalizedString("IDS_CAP_DONE")), u"Fertig");

    ScriptedLanguages cancelled;
    cancelled.Then([](ScriptedLanguages& d) {
        EXPECT_EQ(SelectedText(d, Dlg::kFieldId), u"Deutsch (Deutschland)");
        Choose(d, VK_RIGHT);
    });
    cancelled.Then([](ScriptedLanguages&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(Run(cancelled), IDCANCEL);
    EXPECT_EQ(Stored(u"Language"), 0x0407u);
    EXPECT_EQ(CLocalization::Global().GetLanguage(), 0x0407);
}

TEST_F(InterfaceLangTest, TheFirstStartsPageStoresEvenTheCurrentLanguageAndOffersNoWayBack) {
    ScriptedPage page;
    page.passBackKeys = true;
    page.Then([](ScriptedPage& d) {
        EXPECT_EQ(d.GetMenuInfo().GetCommand(0), IDOK);
        EXPECT_FALSE(d.GetMenuInfo().HasKey(1)) << "Done only";
        ce::InjectKey(VK_ESCAPE);
    });
    page.Then([](ScriptedPage& d) {
        EXPECT_EQ(d.GetResult(), -1) << "the Back key is ignored";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(Run(page), IDOK);
    EXPECT_EQ(Stored(u"Language"), 0x0409u) << "stored, so that the next start does not ask";

    // A value that a save of the record would overwrite.
    ASSERT_TRUE(store_.SetDWORD(u"DegreeType", 1));
    ScriptedLanguages unchanged;
    unchanged.Then([](ScriptedLanguages&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(unchanged), IDOK);
    EXPECT_EQ(Stored(u"DegreeType"), 1u) << "the stored language again needs no write";
}

// A language that cannot be loaded or stored leaves the texts and the record as they were, and the
// dialog open.
TEST_F(InterfaceLangTest, ALanguageThatCannotBeLoadedOrStoredChangesNothing) {
    ScriptedLanguages unreadable;
    unreadable.Then([&](ScriptedLanguages& d) {
        std::filesystem::remove(device_.InstallFolder("Loc/loc.0abc.txt"));
        Choose(d, VK_RIGHT);
    });
    unreadable.Then([](ScriptedLanguages& d) {
        EXPECT_EQ(SelectedText(d, Dlg::kFieldId), u"Language 0ABC");
        ce::InjectKey(VK_TSOFT1);
    });
    unreadable.Then([](ScriptedLanguages& d) { EXPECT_EQ(d.GetResult(), -1); });
    EXPECT_EQ(Run(unreadable), ScriptedLanguages::kScriptEnded);
    EXPECT_EQ(CLocalization::Global().GetLanguage(), CLocalization::kEnglish);
    EXPECT_EQ(std::u16string(LoadLocalizedString("IDS_CAP_DONE")), u"Done");
    EXPECT_EQ(Stored(u"Language"), static_cast<DWORD>(-1));

    MakeRegistryRefuseWrites();
    ScriptedLanguages refused;
    refused.Then([](ScriptedLanguages& d) { Choose(d, VK_LEFT); });
    refused.Then([](ScriptedLanguages&) { ce::InjectKey(VK_TSOFT1); });
    refused.Then([](ScriptedLanguages& d) { EXPECT_EQ(d.GetResult(), -1); });
    EXPECT_EQ(Run(refused), ScriptedLanguages::kScriptEnded);
    EXPECT_EQ(GetSettings().language, CLocalization::kEnglish);
    EXPECT_EQ(std::u16string(LoadLocalizedString("IDS_CAP_DONE")), u"Done");
}

}  // namespace
