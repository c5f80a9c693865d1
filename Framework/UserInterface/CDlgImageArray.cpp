#include "UserInterface/CDlgImageArray.h"

namespace UserInterface {

CDlgImageArray::~CDlgImageArray() = default;

BOOL CDlgImageArray::AddImage(const IDlgImage* image) {
    std::unique_ptr<IDlgImage> copy(IDlgImage::Copy(image));
    if (copy == nullptr) {
        return FALSE;
    }
    m_images.push_back(std::move(copy));
    return TRUE;
}

const IDlgImage* CDlgImageArray::At(int index) const {
    return index >= 0 && index < GetCount() ? m_images[static_cast<size_t>(index)].get() : nullptr;
}

BOOL CDlgImageArray::GetImage(int index, IDlgImage** image) const {
    if (image == nullptr) {
        return FALSE;
    }
    *image = IDlgImage::Copy(At(index));
    return *image != nullptr;
}

BOOL CDlgImageArray::GetImageSize(int index, SIZE* size) const {
    const IDlgImage* image = At(index);
    return image != nullptr && size != nullptr && image->GetSize(size);
}

void CDlgImageArray::Clear() { m_images.clear(); }

BOOL CDlgImageArray::CopyFrom(const CDlgImageArray* other) {
    if (other == this) {
        return TRUE;
    }
    Clear();
    BOOL copied = TRUE;
    for (int i = 0; other != nullptr && i < other->GetCount(); ++i) {
        copied = AddImage(other->At(i)) && copied;
    }
    return copied;
}

}  // namespace UserInterface
