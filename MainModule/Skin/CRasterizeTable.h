// The list of pictures to render once at installation ("rasterize.xml" in the install folder's Data\):
// packets of pictures, each for one sprite package on one kind of device, screen class and screen
// shape. The skin's pre-render operation renders the packets that fit the device into the packages'
// render caches.
//
//   <data>
//     <packet name="icons.pak" os="ppc|sp" scr_res="240" scr_orient="por|lan|sqr|lwr|pwr">
//       <img idx="5" width="44" height="44"/>
//       <range_imgs first="0" last="42" width="20" height="20"/>
//     </packet>
//   </data>
#pragma once

#include <string>
#include <vector>

#include "ce/xmldom.h"

class CSysInfo;

class CRasterizeTable {
public:
    enum Platform { kPocketPc = 0, kSmartphone = 1 };
    enum Orientation { kPortrait = 0, kLandscape = 1, kSquare = 2, kLandscapeWide = 3, kPortraitWide = 4 };
    // Larger files and ranges are refused rather than read into memory.
    static constexpr DWORD kMaxFileSize = 4 * 1024 * 1024;
    static constexpr int kMaxPicturesPerPacket = 10000;

    struct Picture {
        int index = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Picture&) const = default;
    };

    CRasterizeTable() = default;
    CRasterizeTable(const CRasterizeTable&) = delete;
    CRasterizeTable& operator=(const CRasterizeTable&) = delete;
    virtual ~CRasterizeTable() = default;

    // A UTF-8 file, with or without a byte-order mark. False when it cannot be read whole or parsed;
    // the table is then empty.
    bool LoadFromFile(LPCWSTR path);
    // False for a document without `data` or with a packet that lacks or spoils an attribute; the
    // table is then empty.
    bool LoadFromText(LPCWSTR text);

    int GetCount() const { return static_cast<int>(m_packets.size()); }
    // False for an index out of range; an output may be null.
    bool GetPacket(int index, std::u16string* name, int* platform, int* screenClass, int* orientation) const;
    bool GetPictures(int index, std::vector<Picture>* pictures) const;
    // Same device kind, same screen class, and an orientation code that fits the screen's shape:
    // "por" and "lan" on an ordinary screen, "sqr" on a square one, "lwr" and "pwr" on a tall one.
    bool FitsDevice(int index, const CSysInfo& device) const;

private:
    struct Packet {
        std::u16string name;
        int platform = 0;
        int orientation = 0;
        int screenClass = 0;
        std::vector<Picture> pictures;
    };

    static bool ReadPacket(IXMLDOMNode* element, Packet* packet);
    static bool ReadChild(IXMLDOMNode* child, Packet* packet);

    std::vector<Packet> m_packets;
};
