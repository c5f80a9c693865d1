// The host's device context for measuring outside of painting, released when it goes out of scope.
#pragma once

#include "UserInterface/IDlgObjectHost.h"

namespace UserInterface {

class CDlgHostDC {
public:
    explicit CDlgHostDC(IDlgObjectHost* host) : m_host(host), m_dc(host != nullptr ? host->GetHostDC() : nullptr) {}
    ~CDlgHostDC() {
        if (m_dc != nullptr) {
            m_host->ReleaseHostDC(m_dc);
        }
    }
    CDlgHostDC(const CDlgHostDC&) = delete;
    CDlgHostDC& operator=(const CDlgHostDC&) = delete;

    // Null without a host or when the host has no window.
    HDC Get() const { return m_dc; }

private:
    IDlgObjectHost* m_host;
    HDC m_dc;
};

}  // namespace UserInterface
