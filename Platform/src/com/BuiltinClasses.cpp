#include "com/BuiltinClasses.h"

#include "ce/imaging.h"
#include "ce/xmldom.h"

namespace ce::detail {

IClassFactory* CreateBuiltinClassFactory(REFCLSID clsid) {
    if (clsid == CLSID_DOMDocument) {
        return NewDomDocumentFactory();
    }
    if (clsid == CLSID_ImagingFactory) {
        return NewImagingFactoryClass();
    }
    return nullptr;
}

}  // namespace ce::detail
