#include "CHomePlugin.h"

#include <algorithm>
#include <new>
#include <vector>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CPluginSettings.h"
#include "CSysInfo.h"
#include "CTodayRows.h"
#include "DawnletServices.h"
#include "LanternetModule.h"
#include "MainProgramStarter.h"
#include "RectHelpers.h"
#include "Weather/CCityList.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr int kTextFont = 17;
constexpr int kDayPartLabelFont = 18;
constexpr DWORD kFiveDaysMode = 0;
constexpr DWORD kDayPartsMode = 1;

HFONT Font(int size) {
    return g_pGdiFactory->GetFont(size, DawnletServices::ClearType(), CGdiFactory::kRegular,
                                  CGdiFactory::kNoUnderline);
}

}  // namespace

CHomePlugin::CHomePlugin() : m_cities(std::make_unique<CCityList>()) { lanternet::AddModuleReference(); }

CHomePlugin::~CHomePlugin() {
    if (m_site != nullptr) {
        m_site->Release();
    }
    m_cities.reset();
    lanternet::ReleaseObjectReference();
}

// ---- IUnknown --------------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CHomePlugin::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IObjectWithSite || iid == IID_IHomePlugin) {
        *object = static_cast<IHomePlugin*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStream) {
        *object = static_cast<IPersistStream*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CHomePlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG STDMETHODCALLTYPE CHomePlugin::Release() {
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

// ---- IObjectWithSite -------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CHomePlugin::SetSite(IUnknown* site) {
    if (m_site != nullptr) {
        m_site->Release();
        m_site = nullptr;
    }
    if (site == nullptr) {
        return S_OK;
    }
    return site->QueryInterface(IID_IHomePluginEnvironment, reinterpret_cast<void**>(&m_site));
}

HRESULT STDMETHODCALLTYPE CHomePlugin::GetSite(REFIID iid, void** site) {
    if (m_site == nullptr) {
        return E_FAIL;
    }
    return m_site->QueryInterface(iid, site);
}

// ---- IHomePlugin -----------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CHomePlugin::SetPluginHandle(DWORD handle) {
    if (handle != 0) {
        m_handle = handle;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHomePlugin::GetHeight(int* height) {
    if (height == nullptr) {
        return E_POINTER;
    }
    const int titleHeight = g_pGdiFactory->GetFontHeight(kTextFont) + 2 * CSysInfo::Scale(1);
    const int labelFont = lanternet::Settings().mode == kDayPartsMode ? kDayPartLabelFont : kTextFont;
    const bool days = lanternet::Settings().mode == kFiveDaysMode;
    *height = g_pGdiFactory->GetFontHeight(kTextFont) +
              std::max(titleHeight, g_pGdiFactory->GetFontHeight(labelFont)) + PictureHeight() +
              CTodayLayout::ExtraHeight(Metrics(!days), days);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHomePlugin::IsSelectable(BOOL* selectable) {
    if (selectable == nullptr) {
        return E_POINTER;
    }
    *selectable = TRUE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHomePlugin::OnEvent(HOMEPLUGINEVENT* event) {
    if (event == nullptr) {
        return S_OK;
    }
    switch (event->type) {
    case HPE_KEY: StepCity(event->key); break;
    case HPE_ACTION: MainProgramStarter::StartMainProgram(m_currentCity); break;
    case HPE_PAINT: Paint(event->paint); break;
    case HPE_THEME: g_pSysInfo->ReadThemeColor(); break;
    case HPE_RELOAD: Reload(); break;
    default: break;
    }
    return S_OK;
}

// ---- IPersistStream --------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CHomePlugin::GetClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = kClassId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHomePlugin::IsDirty() { return S_OK; }

HRESULT STDMETHODCALLTYPE CHomePlugin::Load(IStream*) {
    if (!m_loaded) {
        m_loaded = LoadCities();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHomePlugin::Save(IStream*, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CHomePlugin::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    size->QuadPart = 0;
    return S_OK;
}

// ---- the cities ------------------------------------------------------------------------------------

bool CHomePlugin::LoadCities() {
    int home = 0;
    std::unique_ptr<CCityList> cities = DawnletServices::LoadCities(&home);
    if (cities == nullptr) {
        return false;
    }
    m_currentCity = home;
    m_cities = std::move(cities);
    g_pSysInfo->UpdateScreenSize();
    g_pSysInfo->ReadThemeColor();
    return true;
}

void CHomePlugin::StepCity(WORD key) {
    int index = m_currentCity;
    if (key == VK_LEFT) {
        --index;
    } else if (key == VK_RIGHT) {
        ++index;
    }
    index = std::max(0, std::min(index, m_cities->GetCount() - 1));
    if (index != m_currentCity) {
        m_currentCity = index;
        Redraw();
    }
}

void CHomePlugin::Reload() {
    if (!lanternet::Settings().Load(g_pRegistry) ||
        !CLocalization::Global().Load(static_cast<LANGID>(lanternet::Settings().language))) {
        return;
    }
    auto cities = std::make_unique<CCityList>();
    if (!cities->Load()) {
        return;
    }
    cities->LoadCachedForecasts();
    if (m_currentCity >= cities->GetCount()) {
        m_currentCity = std::max(0, cities->GetCount() - 1);
    }
    m_cities = std::move(cities);
    m_loaded = true;
    Redraw();
}

void CHomePlugin::Redraw() {
    if (m_site != nullptr) {
        m_site->InvalidatePlugin(m_handle, -1);
    }
}

// ---- drawing ---------------------------------------------------------------------------------------

COLORREF CHomePlugin::GetHostColor(LPCWSTR name) const {
    COLORREF color = 0;
    if (m_site == nullptr) {
        return color;
    }
    BSTR text = SysAllocString(name);
    if (FAILED(m_site->GetNamedColor(m_handle, text, &color))) {
        color = 0;
    }
    SysFreeString(text);
    return color;
}

// The off-screen picture is kept while the plug-in's size stays.
HDC CHomePlugin::GetBufferDC(HDC hostDC, int width, int height) {
    if (!m_buffer.IsValid() || m_buffer.Width() != width || m_buffer.Height() != height) {
        m_buffer.Release();
        if (!m_buffer.CreateCompatible(hostDC, width, height)) {
            return nullptr;
        }
    }
    return m_buffer.DC();
}

void CHomePlugin::Paint(const HOMEPAINTINFO& paint) {
    const RECT& area = paint.rc;
    const int width = RectWidth(area);
    const int height = RectHeight(area);
    if (paint.hdc == nullptr || width <= 0 || height <= 0) {
        return;
    }
    HDC memory = GetBufferDC(paint.hdc, width, height);
    if (memory == nullptr) {
        return;
    }
    const RECT local{0, 0, width, height};
    SetTextColor(memory, GetHostColor(paint.fSelected ? u"COLOR_HOMEHIGHLIGHTTEXT" : u"COLOR_HOMETEXT"));
    SetBkMode(memory, TRANSPARENT);
    if (paint.fSelected) {
        HBRUSH brush = CreateSolidBrush(GetHostColor(u"COLOR_HOMEHIGHLIGHT"));
        FillRect(memory, &local, brush);
        DeleteObject(brush);
    } else {
        BitBlt(memory, 0, 0, width, height, paint.hdc, area.left, area.top, SRCCOPY);
    }
    DrawStrip(memory, local);
    HPEN pen = CreatePen(PS_SOLID, 1, GetHostColor(u"COLOR_HOMERULE"));
    HGDIOBJ oldPen = SelectObject(memory, pen);
    MoveToEx(memory, 0, height - 1, nullptr);
    LineTo(memory, width, height - 1);
    SelectObject(memory, oldPen);
    DeleteObject(pen);
    BitBlt(paint.hdc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
}

void CHomePlugin::DrawStrip(HDC dc, const RECT& rect) {
    CCity city;
    if (!m_cities->GetCity(m_currentCity, &city)) {
        CTodayLayout::DrawNoForecast(dc, rect);
        return;
    }
    const bool dayParts = lanternet::Settings().mode != kFiveDaysMode;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const DWORD degreeType = lanternet::Settings().degreeType;
    const std::vector<TodayColumn> columns =
        dayParts ? CTodayRows::DayParts(city, now, degreeType) : CTodayRows::FiveDays(city, now, degreeType);
    const TitleBarInfo title{city.GetName(), m_currentCity >= 1, m_currentCity < m_cities->GetCount() - 1};
    CTodayLayout::Draw(dc, rect, columns, Metrics(dayParts), title);
}

TodayLayoutMetrics CHomePlugin::Metrics(bool dayParts) {
    const int labelFont = dayParts ? kDayPartLabelFont : kTextFont;
    TodayLayoutMetrics metrics;
    metrics.labelFont = Font(labelFont);
    metrics.temperatureFont = Font(kTextFont);
    metrics.titleFont = Font(kTextFont);
    metrics.titleHeight = g_pGdiFactory->GetFontHeight(kTextFont) + 2 * CSysInfo::Scale(1);
    metrics.labelHeight = g_pGdiFactory->GetFontHeight(labelFont);
    metrics.temperatureHeight = g_pGdiFactory->GetFontHeight(kTextFont);
    metrics.pictureHeight = PictureHeight();
    metrics.smallPictures = false;
    return metrics;
}

// Not scaled: the Home screen's pictures have fixed heights.
int CHomePlugin::PictureHeight() { return g_pSysInfo->GetScreenClass() == 176 ? 32 : 44; }
