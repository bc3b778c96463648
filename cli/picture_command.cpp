// picture add, export and remove: pictures changed through the row model and
// the row codec as the window's cover pane changes them; exports never
// replace a file.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/json.h"
#include "cli/tag_io.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using Bytes = std::vector<uint8_t>;

// The largest image taken in: far beyond any cover, far below what a tag holds.
constexpr size_t kMaxImageBytes = 64 * 1024 * 1024;

// Reads the image to add; "" when it is one the library knows.
std::string ReadImage(const std::string& path, Bytes& bytes) {
    if (std::string problem = ReadProblem(path); !problem.empty()) {
        return problem;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        return "cannot be read";
    }
    if (bytes.size() > kMaxImageBytes) {
        return "is larger than 64 MB";
    }
    if (id3v2::ImageMimeType(bytes).empty()) {
        return "is no JPEG, PNG, GIF, WebP or BMP image";
    }
    return {};
}

// The type a picture command works on when none is given: the front cover.
uint8_t WantedType(const TOptions& options) {
    return static_cast<uint8_t>(options.pictureType.value_or(id3v2::kPictureFrontCover));
}

// True when the file already holds these bytes as a picture of the type.
bool HoldsPicture(const std::string& path, uint8_t type, const Bytes& bytes,
                  const std::vector<TPictureInfo>& listed) {
    const bool candidate = std::any_of(listed.begin(), listed.end(), [&](const TPictureInfo& p) {
        return p.Readable && p.PictureType == type && p.Size == bytes.size();
    });
    Tid3v2tag whole;
    if (!candidate || !id3v2::Succeeded(whole.LoadFromFile(path, 0))) {
        return false;
    }
    const std::vector<TPictureInfo> pictures = whole.ListPictures();
    for (uint32_t number = 1; number <= pictures.size(); ++number) {
        TPicture picture;
        if (pictures[number - 1].PictureType == type &&
            whole.GetPicture(number, picture) == id3v2::kPictureDone && picture.Data == bytes) {
            return true;
        }
    }
    return false;
}

// Saves row kRow's pictures into the file when they changed.
void WritePictures(const std::string& path, Tid3v2tag& tag, const rows::TRowModel& rows,
                   const TOptions& options, TReport& report) {
    if (!rows.PicturesChanged(kRow) || !Writable(path, report)) {
        return;
    }
    if (const uint16_t saved = row_codec::WriteV2(tag, path, rows, kRow, SaveVersions(options));
        saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
    }
}

void AddPicture(const std::string& path, const std::shared_ptr<const Bytes>& image,
                const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    rows::TRowModel rows;
    if (const std::string problem = LoadV2Row(tag, path, rows); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    const uint8_t type = WantedType(options);
    if (HoldsPicture(path, type, *image, tag.ListPictures())) {
        return;
    }
    rows.AddPicture(kRow, image, type);
    WritePictures(path, tag, rows, options, report);
}

void RemovePictures(const std::string& path, const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    rows::TRowModel rows;
    if (const std::string problem = LoadV2Row(tag, path, rows); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    if (!options.pictureType) {
        rows.RemoveAllPictures(kRow);
    }
    // From the last, so that the indices of those still to go stay valid.
    for (size_t i = rows.ShownPictures(kRow).size(); options.pictureType && i-- > 0;) {
        if (rows.ShownPictures(kRow)[i].info.PictureType == *options.pictureType) {
            rows.RemovePicture(kRow, i);
        }
    }
    WritePictures(path, tag, rows, options, report);
}

std::string Extension(const std::string& mime) {
    const std::string_view kinds[][2] = {{"image/jpeg", "jpg"},
                                         {"image/png", "png"},
                                         {"image/gif", "gif"},
                                         {"image/webp", "webp"},
                                         {"image/bmp", "bmp"}};
    for (const auto& kind : kinds) {
        if (mime == kind[0]) {
            return std::string(kind[1]);
        }
    }
    return "bin";
}

// Where a picture goes: the named image, or beside the MP3 file with the
// file's name and the image's extension.
std::string ExportPath(const std::string& path, const TPicture& picture, const TOptions& options) {
    if (!options.image.empty()) {
        return options.image;
    }
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? path.substr(0, dot)
                                 : path;
    return stem + "." + Extension(picture.MimeType);
}

// The picture to export: the first of the type asked for, else (no type
// given) the front cover or the first picture. 0 when none.
uint32_t PictureToExport(const std::vector<TPictureInfo>& pictures, const TOptions& options) {
    const auto first = [&](uint8_t type) -> uint32_t {
        for (uint32_t number = 1; number <= pictures.size(); ++number) {
            if (pictures[number - 1].PictureType == type) {
                return number;
            }
        }
        return 0;
    };
    if (options.pictureType) {
        return first(static_cast<uint8_t>(*options.pictureType));
    }
    const uint32_t front = first(id3v2::kPictureFrontCover);
    return front != 0 || pictures.empty() ? front : 1;
}

void ExportPicture(const std::string& path, const TOptions& options, std::ostream& out,
                   TReport& report) {
    Tid3v2tag tag;
    const uint16_t loaded = tag.LoadFromFile(path, 0);
    if (!id3v2::Succeeded(loaded) && !id3v2::FoundNoTag(loaded)) {
        report.Fail(path, LoadFailure(loaded, path));
        return;
    }
    const uint32_t number = PictureToExport(tag.ListPictures(), options);
    TPicture picture;
    if (number == 0) {
        report.Fail(path, "holds no such picture");
        return;
    }
    if (tag.GetPicture(number, picture) != id3v2::kPictureDone) {
        report.Fail(path, "its picture cannot be read");
        return;
    }
    const std::string target = ExportPath(path, picture, options);
    try {
        platform::File file(target, platform::File::Mode::CreateNew);
        file.Write(picture.Data.data(), picture.Data.size());
    } catch (const platform::IoError& error) {
        report.Fail(path, std::string(error.what()) + " (an existing file is never replaced)");
        return;
    }
    out << PrintableText(path) << ": " << PrintableText(target) << '\n';
}

}  // namespace

int RunPicture(const TOptions& options, std::ostream& out, TReport& report) {
    std::shared_ptr<const Bytes> image;
    if (options.pictureAction == PictureAction::Add) {
        Bytes bytes;
        if (const std::string problem = ReadImage(options.image, bytes); !problem.empty()) {
            // Checked before any file is touched: a usage error.
            report.Fail(options.image, problem);
            return kExitUsage;
        }
        image = std::make_shared<const Bytes>(std::move(bytes));
    }
    ForEachReadableFile(options.files, report, [&](const std::string& path) {
        switch (options.pictureAction) {
            case PictureAction::Add:
                return AddPicture(path, image, options, report);
            case PictureAction::Remove:
                return RemovePictures(path, options, report);
            case PictureAction::Export:
                return ExportPicture(path, options, out, report);
        }
    });
    return report.ExitCode();
}

}  // namespace cli
