// The pre-render list "rasterize.xml" as the program reads it after installation: loaded from the
// install folder's Data\, and every packet asked for its package, its pictures and whether it fits
// the device, as the skin's pre-render does before it renders anything.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CSysInfo.h"
#include "FuzzDevice.h"
#include "Skin/CRasterizeTable.h"
#include "ce/com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    static CSysInfo* const device = (fuzz::FuzzDevice::Get(), new CSysInfo(nullptr));
    fuzz::FuzzDevice::Get().Write("Program Files/Skyvane/Data/rasterize.xml", data, size);
    CRasterizeTable table;
    if (!table.LoadFromFile(u"\\Program Files\\Skyvane\\Data\\rasterize.xml")) {
        return 0;
    }
    for (int packet = 0; packet <= table.GetCount(); ++packet) {
        std::u16string name;
        int platform = 0;
        int screenClass = 0;
        int orientation = 0;
        std::vector<CRasterizeTable::Picture> pictures;
        table.GetPacket(packet, &name, &platform, &screenClass, &orientation);
        table.GetPictures(packet, &pictures);
        table.FitsDevice(packet, *device);
    }
    return 0;
}
