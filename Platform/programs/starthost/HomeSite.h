// The site that the Home screen hands each plug-in: redraw requests and named colours. The screen
// detaches it before it goes; a plug-in that keeps it longer gets failures, not a dangling screen.
#pragma once

#include <atomic>

#include "ce/shell.h"

class HomeSite : public IHomePluginEnvironment {
public:
    class Owner {
    public:
        virtual void InvalidatePlugin(DWORD handle) = 0;

    protected:
        ~Owner() = default;
    };

    // The new site holds one reference.
    static HomeSite* Create(Owner* owner);
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InvalidatePlugin(DWORD handle, int part) override;
    HRESULT STDMETHODCALLTYPE GetPluginFont(DWORD handle, BSTR name, void* font) override;
    HRESULT STDMETHODCALLTYPE GetNamedColor(DWORD handle, BSTR name, COLORREF* color) override;

private:
    explicit HomeSite(Owner* owner) : owner_(owner) {}
    virtual ~HomeSite() = default;

    std::atomic<ULONG> references_{1};
    Owner* owner_;
};
