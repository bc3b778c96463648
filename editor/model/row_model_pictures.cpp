// The pictures of the page's rows: as the file holds them, as the row shows
// them, and the user's edits of them.
#include <algorithm>

#include "editor/model/row_model.h"

namespace rows {

void TRowModel::LoadPictures(int k, const std::vector<TPictureInfo>& infos) {
    Row& row = rows_[Index(k)];
    row.loadedPictures.clear();
    for (size_t i = 0; i < infos.size(); ++i) {
        row.loadedPictures.push_back({infos[i], static_cast<uint32_t>(i + 1), nullptr});
    }
    row.shownPictures = row.loadedPictures;
    row.picturesLoad = ++pictureLoads_;
}

void TRowModel::SetPictures(int k, Pictures pictures) {
    Row& row = rows_[Index(k)];
    // A tag removed or changed meanwhile no longer holds what a number named.
    const auto held = [&row](const RowPicture& p) {
        if (p.stored == 0 || p.stored > row.loadedPictures.size()) {
            return false;
        }
        const TPictureInfo& now = row.loadedPictures[p.stored - 1].info;
        return p.bytes != nullptr ||
               (now.Readable == p.info.Readable && now.PictureType == p.info.PictureType &&
                now.Description == p.info.Description && now.MimeType == p.info.MimeType &&
                now.Size == p.info.Size);
    };
    row.shownPictures.clear();
    for (RowPicture& picture : pictures) {
        if (held(picture)) {
            row.shownPictures.push_back(std::move(picture));
        } else if (picture.bytes != nullptr) {
            picture.stored = 0;  // added anew; one of the file's own is gone with the tag
            row.shownPictures.push_back(std::move(picture));
        }
    }
}

size_t TRowModel::AddPicture(int k, std::shared_ptr<const std::vector<uint8_t>> bytes, uint8_t type,
                             std::string description) {
    Pictures& pictures = rows_[Index(k)].shownPictures;
    RowPicture added;
    const std::string_view mime = id3v2::ImageMimeType(*bytes);
    added.info.Readable = true;
    added.info.MimeType = std::string(mime);
    added.info.PictureType = type;
    added.info.Size = bytes->size();
    added.info.Description = std::move(description);
    added.bytes = std::move(bytes);
    const auto same = std::find_if(pictures.begin(), pictures.end(), [type](const RowPicture& p) {
        return p.info.Readable && p.info.PictureType == type;
    });
    if (same == pictures.end()) {
        pictures.push_back(std::move(added));
        return pictures.size() - 1;
    }
    // Replaced in its place: the file keeps the picture's frame where it stood,
    // but nothing of the old picture is carried over to the new one.
    added.stored = same->stored;
    *same = std::move(added);
    return static_cast<size_t>(same - pictures.begin());
}

void TRowModel::RemovePicture(int k, size_t index) {
    Pictures& pictures = rows_[Index(k)].shownPictures;
    if (index < pictures.size()) {
        pictures.erase(pictures.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

void TRowModel::RemoveAllPictures(int k) {
    rows_[Index(k)].shownPictures.clear();
}

bool TRowModel::HasPicture(int k, uint8_t type) const {
    const Pictures& pictures = rows_[Index(k)].shownPictures;
    return std::any_of(pictures.begin(), pictures.end(), [type](const RowPicture& p) {
        return p.info.Readable && p.info.PictureType == type;
    });
}

bool TRowModel::PicturesChanged(int k) const {
    const Row& row = rows_[Index(k)];
    return row.shownPictures != row.loadedPictures;
}

}  // namespace rows
