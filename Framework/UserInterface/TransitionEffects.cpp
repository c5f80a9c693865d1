// The process's transition effects, one object per kind.
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "UserInterface/CBlendEffect.h"
#include "UserInterface/CDivideInto4RectEffect.h"
#include "UserInterface/CPushLeftEffect.h"
#include "UserInterface/CPushRightEffect.h"
#include "UserInterface/CRestoreFrom4RectEffect.h"
#include "UserInterface/CRestoreFromPointEffect.h"
#include "UserInterface/CSqueezeToPointEffect.h"

namespace UserInterface {
namespace {

CGenericEffect* NewEffect(int kind) {
    switch (kind) {
    case 0: return new (std::nothrow) CPushLeftEffect();
    case 1: return new (std::nothrow) CPushRightEffect();
    case 2: return new (std::nothrow) CBlendEffect();
    case 3: return new (std::nothrow) CSqueezeToPointEffect();
    case 4: return new (std::nothrow) CRestoreFromPointEffect();
    case 5: return new (std::nothrow) CRestoreFrom4RectEffect();
    case 6: return new (std::nothrow) CDivideInto4RectEffect();
    default: return nullptr;
    }
}

}  // namespace

CGenericEffect* CreateTransitionEffect(int kind) {
    // Never destroyed: the effects outlive every dialog, and their bitmaps must not be released after
    // the drawing layer has gone at exit.
    static auto* effects = new std::map<int, std::unique_ptr<CGenericEffect>>();
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto found = effects->find(kind);
    if (found != effects->end()) {
        return found->second.get();
    }
    CGenericEffect* effect = NewEffect(kind);
    if (effect != nullptr) {
        effects->emplace(kind, effect);
    }
    return effect;
}

}  // namespace UserInterface
