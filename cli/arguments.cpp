// Parsing the command line: the command, its options and operands, every
// value checked (field names, numbers, versions, patterns) before a file is read.
#include "cli/arguments.h"

#include <QString>

#include <algorithm>
#include <map>

#include "cli/file_list.h"
#include "cli/picture_types.h"
#include "editor/model/tag_values.h"
#include "editor/naming/pattern.h"
#include "editor/version.h"
#include "id3v2/frames/unicode_text.h"

namespace cli {

namespace {

const std::map<std::string, Command> kCommands{{"show", Command::Show},
                                               {"set", Command::Set},
                                               {"picture", Command::Picture},
                                               {"remove", Command::Remove},
                                               {"convert", Command::Convert},
                                               {"copy", Command::Copy},
                                               {"from-names", Command::FromNames},
                                               {"rename", Command::Rename}};

// The options each command takes; those with a value name it after "=".
const std::map<Command, std::vector<std::string>> kOptions{
    {Command::Show, {"-r", "--recursive", "--json", "--no-audio"}},
    {Command::Set, {"--v1", "--version=", "--keep-mtime"}},
    {Command::Picture, {"--type=", "--version=", "--keep-mtime"}},
    {Command::Remove, {"--v1", "--v2", "--keep-mtime"}},
    {Command::Convert, {"--to=", "--keep-mtime"}},
    {Command::Copy, {"--to=", "--version=", "--keep-mtime"}},
    {Command::FromNames, {"--apply", "--version=", "--keep-mtime"}},
    {Command::Rename, {"--apply"}},
};

// An ID3v2 version as typed ("2.3", "2.4"); 0 for anything else.
int VersionNumber(const std::string& text) {
    return text == "2.3" ? 3 : text == "2.4" ? 4 : 0;
}

// An operand of `set` that stands for FIELD=VALUE: an "=" whose left side
// holds no "/" or "." (which a file name would), so "title=x" is a field and
// "./a=b.mp3" a file.
bool LooksLikeAssignment(const std::string& argument) {
    const size_t equals = argument.find('=');
    return equals != std::string::npos && equals > 0 && argument.find_first_of("/.") > equals;
}

class TParser {
  public:
    explicit TParser(const std::vector<std::string>& arguments) : arguments_(arguments) {}
    TParsed Parse();

  private:
    // Takes the option at `i` (and its value); "" when done, else the error.
    std::string TakeOption(size_t& i);
    std::string TakeOperands(std::vector<std::string> operands);
    std::string CheckCommand();

    const std::vector<std::string>& arguments_;
    TOptions options_;
    std::map<std::string, std::string> given_;  // option name to value
};

std::string TParser::TakeOption(size_t& i) {
    std::string name = arguments_[i];
    std::string value;
    bool hasValue = false;
    if (const size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
        hasValue = true;
    }
    const std::vector<std::string>& known = kOptions.at(options_.command);
    const bool takesValue = std::count(known.begin(), known.end(), name + "=") != 0;
    if (!takesValue && std::count(known.begin(), known.end(), name) == 0) {
        return "unknown option " + name;
    }
    if (takesValue && !hasValue) {
        if (i + 1 >= arguments_.size()) {
            return name + " needs a value";
        }
        value = arguments_[++i];
    } else if (!takesValue && hasValue) {
        return name + " takes no value";
    }
    if (given_.count(name) != 0) {
        return name + " given twice";
    }
    given_[name] = value;
    return {};
}

std::string TParser::CheckCommand() {
    const auto has = [&](const std::string& name) { return given_.count(name) != 0; };
    options_.recursive = has("-r") || has("--recursive");
    options_.json = has("--json");
    options_.audio = !has("--no-audio");
    options_.v1 = has("--v1");
    options_.v2 = has("--v2");
    options_.keepModificationTime = has("--keep-mtime");
    options_.apply = has("--apply");
    if (has("--version")) {
        options_.version = VersionNumber(given_["--version"]);
        if (options_.version == 0) {
            return "--version takes 2.3 or 2.4";
        }
        if (options_.v1) {
            return "--version chooses an ID3v2 version; it does not go with --v1";
        }
    }
    if (has("--type")) {
        options_.pictureType = PictureTypeOf(given_["--type"]);
        if (!options_.pictureType) {
            return "unknown picture type " + given_["--type"] + " (" + PictureTypeList() + ")";
        }
    }
    switch (options_.command) {
        case Command::Remove:
            if (options_.v1 == options_.v2) {
                return "remove takes one of --v1 and --v2";
            }
            break;
        case Command::Convert:
            options_.version = VersionNumber(given_["--to"]);
            if (options_.version == 0) {
                return "convert takes --to 2.3 or --to 2.4";
            }
            break;
        case Command::Copy: {
            const std::string& to = given_["--to"];
            if (to != "v1" && to != "v2") {
                return "copy takes --to v1 or --to v2";
            }
            options_.v1 = to == "v1";
            options_.v2 = to == "v2";
            break;
        }
        default:
            break;
    }
    return {};
}

std::string TParser::TakeOperands(std::vector<std::string> operands) {
    const Command command = options_.command;
    if (command == Command::Picture) {
        static const std::map<std::string, PictureAction> kActions{
            {"add", PictureAction::Add},
            {"export", PictureAction::Export},
            {"remove", PictureAction::Remove}};
        if (operands.empty() || kActions.count(operands.front()) == 0) {
            return "picture takes add, export or remove";
        }
        options_.pictureAction = kActions.at(operands.front());
        operands.erase(operands.begin());
        const bool imageLast = options_.pictureAction == PictureAction::Add ||
                               (options_.pictureAction == PictureAction::Export &&
                                operands.size() > 1 && !EndsWithMp3(operands.back()));
        if (imageLast && !operands.empty()) {
            options_.image = operands.back();
            operands.pop_back();
        }
        if (options_.pictureAction == PictureAction::Add && options_.image.empty()) {
            return "picture add needs an image after the files";
        }
        if (!options_.image.empty() && options_.pictureAction == PictureAction::Export &&
            operands.size() != 1) {
            return "picture export to a named image takes one file";
        }
    }
    if (command == Command::FromNames || command == Command::Rename) {
        if (operands.empty()) {
            return "a pattern is needed before the files";
        }
        options_.pattern = operands.front();
        operands.erase(operands.begin());
        const auto compiled = naming::Compile(
            QString::fromStdString(options_.pattern),
            command == Command::Rename ? naming::Direction::Format : naming::Direction::Parse);
        if (!compiled.pattern) {
            return "the pattern is not one: " + compiled.error.toStdString();
        }
    }
    options_.files = std::move(operands);
    if (options_.files.empty()) {
        return "no file given";
    }
    if (command == Command::Set && options_.assignments.empty()) {
        return "set needs at least one FIELD=VALUE";
    }
    return {};
}

TParsed TParser::Parse() {
    TParsed parsed;
    if (arguments_.empty()) {
        parsed.error = "no command given";
        return parsed;
    }
    const std::string& first = arguments_.front();
    if (first == "--help" || first == "-h" || first == "help") {
        parsed.output = UsageText();
        return parsed;
    }
    if (first == "--version") {
        parsed.output = std::string("tagvora-cli ") + tagvora::kVersion + "\n";
        return parsed;
    }
    if (kCommands.count(first) == 0) {
        parsed.error = "unknown command " + first;
        return parsed;
    }
    options_.command = kCommands.at(first);
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 1; i < arguments_.size(); ++i) {
        const std::string& argument = arguments_[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            parsed.error = TakeOption(i);
        } else if (!optionsEnded && options_.command == Command::Set &&
                   LooksLikeAssignment(argument)) {
            const size_t equals = argument.find('=');
            TAssignment assignment;
            assignment.field = argument.substr(0, equals);
            assignment.value = argument.substr(equals + 1);
            const auto target = ResolveField(assignment.field);
            if (!target) {
                parsed.error = "unknown field " + assignment.field + " (" + FieldNameList() +
                               ", a text frame such as TKEY, or TXXX:DESCRIPTION)";
            } else {
                assignment.target = *target;
                options_.assignments.push_back(std::move(assignment));
            }
        } else {
            operands.push_back(argument);
        }
        if (!parsed.error.empty()) {
            return parsed;
        }
    }
    parsed.error = CheckCommand();
    for (const TAssignment& assignment : options_.assignments) {
        if (parsed.error.empty()) {
            parsed.error = AssignmentProblem(assignment, options_.v1);
        }
    }
    if (parsed.error.empty()) {
        parsed.error = TakeOperands(std::move(operands));
    }
    if (parsed.error.empty()) {
        parsed.options = std::move(options_);
    }
    return parsed;
}

}  // namespace

std::string AssignmentProblem(const TAssignment& assignment, bool v1) {
    const std::string& value = assignment.value;
    if (!id3v2::Utf8CodePoints(value)) {
        return "the value of " + assignment.field + " is not valid UTF-8";
    }
    if (v1 && assignment.target.kind != TFieldTarget::Kind::RowValue) {
        return "an ID3v1 record holds no " + assignment.field;
    }
    if (assignment.target.kind != TFieldTarget::Kind::RowValue) {
        const std::string problem = FieldValueProblem(assignment.target, value);
        return problem.empty() ? "" : "the value of " + assignment.field + ": " + problem;
    }
    const int maxTrack = v1 ? tag_values::kMaxRecordTrack : tag_values::kMaxTrack;
    if (assignment.target.column == bulk::Column::Year && !tag_values::YearValid(value)) {
        return "a year is a number from 1 to " + std::to_string(tag_values::kMaxYear);
    }
    if (assignment.target.column == bulk::Column::Track &&
        !tag_values::TrackValid(value, maxTrack)) {
        return "a track is a number from 1 to " + std::to_string(maxTrack) +
               ", alone or with a total (3/12)";
    }
    return {};
}

TParsed ParseArguments(const std::vector<std::string>& arguments) {
    return TParser(arguments).Parse();
}

std::string UsageText() {
    return "Usage: tagvora-cli COMMAND [OPTIONS] FILE...\n"
           "\n"
           "  show FILE|DIR... [-r] [--json] [--no-audio]\n"
           "                                        the tags and audio of each file\n"
           "  set FILE... FIELD=VALUE... [--v1] [--version 2.3|2.4] [--keep-mtime]\n"
           "                                        an empty VALUE removes the field\n"
           "  picture add FILE... [--type TYPE] IMAGE\n"
           "  picture export FILE... [--type TYPE] [IMAGE]\n"
           "  picture remove FILE... [--type TYPE]\n"
           "  remove --v1|--v2 FILE...              removes the tag of that kind\n"
           "  convert --to 2.3|2.4 FILE...          converts ID3v2 tags to that version\n"
           "  copy --to v1|v2 FILE...               copies the values into the other kind\n"
           "  from-names PATTERN FILE... [--apply]  tags from file names\n"
           "  rename PATTERN FILE... [--apply]      file names from tags\n"
           "\n"
           "Fields: " +
           FieldNameList() +
           ", any text frame (TKEY=...), TXXX:DESCRIPTION=;\n"
           "several values of an added field separated by \"; \".\n"
           "Picture types: " +
           PictureTypeList() +
           " or 0-20.\n"
           "Patterns: %{artist} %{title} %{album} %{year} %{track} %{track:2} %{genre}\n"
           "%{comment} %{ignore}; folder names before \"/\" (from-names only).\n"
           "Without --apply, from-names and rename print what they would do and change "
           "nothing.\n"
           "Exit status: 0 all went well, 1 some file failed, 2 usage error (nothing "
           "written).\n"
           "See tagvora-cli(1).\n";
}

}  // namespace cli
