// The Home-screen plug-in object: shows the weather strip of one city of the user's list in the Home
// screen's colours, steps through the cities by key, starts the program on the shown city, and reloads
// when the program asks the Home screen to refresh it. The host calls it for everything, on its thread.
#pragma once

#include <memory>

#include "CBitmapDC.h"
#include "CTodayLayout.h"
#include "ce/shell.h"

class CCityList;

class CHomePlugin : public IHomePlugin, public IPersistStream {
public:
    static constexpr CLSID kClassId = {0x6D2E8A41, 0x0C7B, 0x4E59, {0xA3, 0xF6, 0x91, 0xB4, 0xC8, 0xD2, 0x7E, 0x05}};

    // One reference, and one count of the library's module.
    CHomePlugin();
    CHomePlugin(const CHomePlugin&) = delete;
    CHomePlugin& operator=(const CHomePlugin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** site) override;

    HRESULT STDMETHODCALLTYPE SetPluginHandle(DWORD handle) override;
    HRESULT STDMETHODCALLTYPE GetHeight(int* height) override;
    HRESULT STDMETHODCALLTYPE IsSelectable(BOOL* selectable) override;
    HRESULT STDMETHODCALLTYPE OnEvent(HOMEPLUGINEVENT* event) override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    // The first call loads the cities; a failed load is tried again on the next call.
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

private:
    virtual ~CHomePlugin();

    bool LoadCities();
    void StepCity(WORD key);
    void Reload();
    void Paint(const HOMEPAINTINFO& paint);
    void DrawStrip(HDC dc, const RECT& rect);
    void Redraw();
    COLORREF GetHostColor(LPCWSTR name) const;
    HDC GetBufferDC(HDC hostDC, int width, int height);
    // The fonts and heights of the strip in the Home screen's sizes.
    static TodayLayoutMetrics Metrics(bool dayParts);
    static int PictureHeight();

    LONG m_references = 1;
    bool m_loaded = false;
    DWORD m_handle = 0;
    IHomePluginEnvironment* m_site = nullptr;
    CBitmapDC m_buffer;
    std::unique_ptr<CCityList> m_cities;
    int m_currentCity = 0;
};
