// A text label with an optional picture beside it: captions, status and value lines of every screen.
#pragma once

#include <memory>
#include <string>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgString.h"
#include "UserInterface/IDlgImage.h"

namespace UserInterface {

class CDlgStatic : public CDlgControl {
public:
    // Style bits of the label (above the base's).
    static constexpr DWORD kTextCenter = 0x20000;
    static constexpr DWORD kTextRight = 0x40000;
    static constexpr DWORD kTextVCenter = 0x100000;
    static constexpr DWORD kTextBottom = 0x200000;
    static constexpr DWORD kImageCenter = 0x800000;
    static constexpr DWORD kImageRight = 0x1000000;
    static constexpr DWORD kImageVCenter = 0x4000000;
    static constexpr DWORD kImageBottom = 0x8000000;
    static constexpr DWORD kSingleLine = 0x10000000;
    static constexpr DWORD kWordBreak = 0x20000000;
    static constexpr DWORD kEllipsisFront = 0x40000000;
    static constexpr DWORD kEllipsisBack = 0x80000000;

    // Control messages of the label.
    static constexpr UINT kMsgSetText = 1281;
    static constexpr UINT kMsgGetText = 1282;
    static constexpr UINT kMsgGetTextLength = 1283;
    static constexpr UINT kMsgSetImage = 1284;

    CDlgStatic();
    ~CDlgStatic() override;

    // The text cut to the rectangle's width in the context's font with "..." behind it, or, keeping
    // its end, in front of it; the whole text when it fits.
    static std::u16string FitWithEllipsis(HDC dc, LPCWSTR text, const RECT& rect, bool keepEnd);

    // Copies the text (null allowed) and keeps a private copy of the image (null allowed).
    BOOL Create(LPCWSTR text, const IDlgImage* image, int id, DWORD style, int width, int height);
    int SetText(LPCWSTR text, BOOL redraw);

    // The DrawTextW alignment of the text bits that the label and the hyperlink share, with the flags
    // every one of their texts is drawn with.
    static UINT GetAlignmentFormat(DWORD style);

    int GetPreferredWidth() override;
    // Height of the text wrapped in the control's current width, or of the image when taller.
    int GetPreferredHeight() override;
    BOOL CanFocus() override { return 0; }

protected:
    void OnPaint(HDC dc, const RECT* rect) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetText(LPCWSTR text, BOOL redraw);
    virtual LRESULT OnGetText(LPWSTR buffer, int length);
    virtual LRESULT OnGetTextLength();
    virtual LRESULT OnSetImage(const IDlgImage* image, BOOL redraw);

private:
    bool CopyImage(const IDlgImage* image);
    // The image's size when there is one to draw; false otherwise.
    bool GetImageSize(SIZE* size) const;
    // Width the image takes from the text, gap included; 0 without image.
    int GetImageSpan() const;
    RECT PlaceImage(const RECT& inner, SIZE size) const;
    UINT GetTextFormat() const;
    void DrawLabelText(HDC dc, RECT rect) const;

    CDlgString m_text;
    std::unique_ptr<IDlgImage> m_image;
};

}  // namespace UserInterface
