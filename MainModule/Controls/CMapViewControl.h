// Shows one map picture: fitted into the control in the normal view, covering it and scrollable by keys
// and by dragging in full screen, with the map-type title faded out over it by a thread of the control,
// hints at more picture beyond the edges, and an exit button in full screen on a Pocket PC.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "CSprite.h"
#include "UserInterface/CDlgControl.h"

class CMapViewControl : public UserInterface::CDlgControl {
public:
    static constexpr LPCWSTR kTypeName = u"__MapViewControl";
    // Notification codes to the host.
    enum Notification { kNotifyLeaveFullScreen = 1, kNotifyEnterFullScreen = 2 };
    // Skin pictures.
    enum Picture { kExitButton = 68, kHintTop = 1004, kHintBottom = 1005, kHintLeft = 1006, kHintRight = 1007 };
    // Lengths for the 240 screen class.
    static constexpr int kScrollStep = 50;
    static constexpr int kExitButtonSize = 35;
    static constexpr int kExitButtonMargin = 5;
    static constexpr int kExitButtonSlack = 40;
    static constexpr DWORD kTitleShownMs = 1000;
    static constexpr DWORD kTitleFadeMs = 1000;

    CMapViewControl();
    ~CMapViewControl() override;

    // Keeps a copy of the picture (none for null); when the copy fails nothing changes and the result
    // is false.
    BOOL SetPicture(const CSprite* picture, LPCWSTR title, BOOL redraw);
    void SetFullScreen(BOOL fullScreen, BOOL redraw);
    // Once the control is created: ends a running title thread, then shows the title afresh and fades it.
    void StartTitleAnimation();
    void StopTitleAnimation();

    BOOL IsFullScreen() const { return m_fullScreen; }
    int GetTitleProgress() const { return m_titleProgress.load(); }
    POINT GetScrollPosition();
    SIZE GetScaledSize();

    // The picture's size in an area: the whole picture in the fit view, the area covered in full screen.
    static SIZE ComputeScaledSize(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight, bool fullScreen);

    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnMoved() override;
    LRESULT OnKey(UINT virtualKey, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;

private:
    static DWORD WINAPI TitleThreadProc(LPVOID self);
    void RunTitleFade();
    void EndTitleThread();
    void RedrawLocked();

    void UpdateScaledSize();
    void DropCachedPicture();
    bool BuildCachedPicture(HDC reference);
    void DrawPicture(HDC dc, const RECT& inner);
    void DrawTitle(HDC dc, const RECT& inner);
    void DrawExitButton(HDC dc, const RECT& inner);
    void DrawScrollHints(HDC dc, const RECT& inner);
    // The exit button's square in control coordinates; empty on a Smartphone.
    RECT ExitButtonRect();
    // Moves the scroll position by the amounts, kept within the scaled picture; true when it moved.
    bool ScrollBy(int dx, int dy);

    CSprite m_picture;
    bool m_hasPicture = false;
    std::u16string m_title;
    BOOL m_fullScreen = FALSE;
    std::atomic<int> m_titleProgress{100};
    HANDLE m_stopEvent = nullptr;
    HANDLE m_titleThread = nullptr;
    POINT m_scroll{0, 0};
    HBITMAP m_cachedPicture = nullptr;
    SIZE m_scaledSize{0, 0};
    SIZE m_lastSize{0, 0};
    bool m_exitPressed = false;
    bool m_dragging = false;
    POINT m_lastPoint{0, 0};
    // Guards picture, title, scroll state and drawing between the UI thread and the title thread.
    std::recursive_mutex m_lock;
};
