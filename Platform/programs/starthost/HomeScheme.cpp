#include "HomeScheme.h"

#include "ce/kernel.h"
#include "ce/registry.h"
#include "ce/xmldom.h"

namespace {

// A scheme is a few kilobytes; anything far larger is not one.
constexpr DWORD kMaxSchemeBytes = 1 << 20;

std::u16string ReadSchemePath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Home", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    WCHAR path[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof(path) - sizeof(WCHAR);
    LONG result = RegQueryValueExW(key, u"Scheme", nullptr, &type, reinterpret_cast<LPBYTE>(path), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    path[size / sizeof(WCHAR)] = 0;
    return path;
}

bool ReadWholeFile(const std::u16string& path, std::string* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const DWORD size = GetFileSize(file, nullptr);
    bool ok = size != INVALID_FILE_SIZE && size <= kMaxSchemeBytes;
    if (ok) {
        bytes->resize(size);
        DWORD read = 0;
        ok = size == 0 || (ReadFile(file, bytes->data(), size, &read, nullptr) && read == size);
    }
    CloseHandle(file);
    return ok;
}

std::u16string Attribute(IXMLDOMNode* node, const char16_t* name) {
    ce::ComRef<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.OutVoid()))) {
        return {};
    }
    ce::Bstr attributeName(name);
    VARIANT value;
    VariantInit(&value);
    std::u16string text;
    if (element->getAttribute(attributeName.Get(), &value) == S_OK && value.vt == VT_BSTR && value.bstrVal != nullptr) {
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return text;
}

// Each element of that name, in document order.
template <class Visit>
void ForEachElement(IXMLDOMDocument* document, const char16_t* tag, Visit visit) {
    ce::Bstr name(tag);
    ce::ComRef<IXMLDOMNodeList> list;
    LONG count = 0;
    if (FAILED(document->getElementsByTagName(name.Get(), list.Out())) || !list || FAILED(list->get_length(&count))) {
        return;
    }
    for (LONG i = 0; i < count; ++i) {
        ce::ComRef<IXMLDOMNode> node;
        if (list->get_item(i, node.Out()) == S_OK && node) {
            visit(node.Get());
        }
    }
}

}  // namespace

HomeScheme HomeScheme::ReadActive() {
    HomeScheme scheme;
    scheme.path_ = ReadSchemePath();
    if (scheme.path_.empty()) {
        scheme.problem_ = "no scheme is named";
        return scheme;
    }
    std::string text;
    if (!ReadWholeFile(scheme.path_, &text)) {
        scheme.problem_ = "the scheme file cannot be read";
    } else if (!scheme.Parse(text)) {
        scheme.problem_ = "the scheme file is not a scheme";
    }
    return scheme;
}

bool HomeScheme::Parse(const std::string& text) {
    plugins_.clear();
    background_.clear();
    ce::ComRef<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                document.OutVoid()))) {
        return false;
    }
    ce::Bstr xml(ce::FromUtf8(text).c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document->loadXML(xml.Get(), &loaded) != S_OK || loaded != VARIANT_TRUE) {
        return false;
    }
    ForEachElement(document.Get(), u"plugin", [this](IXMLDOMNode* node) {
        HomePluginEntry entry;
        if (FAILED(CLSIDFromString(Attribute(node, u"clsid").c_str(), &entry.clsid))) {
            return;  // a plug-in without a usable class cannot be made
        }
        entry.name = Attribute(node, u"name");
        ce::Bstr markup;
        if (SUCCEEDED(node->get_xml(markup.Out()))) {
            entry.xml = ce::ToUtf8(markup.View());
        }
        plugins_.push_back(std::move(entry));
    });
    ForEachElement(document.Get(), u"background", [this](IXMLDOMNode* node) {
        if (background_.empty()) {
            background_ = Attribute(node, u"bgcolor");
        }
    });
    return true;
}
