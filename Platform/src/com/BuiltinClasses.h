// The classes that the layer itself serves, without a registered in-process server.
#pragma once

#include "ce/com.h"

namespace ce::detail {

// The class factory of a built-in class (one new reference), or null when the class is not built in.
IClassFactory* CreateBuiltinClassFactory(REFCLSID clsid);

// Served by the XML DOM area.
IClassFactory* NewDomDocumentFactory();

// Served by the imaging area.
IClassFactory* NewImagingFactoryClass();

}  // namespace ce::detail
