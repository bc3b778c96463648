// Window rules that need no widget: page arithmetic, the folder-name rule,
// the page label and caption texts, and reading whole numbers from tag texts.
#pragma once

#include <optional>
#include <string>

namespace page_logic {

constexpr int kRowsPerPage = 40;

// Number of pages for n files: n / 40 rounded up, at least 1.
int PageCount(int fileCount);
// Number of rows that page p shows (0 when the page lies past the list).
int RowsOnPage(int fileCount, int page);
// Index in the file list of row k on page p.
int FileIndex(int page, int row);
bool HasNextPage(int fileCount, int page);
bool HasPreviousPage(int page);
// "Page 2/3".
std::string PageLabel(int fileCount, int page);

// The part of the path after its last "/" or "\"; the final character never
// counts as that separator; empty when there is no other separator.
std::string FolderName(const std::string& path);

// "v1.4": the project version.
std::string VersionText();
// "Tagvora v1.4".
std::string TitleText();
// "Tagvora v1.4 - (/music)".
std::string Caption(const std::string& folderPath);

// The text as a whole number (optional sign, then digits only), or nothing
// when it is not one or does not fit an int.
std::optional<int> WholeNumber(const std::string& text);

}  // namespace page_logic
