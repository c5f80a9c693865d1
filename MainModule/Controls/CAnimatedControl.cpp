#include "Controls/CAnimatedControl.h"

CAnimatedControl::CAnimatedControl(LPCWSTR typeName) : CDlgControl(typeName) {}

CAnimatedControl::~CAnimatedControl() { StopAnimation(); }

LRESULT CAnimatedControl::OnCreate() { return m_animator.Start([this] { Animate(); }) ? 1 : 0; }

void CAnimatedControl::Animate() {
    if (!m_animate || !IsVisible() || GetWidth() <= 0 || GetHeight() <= 0) {
        return;
    }
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        changed = AdvanceFrames();
    }
    if (changed) {
        Redraw(nullptr);
    }
}

BOOL CAnimatedControl::Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return CDlgControl::Draw(dc, x, y, clip, ownBuffer);
}

void CAnimatedControl::DrawFocusBorder(HDC, const RECT*) {}
