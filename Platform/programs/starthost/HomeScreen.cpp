#include "HomeScreen.h"

#include "HomeColors.h"
#include "MemoryStream.h"

namespace {

std::string Narrow(const std::u16string& text) { return ce::ToUtf8(text); }

std::string ClassText(const CLSID& clsid) {
    WCHAR text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return ce::ToUtf8(text);
}

std::string HresultText(HRESULT result) {
    char text[16];
    snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(result));
    return text;
}

}  // namespace

HomeScreen::~HomeScreen() {
    if (Window() != nullptr) {
        DestroyWindow(Window());  // unloads the plug-ins while the screen still exists
    }
}

void HomeScreen::Load() {
    site_ = HomeSite::Create(this);
    HomeScheme scheme = HomeScheme::ReadActive();
    if (!scheme.Problem().empty()) {
        Log("scheme", Narrow(scheme.Path()), scheme.Problem());
    }
    background_ = HomeColors::DefaultBackground();
    HomeColors::Find(scheme.Background(), &background_);
    for (const HomePluginEntry& entry : scheme.Plugins()) {
        LoadPlugin(entry);
    }
}

void HomeScreen::LoadPlugin(const HomePluginEntry& entry) {
    Plugin plugin;
    plugin.clsid = entry.clsid;
    plugin.handle = nextHandle_++;
    const std::string name = entry.name.empty() ? ClassText(entry.clsid) : Narrow(entry.name);
    HRESULT result = CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IHomePlugin,
                                      reinterpret_cast<void**>(&plugin.object));
    if (FAILED(result) || plugin.object == nullptr) {
        Log("load", name, "not created (" + HresultText(result) + ")");
        return;
    }
    plugin.object->SetPluginHandle(plugin.handle);
    plugin.object->SetSite(site_);
    ce::ComRef<IPersistStream> persist;
    if (SUCCEEDED(plugin.object->QueryInterface(IID_IPersistStream, persist.OutVoid()))) {
        MemoryStream* stream = MemoryStream::Create(entry.xml);
        persist->Load(stream);
        stream->Release();
    }
    int height = 0;
    if (SUCCEEDED(plugin.object->GetHeight(&height)) && height > 0) {
        plugin.height = height;
    }
    BOOL selectable = FALSE;
    plugin.selectable = SUCCEEDED(plugin.object->IsSelectable(&selectable)) && selectable;
    Log("load", name, "ok");
    plugins_.push_back(plugin);
    if (selected_ < 0 && plugin.selectable) {
        selected_ = static_cast<int>(plugins_.size()) - 1;
    }
}

void HomeScreen::Unload() {
    for (Plugin& plugin : plugins_) {
        plugin.object->SetSite(nullptr);
        plugin.object->Release();
    }
    plugins_.clear();
    selected_ = -1;
    if (site_ != nullptr) {
        site_->Detach();
        site_->Release();
        site_ = nullptr;
    }
}

void HomeScreen::Arrange(const RECT& client) {
    int top = client.top;
    for (Plugin& plugin : plugins_) {
        plugin.rect = RECT{client.left, top, client.right, top + plugin.height};
        top += plugin.height;
    }
}

void HomeScreen::Paint(HDC dc, const RECT& client) {
    HBRUSH brush = CreateSolidBrush(background_);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    for (size_t i = 0; i < plugins_.size(); ++i) {
        HOMEPLUGINEVENT event{};
        event.type = HPE_PAINT;
        event.paint.hdc = dc;
        event.paint.fSelected = static_cast<int>(i) == selected_;
        event.paint.rc = plugins_[i].rect;
        Send(plugins_[i], event);
    }
}

void HomeScreen::Send(const Plugin& plugin, HOMEPLUGINEVENT event) { plugin.object->OnEvent(&event); }

void HomeScreen::InvalidatePlugin(DWORD handle) {
    for (const Plugin& plugin : plugins_) {
        if (plugin.handle == handle) {
            InvalidateRect(Window(), &plugin.rect, FALSE);
        }
    }
}

// The next selectable plug-in in that direction, or `from` when there is none.
int HomeScreen::Step(int from, int direction) const {
    for (int i = from + direction; i >= 0 && i < static_cast<int>(plugins_.size()); i += direction) {
        if (plugins_[i].selectable) {
            return i;
        }
    }
    return from;
}

void HomeScreen::Select(int index) {
    if (index == selected_) {
        return;
    }
    selected_ = index;
    InvalidateRect(Window(), nullptr, FALSE);
}

void HomeScreen::OnKey(UINT key) {
    if (key == VK_UP || key == VK_DOWN) {
        Select(Step(selected_, key == VK_UP ? -1 : 1));
        return;
    }
    if (selected_ < 0) {
        return;
    }
    HOMEPLUGINEVENT event{};
    if (key == VK_RETURN) {
        event.type = HPE_ACTION;
    } else {
        event.type = HPE_KEY;
        event.key = static_cast<WORD>(key);
    }
    Send(plugins_[selected_], event);
}

// A tap selects the plug-in under it and acts on it, as its action key would.
void HomeScreen::OnTap(POINT point) {
    for (size_t i = 0; i < plugins_.size(); ++i) {
        if (plugins_[i].selectable && PtInRect(&plugins_[i].rect, point)) {
            Select(static_cast<int>(i));
            HOMEPLUGINEVENT event{};
            event.type = HPE_ACTION;
            Send(plugins_[i], event);
            return;
        }
    }
}

void HomeScreen::OnSettingChange(WPARAM) {
    Log("reload", "scheme", "settings changed");
    Reload();
    for (const Plugin& plugin : plugins_) {
        HOMEPLUGINEVENT event{};
        event.type = HPE_THEME;
        Send(plugin, event);
    }
}

void HomeScreen::OnPluginDataChange(const CLSID& clsid) {
    for (const Plugin& plugin : plugins_) {
        if (plugin.clsid == clsid) {
            HOMEPLUGINEVENT event{};
            event.type = HPE_RELOAD;
            Send(plugin, event);
            Log("refresh", ClassText(clsid), "ok");
        }
    }
}
