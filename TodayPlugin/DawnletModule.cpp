// The Today item library: its entry point and its two exports by ordinal, 240 (make the item) and 241
// (the options dialog's procedure, for the dialog resource 500).
#include "CTodayItem.h"
#include "DawnletServices.h"
#include "TodayOptionsDialog.h"
#include "ce/module.h"

namespace {

HINSTANCE g_instance = nullptr;

HWND WINAPI InitializeCustomItem(TODAYLISTITEM* record, HWND parent) {
    if (record == nullptr || !record->fEnabled) {
        return nullptr;
    }
    if (!DawnletServices::EnsureSkin()) {
        return nullptr;
    }
    return CTodayItem::Create(g_instance, parent);
}

}  // namespace

extern "C" CE_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        return DawnletServices::Initialize(instance) ? TRUE : FALSE;
    }
    if (reason == DLL_PROCESS_DETACH) {
        CTodayItem::UnregisterWindowClass(instance);
        DawnletServices::Release();
    }
    return TRUE;
}

CE_MODULE_ORDINALS(CE_ORDINAL(ORDINAL_INITIALIZEITEM, InitializeCustomItem),
                   CE_ORDINAL(ORDINAL_OPTIONSDIALOGPROC, TodayOptionsDialog::CustomItemOptionsDlgProc));
CE_MODULE_RESOURCES({RT_DIALOG, MAKEINTRESOURCEW(TodayOptionsDialog::kDialogId), TodayOptionsDialog::Template(),
                     TodayOptionsDialog::TemplateSize()},
                    {RT_RCDATA, MAKEINTRESOURCEW(TodayOptionsDialog::kDoneBarId), TodayOptionsDialog::DoneBar(),
                     TodayOptionsDialog::DoneBarSize()});
