// The classes every process has: the dialog class and the standard controls.
#include <mutex>

#include "user/Controls.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

void AddSystemClass(const char16_t* name, WNDPROC procedure, int extra, UINT style, HBRUSH background) {
    WNDCLASSW info{};
    info.style = style;
    info.lpfnWndProc = procedure;
    info.cbWndExtra = extra;
    info.hbrBackground = background;
    info.lpszClassName = name;
    Wm().AddClass(info, true);
}

}  // namespace

void RegisterSystemClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        WmLock guard(Wm().Lock());
        auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        AddSystemClass(u"Dialog", DefDlgProcW, DLGWINDOWEXTRA, 0, nullptr);
        AddSystemClass(u"Static", StaticProc, 0, 0, nullptr);
        AddSystemClass(u"Button", ButtonProc, 0, CS_DBLCLKS, nullptr);
        AddSystemClass(u"Edit", EditProc, 0, CS_DBLCLKS, white);
        AddSystemClass(u"ComboBox", ComboBoxProc, 0, CS_DBLCLKS, white);
        AddSystemClass(kPopupMenuClass, PopupMenuProc, 0, 0, white);
    });
    static std::once_flag routing;
    std::call_once(routing, StartInputRouting);
}

}  // namespace ce::detail
