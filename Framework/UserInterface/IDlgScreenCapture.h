// A screen that can draw itself into a bitmap, for the transitions between screens.
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class IDlgScreenCapture {
public:
    // The screen as it now looks; the bitmap stays the screen's.
    virtual HBITMAP CaptureScreen() = 0;
    virtual int GetCaptureWidth() = 0;
    virtual int GetCaptureHeight() = 0;

protected:
    ~IDlgScreenCapture() = default;
};

}  // namespace UserInterface
