#include "com/BuiltinClasses.h"

#include "ce/xmldom.h"

namespace ce::detail {

IClassFactory* CreateBuiltinClassFactory(REFCLSID clsid) {
    if (clsid == CLSID_DOMDocument) {
        return NewDomDocumentFactory();
    }
    return nullptr;
}

}  // namespace ce::detail
