#include "UserInterface/IDlgImage.h"

namespace UserInterface {

IDlgImage* IDlgImage::Copy(const IDlgImage* image) {
    IDlgImage* copy = nullptr;
    if (image == nullptr || !image->Clone(&copy) || copy == nullptr) {
        return nullptr;
    }
    if (!copy->Assign(image)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

}  // namespace UserInterface
