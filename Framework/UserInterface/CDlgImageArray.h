// An owning list of pictures: every image put in, and every image handed out, is a private copy made
// by the image's own kind.
#pragma once

#include <memory>
#include <vector>

#include "UserInterface/IDlgImage.h"

namespace UserInterface {

class CDlgImageArray {
public:
    CDlgImageArray() = default;
    CDlgImageArray(const CDlgImageArray&) = delete;
    CDlgImageArray& operator=(const CDlgImageArray&) = delete;
    virtual ~CDlgImageArray();

    int GetCount() const { return static_cast<int>(m_images.size()); }
    // Appends a copy; 0 for a null image or when the copy cannot be made.
    BOOL AddImage(const IDlgImage* image);
    // A new copy of the image at the index for the caller to delete; 0 and null for a bad index.
    BOOL GetImage(int index, IDlgImage** image) const;
    BOOL GetImageSize(int index, SIZE* size) const;
    // The image itself, for drawing in place; null for a bad index.
    const IDlgImage* At(int index) const;
    void Clear();
    // Replaces the images with copies of the other list's, in order; false when one could not be copied.
    BOOL CopyFrom(const CDlgImageArray* other);

private:
    std::vector<std::unique_ptr<IDlgImage>> m_images;
};

}  // namespace UserInterface
