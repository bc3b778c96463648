// The command line of tagvora-cli parsed and checked in full before any file
// is touched: a usage error leaves every file as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/field_names.h"

namespace cli {

enum class Command { Show, Set, Picture, Remove, Convert, Copy, FromNames, Rename };
enum class PictureAction { Add, Export, Remove };

// FIELD=VALUE of `set`; an empty value removes the field.
struct TAssignment {
    std::string field;  // as given, for messages
    TFieldTarget target;
    std::string value;
};

struct TOptions {
    Command command = Command::Show;
    std::vector<std::string> files;
    bool recursive = false;  // show -r
    bool json = false;       // show --json
    bool audio = true;       // show: the audio properties; false with --no-audio
    bool v1 = false;         // set --v1, remove --v1, copy --to v1
    bool v2 = false;         // remove --v2, copy --to v2
    bool keepModificationTime = false;
    bool apply = false;  // from-names, rename
    int version = 0;     // set --version, convert --to: 3 or 4; 0 when not given
    std::vector<TAssignment> assignments;
    PictureAction pictureAction = PictureAction::Add;
    std::optional<int> pictureType;  // --type
    std::string image;               // picture add: the image; export: where to (optional)
    std::string pattern;             // from-names, rename
};

struct TParsed {
    std::optional<TOptions> options;  // none on a usage error or for --help/--version
    std::string error;                // the usage error; "" for --help or --version
    std::string output;               // what --help or --version print
};

// `arguments` without the program name.
TParsed ParseArguments(const std::vector<std::string>& arguments);

// Why the assignment cannot be written (a value that is not UTF-8, a year or
// track that is no such number, a frame an ID3v1 record lacks), or "".
std::string AssignmentProblem(const TAssignment& assignment, bool v1);

std::string UsageText();

}  // namespace cli
