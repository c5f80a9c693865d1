// The fixture of the settings dialogs' tests: the skinned device with the English texts, the program's
// registry store as the process's, and a settings record that starts from its defaults.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "CGdiFactory.h"
#include "CRegistryStore.h"
#include "ScreenTest.h"
#include "UserInterface/CDlgComboBox.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace settings_test {

using namespace skin_test;

class SettingsDialogTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(store_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &store_;
        fonts_ = std::make_unique<CGdiFactory>(device_.SysInfo());
        g_pGdiFactory = fonts_.get();
        GetSettings() = CSettings();
    }
    void TearDown() override {
        GetSettings() = CSettings();
        g_pGdiFactory = nullptr;
        g_pRegistry = nullptr;
        ScreenTest::TearDown();
    }

    // A stored DWORD value; -1 when there is none.
    DWORD Stored(const char16_t* name) {
        DWORD value = 0;
        return store_.GetDWORD(name, &value) ? value : static_cast<DWORD>(-1);
    }
    // A store that was never opened refuses every write, as a registry that cannot be written does.
    void MakeRegistryRefuseWrites() { g_pRegistry = &refusing_; }

    static UserInterface::CDlgComboBox* Field(UserInterface::CSmartDialog& dialog, int id) {
        return static_cast<UserInterface::CDlgComboBox*>(dialog.GetLayout()->FindControl(id));
    }
    static std::u16string SelectedText(UserInterface::CSmartDialog& dialog, int id) {
        UserInterface::CDlgComboBox* field = Field(dialog, id);
        return field->GetCurSel() < 0 ? u"" : field->GetItemText(field->GetCurSel());
    }
    static std::vector<std::u16string> Texts(UserInterface::CSmartDialog& dialog, int id) {
        std::vector<std::u16string> texts;
        UserInterface::CDlgComboBox* field = Field(dialog, id);
        for (int i = 0; i < field->GetCount(); ++i) {
            texts.emplace_back(field->GetItemText(i));
        }
        return texts;
    }
    // The ids of the controls shown, in their order.
    static std::vector<int> ShownIds(UserInterface::CSmartDialog& dialog) {
        std::vector<int> ids;
        for (int i = 0; i < dialog.GetLayout()->GetControlCount(); ++i) {
            if (dialog.GetLayout()->GetControlAt(i)->IsVisible()) {
                ids.push_back(dialog.GetLayout()->GetControlAt(i)->GetId());
            }
        }
        return ids;
    }
    // True once a window other than the dialog is in front (a box over it).
    static bool BoxIsUp(UserInterface::CSmartDialog& dialog) {
        HWND front = GetForegroundWindow();
        return front != nullptr && front != dialog.GetHandle();
    }

    CRegistryStore store_;
    CRegistryStore refusing_;
    std::unique_ptr<CGdiFactory> fonts_;
};

}  // namespace settings_test
