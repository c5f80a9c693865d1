#include "Skin/CRasterizeTable.h"

#include <limits>

#include "CFSFile.h"
#include "CSysInfo.h"
#include "Weather/XmlAttributes.h"
#include "ce/com.h"

namespace {

struct Keyword {
    LPCWSTR text;
    int value;
};
constexpr Keyword kPlatforms[] = {{u"ppc", CRasterizeTable::kPocketPc}, {u"sp", CRasterizeTable::kSmartphone}};
constexpr Keyword kOrientations[] = {{u"por", CRasterizeTable::kPortrait},
                                     {u"lan", CRasterizeTable::kLandscape},
                                     {u"sqr", CRasterizeTable::kSquare},
                                     {u"lwr", CRasterizeTable::kLandscapeWide},
                                     {u"pwr", CRasterizeTable::kPortraitWide}};

template <size_t N>
bool ReadKeyword(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, const Keyword (&keywords)[N], int* value) {
    const std::optional<std::u16string> text = GetXmlAttributeText(attributes, name);
    for (const Keyword& keyword : keywords) {
        if (text && _wcsicmp(text->c_str(), keyword.text) == 0) {
            *value = keyword.value;
            return true;
        }
    }
    return false;
}

// A whole decimal number from min up; anything else in the attribute makes it invalid.
bool ReadNumber(IXMLDOMNamedNodeMap* attributes, LPCWSTR name, int min, int* value) {
    const std::optional<std::u16string> text = GetXmlAttributeText(attributes, name);
    if (!text || text->empty() || text->size() > 10) {
        return false;
    }
    long long number = 0;
    size_t at = (*text)[0] == u'-' ? 1 : 0;
    if (at == text->size()) {
        return false;
    }
    for (; at < text->size(); ++at) {
        const char16_t c = (*text)[at];
        if (c < u'0' || c > u'9') {
            return false;
        }
        number = number * 10 + (c - u'0');
    }
    number = (*text)[0] == u'-' ? -number : number;
    if (number < min || number > std::numeric_limits<int>::max()) {
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

// The package is opened in the Data folder by this name: a path in it would reach elsewhere.
bool IsPlainFileName(const std::u16string& name) {
    return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/:") == std::u16string::npos;
}

ce::ComRef<IXMLDOMNamedNodeMap> AttributesOf(IXMLDOMNode* element) {
    ce::ComRef<IXMLDOMNamedNodeMap> attributes;
    element->get_attributes(attributes.Out());
    return attributes;
}

bool IsElementNamed(IXMLDOMNode* node, LPCWSTR name) {
    DOMNodeType type = NODE_INVALID;
    ce::Bstr nodeName;
    return node->get_nodeType(&type) == S_OK && type == NODE_ELEMENT && node->get_nodeName(nodeName.Out()) == S_OK &&
           nodeName.Get() != nullptr && _wcsicmp(nodeName.Get(), name) == 0;
}

// Calls visit for every child element of the node in order; false as soon as a visit fails.
template <class Visit>
bool ForEachChild(IXMLDOMNode* node, Visit visit) {
    ce::ComRef<IXMLDOMNodeList> children;
    LONG count = 0;
    if (node->get_childNodes(children.Out()) != S_OK || !children || children->get_length(&count) != S_OK) {
        return false;
    }
    for (LONG i = 0; i < count; ++i) {
        ce::ComRef<IXMLDOMNode> child;
        if (children->get_item(i, child.Out()) != S_OK || !child || !visit(child.Get())) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CRasterizeTable::LoadFromFile(LPCWSTR path) {
    m_packets.clear();
    CFSFile file;
    if (path == nullptr || !file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ)) {
        return false;
    }
    DWORD high = 0;
    const DWORD size = file.GetSize(&high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxFileSize) {
        return false;
    }
    std::string bytes(size, '\0');
    if (size > 0 && !file.ReadExact(bytes.data(), size)) {
        return false;
    }
    const size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const int length = static_cast<int>(bytes.size() - start);
    std::u16string text(static_cast<size_t>(length), u'\0');
    const int converted =
        length > 0 ? MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, length, text.data(), length) : 0;
    if (converted <= 0) {
        return false;
    }
    text.resize(static_cast<size_t>(converted));
    return LoadFromText(text.c_str());
}

bool CRasterizeTable::LoadFromText(LPCWSTR text) {
    m_packets.clear();
    ce::ComRef<IXMLDOMDocument> document;
    if (text == nullptr || FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                                   IID_IXMLDOMDocument, document.OutVoid()))) {
        return false;
    }
    ce::Bstr xml(text);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ce::ComRef<IXMLDOMNodeList> roots;
    ce::ComRef<IXMLDOMNode> root;
    ce::Bstr dataName(u"data");
    if (document->loadXML(xml.Get(), &loaded) != S_OK || loaded != VARIANT_TRUE ||
        document->getElementsByTagName(dataName.Get(), roots.Out()) != S_OK || !roots ||
        roots->get_item(0, root.Out()) != S_OK || !root) {
        return false;
    }
    std::vector<Packet> packets;
    const bool read = ForEachChild(root.Get(), [&packets](IXMLDOMNode* child) {
        if (!IsElementNamed(child, u"packet")) {
            return true;
        }
        Packet packet;
        if (!ReadPacket(child, &packet)) {
            return false;
        }
        packets.push_back(std::move(packet));
        return true;
    });
    if (read) {
        m_packets = std::move(packets);
    }
    return read;
}

bool CRasterizeTable::ReadPacket(IXMLDOMNode* element, Packet* packet) {
    ce::ComRef<IXMLDOMNamedNodeMap> attributes = AttributesOf(element);
    if (!attributes) {
        return false;
    }
    const std::optional<std::u16string> name = GetXmlAttributeText(attributes.Get(), u"name");
    if (!name || !IsPlainFileName(*name) || !ReadKeyword(attributes.Get(), u"os", kPlatforms, &packet->platform) ||
        !ReadNumber(attributes.Get(), u"scr_res", 1, &packet->screenClass) ||
        !ReadKeyword(attributes.Get(), u"scr_orient", kOrientations, &packet->orientation)) {
        return false;
    }
    packet->name = *name;
    return ForEachChild(element, [packet](IXMLDOMNode* child) { return ReadChild(child, packet); });
}

bool CRasterizeTable::ReadChild(IXMLDOMNode* child, Packet* packet) {
    const bool single = IsElementNamed(child, u"img");
    if (!single && !IsElementNamed(child, u"range_imgs")) {
        return true;
    }
    ce::ComRef<IXMLDOMNamedNodeMap> attributes = AttributesOf(child);
    int first = 0;
    int last = 0;
    int width = 0;
    int height = 0;
    if (!attributes || !ReadNumber(attributes.Get(), single ? u"idx" : u"first", 0, &first) ||
        (!single && !ReadNumber(attributes.Get(), u"last", 0, &last)) ||
        !ReadNumber(attributes.Get(), u"width", 1, &width) || !ReadNumber(attributes.Get(), u"height", 1, &height)) {
        return false;
    }
    if (single) {
        last = first;
    }
    if (last >= first && static_cast<long long>(last) - first + 1 + static_cast<long long>(packet->pictures.size()) >
                             kMaxPicturesPerPacket) {
        return false;
    }
    for (int index = first; index <= last; ++index) {
        packet->pictures.push_back(Picture{index, width, height});
    }
    return true;
}

bool CRasterizeTable::GetPacket(int index, std::u16string* name, int* platform, int* screenClass,
                                int* orientation) const {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    const Packet& packet = m_packets[static_cast<size_t>(index)];
    if (name != nullptr) {
        *name = packet.name;
    }
    if (platform != nullptr) {
        *platform = packet.platform;
    }
    if (screenClass != nullptr) {
        *screenClass = packet.screenClass;
    }
    if (orientation != nullptr) {
        *orientation = packet.orientation;
    }
    return true;
}

bool CRasterizeTable::GetPictures(int index, std::vector<Picture>* pictures) const {
    if (index < 0 || index >= GetCount() || pictures == nullptr) {
        return false;
    }
    *pictures = m_packets[static_cast<size_t>(index)].pictures;
    return true;
}

bool CRasterizeTable::FitsDevice(int index, const CSysInfo& device) const {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    const Packet& packet = m_packets[static_cast<size_t>(index)];
    if (packet.platform != (device.IsSmartphone() ? kSmartphone : kPocketPc) ||
        packet.screenClass != device.GetScreenClass()) {
        return false;
    }
    switch (packet.orientation) {
        case kPortrait:
        case kLandscape: return !device.IsSquareScreen() && !device.IsTallAspect();
        case kSquare: return device.IsSquareScreen();
        case kLandscapeWide:
        case kPortraitWide: return device.IsTallAspect() && !device.IsSquareScreen();
        default: return false;
    }
}
