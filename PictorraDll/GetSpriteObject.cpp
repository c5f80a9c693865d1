// The library's one export.
#include <new>

#include "CSpritePackage.h"

extern "C" CE_EXPORT CSpritePackage* GetSpriteObject() {
    return new (std::nothrow) CSpritePackage();
}
