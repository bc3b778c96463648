// Window rules that need no widget.
#include "editor/model/page_logic.h"

#include <charconv>

#include "editor/version.h"

namespace page_logic {

int PageCount(int fileCount) {
    const int pages = (fileCount + kRowsPerPage - 1) / kRowsPerPage;
    return pages < 1 ? 1 : pages;
}

int RowsOnPage(int fileCount, int page) {
    const int rows = fileCount - page * kRowsPerPage;
    if (rows < 0) {
        return 0;
    }
    return rows > kRowsPerPage ? kRowsPerPage : rows;
}

int FileIndex(int page, int row) {
    return page * kRowsPerPage + row;
}

bool HasNextPage(int fileCount, int page) {
    return page * kRowsPerPage + kRowsPerPage < fileCount;
}

bool HasPreviousPage(int page) {
    return page > 0;
}

std::string PageLabel(int fileCount, int page) {
    return "Page " + std::to_string(page + 1) + "/" + std::to_string(PageCount(fileCount));
}

std::string FolderName(const std::string& path) {
    if (path.size() < 2) {
        return {};
    }
    const size_t separator = path.find_last_of("/\\", path.size() - 2);
    if (separator == std::string::npos) {
        return {};
    }
    return path.substr(separator + 1);
}

std::string VersionText() {
    return std::string("v") + tagvora::kVersion;
}

std::string TitleText() {
    return "Tagvora " + VersionText();
}

std::string Caption(const std::string& folderPath) {
    return TitleText() + " - (" + folderPath + ")";
}

std::optional<int> WholeNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '-' || *first == '+')) {
            return std::nullopt;
        }
    }
    if (first == last) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace page_logic
