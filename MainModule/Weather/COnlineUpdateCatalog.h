// The catalog of program updates that the update server returns: its products in reply order.
//
//   <data>
//     <product version="2.1" url="http://host/path.cab" size="12345" is_update_paid="false">
//       <strings locale="English">
//         <name text="..."/> <description>...</description> <changes>...</changes> <conditions>...</conditions>
//       </strings>
//     </product>
//   </data>
//
// The three long texts are the element's content as markup, with "&lt;" and "&gt;" turned into the
// characters and any other entity dropped, so that escaped tags become real ones for the text view.
#pragma once

#include <string>
#include <vector>

#include "Weather/CProductInfo.h"
#include "ce/xmldom.h"

class COnlineUpdateCatalog {
public:
    COnlineUpdateCatalog() = default;
    COnlineUpdateCatalog(const COnlineUpdateCatalog&) = default;
    COnlineUpdateCatalog& operator=(const COnlineUpdateCatalog&) = default;
    virtual ~COnlineUpdateCatalog() = default;

    int GetCount() const { return static_cast<int>(m_products.size()); }
    // Null for a negative or too large index.
    const CProductInfo* GetProduct(int index) const;

    // Parses the text, replacing the list; false (and an empty list) when it is no valid catalog.
    bool Load(LPCWSTR text);
    // The reply's bytes: UTF-8 up to the first NUL, after a byte-order mark if there is one.
    bool LoadFromReply(const BYTE* bytes, DWORD size);

    // The content of an element's markup with its entities resolved as described above; false for a
    // markup without a start and an end tag.
    static bool ElementContent(std::u16string_view markup, std::u16string* content);

private:
    static bool ReadProduct(IXMLDOMNode* element, CProductInfo* product);
    static bool ReadStrings(IXMLDOMNode* element, CProductInfo* product);

    std::vector<CProductInfo> m_products;
};
