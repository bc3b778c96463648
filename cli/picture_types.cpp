// Picture type keywords made from the library's type names.
#include "cli/picture_types.h"

#include <cctype>

#include "id3v2/pictures.h"

namespace cli {

std::string PictureTypeKeyword(int type) {
    // Lower case, each run of other characters one "-"; " cover" dropped, so
    // "Front cover" is "front".
    std::string keyword;
    for (const char c : id3v2::PictureTypeName(static_cast<uint8_t>(type))) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            keyword += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!keyword.empty() && keyword.back() != '-') {
            keyword += '-';
        }
    }
    while (keyword.ends_with('-')) {
        keyword.pop_back();
    }
    if (keyword.ends_with("-cover")) {
        keyword.resize(keyword.size() - 6);
    }
    return keyword;
}

std::optional<int> PictureTypeOf(const std::string& text) {
    for (int type = 0; type < id3v2::kPictureTypeCount; ++type) {
        if (text == std::to_string(type) || text == PictureTypeKeyword(type)) {
            return type;
        }
    }
    return std::nullopt;
}

std::string PictureTypeList() {
    std::string list;
    for (int type = 0; type < id3v2::kPictureTypeCount; ++type) {
        list += type == 0 ? "" : ", ";
        list += PictureTypeKeyword(type);
    }
    return list;
}

}  // namespace cli
