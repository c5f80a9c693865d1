#include "Screens/CDownloadWaitViewDlg.h"

#include <algorithm>
#include <new>

#include "CGdiFactory.h"
#include "CSysInfo.h"
#include "RectHelpers.h"
#include "Skin/CAppDlgImage.h"
#include "UserInterface/CDlgAnimationControl.h"
#include "UserInterface/CDlgImageArray.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/GlobalServices.h"

namespace {

using UserInterface::CDlgAnimationControl;
using UserInterface::CDlgControl;
using UserInterface::CDlgStatic;

constexpr DWORD kShown = CDlgControl::kVisible | CDlgControl::kHostBackground;
constexpr DWORD kTextStyle =
    kShown | CDlgControl::kFillWidth | CDlgControl::kPreferredHeight | CDlgStatic::kTextCenter | CDlgStatic::kWordBreak;
constexpr DWORD kAnimationStyle = kShown | CDlgControl::kFillWidth | CDlgControl::kFillHeight | CDlgAnimationControl::kCenter;

}  // namespace

int CDownloadWaitViewDlg::RunWithText(HWND owner, const CDelegate* job, LPCWSTR text,
                                      UserInterface::IDlgScreenCapture* capture) {
    m_hasText = text != nullptr;
    m_text = text != nullptr ? text : u"";
    return Run(owner, job, capture);
}

UserInterface::CDlgLayout* CDownloadWaitViewDlg::CreateLayout() { return new CDownloadWaitViewDlgLayout; }

bool CDownloadWaitViewDlg::BuildControls() {
    if (m_hasText) {
        CDlgStatic* text = AddText(kTextId, kTextStyle, m_text.c_str(), nullptr);
        if (text == nullptr) {
            return false;
        }
        text->SetFont(g_pGdiFactory != nullptr
                          ? g_pGdiFactory->GetFont(kFontSize, CGdiFactory::kClearType, CGdiFactory::kBold,
                                                   CGdiFactory::kNoUnderline)
                          : nullptr,
                      UserInterface::kNoRedraw);
    }
    const int size = CSysInfo::Scale(kFrameSize);
    UserInterface::CDlgImageArray frames;
    for (int i = 0; i < kFrameCount; ++i) {
        CAppDlgImage frame;
        if (!frame.Set(kFirstFrame + i, size, size, TRUE) || !frames.AddImage(&frame)) {
            return false;
        }
    }
    auto* animation = new (std::nothrow) CDlgAnimationControl;
    if (animation == nullptr || !GetLayout()->AddControl(animation)) {
        delete animation;
        return false;
    }
    if (!animation->Create(&frames, kFrameIntervalMs, kAnimationId, kAnimationStyle,
                           UserInterface::kSizedByLayout, size)) {
        return false;
    }
    return true;
}

void CDownloadWaitViewDlg::CDownloadWaitViewDlgLayout::Arrange() {
    CDlgControl* animation = FindControl(kAnimationId);
    if (animation == nullptr) {
        return;
    }
    CDlgControl* text = FindControl(kTextId);
    const RECT& view = GetView();
    const int margin = GetMargin();
    const int gap = GetRowGap();
    const int left = view.left + margin;
    const int width = std::max(0, RectWidth(view) - 2 * margin);
    const int rowHeight = CSysInfo::Scale(kFrameSize);
    int textHeight = 0;
    if (text != nullptr) {
        text->Move(left, view.top, width, 0, UserInterface::kNoRedraw);
        textHeight = text->GetPreferredHeight();
    }
    const int block = rowHeight + (text != nullptr ? textHeight + gap : 0);
    int top = view.top + (RectHeight(view) - block) / 2;
    if (text != nullptr) {
        text->Move(left, top, width, textHeight, UserInterface::kNoRedraw);
        top += textHeight + gap;
    }
    animation->Move(left, top, width, rowHeight, UserInterface::kNoRedraw);
}
