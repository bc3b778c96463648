// tagvora-cli run as a user runs it: each command on files made for it, what
// it writes read back by mutagen (ID3v2) or the record reader (ID3v1), what
// it prints, its exit status, and every file it was not to change left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "id3v1/id3v1.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

namespace {

using namespace testing_mp3;

enum class Made { Tagged, Pictured, Plain, Record, ReadOnly, Folder, Hostile, Image };

void Make(const std::string& path, Made kind) {
    const Bytes tag =
        Tag(3, {Frame(3, "TIT2", Latin1Text("Old")), Frame(3, "TPE1", Latin1Text("Band"))});
    Bytes record(128, 0);
    std::copy_n("TAGOld", 6, record.begin());
    switch (kind) {
        case Made::Tagged:
        case Made::ReadOnly:
            WriteMp3(path, tag);
            break;
        case Made::Pictured:
            WriteMp3(path, Tag(4, {PngPicture(4, 3, Png(64, 1), "cover")}));
            break;
        case Made::Plain:
            WriteMp3(path);
            break;
        case Made::Record:
            WriteMp3(path, {}, 10, record);
            break;
        case Made::Folder:
            mkdir(path.c_str(), 0700);
            return;
        case Made::Hostile:  // a tag that claims to reach far past the file's end
            WriteMp3(path, Concat({TagHeader(3, 0x0FFFFFFF), Frame(3, "TIT2", Latin1Text("x"))}));
            break;
        case Made::Image:
            WriteFile(path, Png(64, 7));
            break;
    }
    if (kind == Made::ReadOnly) {
        chmod(path.c_str(), 0444);
    }
}

struct TRun {
    int status = -1;
    std::string out, err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

TRun RunCli(const TempDir& dir, const std::vector<std::string>& arguments) {
    std::string command = "cd " + Quoted(dir.Path()) + " && " + Quoted(TAGVORA_CLI);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " >.out 2>.err";
    TRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto text = [&](const char* name) {
        const Bytes bytes = ReadFile(dir.File(name));
        return std::string(bytes.begin(), bytes.end());
    };
    run.out = text(".out");
    run.err = text(".err");
    return run;
}

// A check of a file after the run, after the last blank: "a.mp3 TIT2=New" (the frame's text, or the
// field named after a dot: "APIC.type=3"), "a.mp3 TIT2!" (no such frame),
// "a.mp3 version=4", "a.mp3 v1=New" (the record's title), "x.mp3 exists".
void Check(const TempDir& dir, const std::string& check) {
    const size_t space = check.rfind(' ');
    const std::string path = dir.File(check.substr(0, space));
    const std::string what = check.substr(space + 1);
    SCOPED_TRACE(check);
    if (what == "exists") {
        EXPECT_EQ(access(path.c_str(), F_OK), 0);
        return;
    }
    if (what.starts_with("v1=")) {
        EXPECT_EQ(ReadV1Tag(path).Title, what.substr(3));
        return;
    }
    const MutagenTag tag = ReadWithMutagen(path);
    const size_t equals = what.find('=');
    const std::string key = what.substr(0, std::min(equals, what.find('!')));
    if (key == "version") {
        EXPECT_EQ(std::to_string(tag.version), what.substr(equals + 1));
        return;
    }
    const std::string id = key.substr(0, 4);
    const std::vector<std::string> ids = tag.Ids();
    const bool present = std::count(ids.begin(), ids.end(), id) != 0;
    if (equals == std::string::npos) {
        EXPECT_FALSE(present);
        return;
    }
    ASSERT_TRUE(present);
    const std::string field = key.size() > 5 ? key.substr(5) : "text";
    EXPECT_EQ(tag.Find(id).Field(field), what.substr(equals + 1));
}

struct CommandCase {
    const char* name;
    std::vector<std::pair<std::string, Made>> files;
    std::vector<std::string> arguments;
    int status;
    std::string out;                   // a fragment of standard output
    std::string err;                   // a fragment of standard error
    std::vector<std::string> changed;  // every other file stays byte for byte
    std::vector<std::string> checks;
};

// clang-format off
const std::vector<CommandCase> kCases = {
    {"show_lists_frames", {{"a.mp3", Made::Tagged}}, {"show", "a.mp3"}, 0, "TIT2 (Title), 4 bytes: Old", "", {}, {}},
    {"show_missing_file_fails_others_go_on", {{"a.mp3", Made::Tagged}}, {"show", "no.mp3", "a.mp3"}, 1, "a.mp3: ID3v2.3", "no.mp3: No such file", {}, {}},
    {"show_recursive_lists_subfolders", {{"d", Made::Folder}, {"d/e", Made::Folder}, {"d/e/a.mp3", Made::Tagged}}, {"show", "-r", "d"}, 0, "d/e/a.mp3: ID3v2.3", "", {}, {}},
    {"show_tells_audio", {{"a.mp3", Made::Tagged}}, {"show", "a.mp3"}, 0, "  audio: MPEG-1 Layer III, 44100 Hz", "", {}, {}},
    {"show_hostile_tag_reported", {{"h.mp3", Made::Hostile}, {"a.mp3", Made::Plain}}, {"show", "h.mp3", "a.mp3"}, 1, "a.mp3: no ID3v2 tag", "h.mp3: ", {}, {}},
    {"set_writes_fields_and_frames", {{"a.mp3", Made::Tagged}, {"b.mp3", Made::Plain}}, {"set", "a.mp3", "b.mp3", "title=New", "albumartist=VA", "TPOS=1/2", "txxx:CAT=X1"}, 0, "", "", {"a.mp3", "b.mp3"}, {"a.mp3 TIT2=New", "a.mp3 TPE1=Band", "b.mp3 TPE2=VA", "b.mp3 TPOS=1/2", "b.mp3 TXXX.desc=CAT", "b.mp3 TXXX=X1"}},
    {"set_added_fields_with_several_values", {{"b.mp3", Made::Plain}}, {"set", "b.mp3", "composer=A; B", "originalyear=1999", "user:CAT=X2"}, 0, "", "", {"b.mp3"}, {"b.mp3 TCOM=A/B", "b.mp3 TORY=1999", "b.mp3 TXXX=X2"}},
    {"set_bad_added_value_is_usage_error", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "title=New", "bpm=fast"}, 2, "", "the value of bpm: Give a whole number", {}, {}},
    {"set_user_text_without_description_is_usage_error", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "user:=x"}, 2, "", "unknown field user:", {}, {}},
    {"set_empty_value_removes", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "title=", "artist=Band"}, 0, "", "", {"a.mp3"}, {"a.mp3 TIT2!", "a.mp3 TPE1=Band"}},
    {"set_same_value_writes_nothing", {{"a.mp3", Made::Tagged}, {"b.mp3", Made::Plain}}, {"set", "a.mp3", "b.mp3", "composer=", "txxx:CAT="}, 0, "", "", {}, {}},
    {"set_stored_value_writes_nothing", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "title=Old", "TPE1=Band"}, 0, "", "", {}, {}},
    {"set_version_chooses_new_tags", {{"b.mp3", Made::Plain}}, {"set", "b.mp3", "year=2001", "--version", "2.4"}, 0, "", "", {"b.mp3"}, {"b.mp3 version=4", "b.mp3 TDRC=2001"}},
    {"set_record", {{"r.mp3", Made::Record}}, {"set", "--v1", "r.mp3", "title=New"}, 0, "", "", {"r.mp3"}, {"r.mp3 v1=New"}},
    {"set_bad_year_is_usage_error", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "title=New", "year=12x"}, 2, "", "a year is", {}, {}},
    {"set_unknown_field_is_usage_error", {{"a.mp3", Made::Tagged}}, {"set", "a.mp3", "titel=New"}, 2, "", "unknown field titel", {}, {}},
    {"set_frame_into_record_is_usage_error", {{"r.mp3", Made::Record}}, {"set", "--v1", "r.mp3", "disc=1"}, 2, "", "record holds no disc", {}, {}},
    {"set_refuses_read_only_others_go_on", {{"ro.mp3", Made::ReadOnly}, {"a.mp3", Made::Tagged}}, {"set", "ro.mp3", "a.mp3", "title=New"}, 1, "", "ro.mp3: the file is read-only", {"a.mp3"}, {"a.mp3 TIT2=New"}},
    {"set_refuses_folder_and_hostile_tag", {{"d.mp3", Made::Folder}, {"h.mp3", Made::Hostile}}, {"set", "d.mp3", "h.mp3", "title=New"}, 1, "", "d.mp3: is a folder", {}, {}},
    {"convert_to_version_4", {{"a.mp3", Made::Tagged}, {"b.mp3", Made::Plain}}, {"convert", "--to", "2.4", "a.mp3", "b.mp3"}, 0, "", "", {"a.mp3"}, {"a.mp3 version=4", "a.mp3 TIT2=Old"}},
    {"remove_tag", {{"a.mp3", Made::Tagged}, {"b.mp3", Made::Plain}}, {"remove", "--v2", "a.mp3", "b.mp3"}, 0, "", "", {"a.mp3"}, {"a.mp3 TIT2!"}},
    {"copy_tag_to_record", {{"a.mp3", Made::Tagged}}, {"copy", "--to", "v1", "a.mp3"}, 0, "", "", {"a.mp3"}, {"a.mp3 v1=Old", "a.mp3 TIT2=Old"}},
    {"copy_record_to_tag", {{"r.mp3", Made::Record}}, {"copy", "--to", "v2", "r.mp3"}, 0, "", "", {"r.mp3"}, {"r.mp3 TIT2=Old"}},
    {"picture_add", {{"a.mp3", Made::Tagged}, {"p.png", Made::Image}}, {"picture", "add", "a.mp3", "--type", "back", "p.png"}, 0, "", "", {"a.mp3"}, {"a.mp3 APIC.type=4", "a.mp3 TIT2=Old"}},
    {"picture_add_of_no_image_is_usage_error", {{"a.mp3", Made::Tagged}}, {"picture", "add", "a.mp3", "a.mp3"}, 2, "", "is no JPEG", {}, {}},
    {"picture_export_never_replaces", {{"a.mp3", Made::Pictured}, {"a.png", Made::Image}}, {"picture", "export", "a.mp3"}, 1, "", "never replaced", {}, {}},
    {"picture_remove_last_removes_tag", {{"a.mp3", Made::Pictured}}, {"picture", "remove", "a.mp3"}, 0, "", "", {"a.mp3"}, {"a.mp3 APIC!"}},
    {"from_names_previews", {{"07 - Song.mp3", Made::Tagged}}, {"from-names", "%{track} - %{title}", "07 - Song.mp3"}, 0, "%{title}=Song", "", {}, {}},
    {"from_names_applies", {{"07 - Song.mp3", Made::Tagged}, {"x.mp3", Made::Tagged}}, {"from-names", "--apply", "%{track} - %{title}", "07 - Song.mp3", "x.mp3"}, 1, "", "x.mp3: the name does not match", {"07 - Song.mp3"}, {"07 - Song.mp3 TIT2=Song", "07 - Song.mp3 TRCK=7"}},
    {"rename_previews", {{"a.mp3", Made::Tagged}}, {"rename", "%{artist} - %{title}", "a.mp3"}, 0, "a.mp3 -> Band - Old.mp3", "", {}, {}},
    {"rename_applies_and_refuses_empty_names", {{"a.mp3", Made::Tagged}, {"b.mp3", Made::Plain}}, {"rename", "--apply", "%{title}", "a.mp3", "b.mp3"}, 1, "a.mp3 -> Old.mp3", "b.mp3: ", {"a.mp3"}, {"Old.mp3 exists"}},
    {"rename_refuses_a_folder_in_the_pattern", {{"a.mp3", Made::Tagged}}, {"rename", "%{artist}/%{title}", "a.mp3"}, 2, "", "pattern", {}, {}},
};
// clang-format on

class CliCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CliCommand, WritesOnlyWhatChangesAndTells) {
    SKIP_WITHOUT_MUTAGEN();
    const CommandCase& c = GetParam();
    TempDir dir;
    StateFolder state;
    std::map<std::string, Bytes> before;
    for (const auto& [name, kind] : c.files) {
        Make(dir.File(name), kind);
        if (kind != Made::Folder) {
            before[name] = ReadFile(dir.File(name));
        }
    }
    const TRun run = RunCli(dir, c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    for (const auto& [name, bytes] : before) {
        if (std::count(c.changed.begin(), c.changed.end(), name) == 0) {
            EXPECT_EQ(ReadFile(dir.File(name)), bytes) << name << " changed";
        }
    }
    for (const std::string& check : c.checks) {
        Check(dir, check);
    }
    EXPECT_TRUE(state.NoJournalLeft());
}

INSTANTIATE_TEST_SUITE_P(Commands, CliCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The JSON Lines of show parse, with the documented keys and types, even for
// text with control characters and bytes that are no UTF-8.
TEST(CliJson, ShowPrintsOneValidObjectPerFile) {
    TempDir dir;
    const Bytes hostile = ToBytes("A\x1b[2J\"\\\x01\xC3\x28\xED\xA0\x80 end");
    WriteMp3(dir.File("a.mp3"), Tag(4, {Frame(4, "TIT2", Concat({{3}, hostile})),
                                        PngPicture(4, 3, Png(64, 1), "cover")}));
    WriteMp3(dir.File("b.mp3"));
    const TRun run = RunCli(dir, {"show", "--json", "a.mp3", "b.mp3"});
    ASSERT_EQ(run.status, 0) << run.err;
    WriteFile(dir.File("lines.json"), ToBytes(run.out));
    const std::string check =
        "import json,sys\n"
        "rows=[json.loads(l) for l in open(sys.argv[1],encoding='utf-8')]\n"
        "assert len(rows)==2\n"
        "keys=['file','kind','version','frames','pictures','v1','audio']\n"
        "assert all(list(r)==keys for r in rows), rows\n"
        "a,b=rows\n"
        "assert (a['kind'],a['version'],b['kind'],b['version'])==('id3v2','2.4','none',None)\n"
        "f=a['frames'][0]\n"
        "assert (f['id'],f['name'])==('TIT2','Title') and isinstance(f['size'],int)\n"
        "assert f['values'][0].startswith('A\\x1b[2J\"\\\\\\x01\\ufffd(')\n"
        "p=a['pictures'][0]\n"
        "assert (p['type'],p['mime'],p['description'],p['size'])==(3,'image/png','cover',64)\n"
        "assert (f['kind'],f['damaged'])==('text',True)\n"
        "assert b['frames']==[] and b['v1'] is None\n"
        "akeys=['version','layer','sample_rate','channels','bitrate_kbps','variable',"
        "'duration_ms','duration_exact','vbr_header','encoder','findings']\n"
        "assert all(list(r['audio'])==akeys for r in rows), rows\n"
        "assert (b['audio']['version'],b['audio']['variable'])==('MPEG-1',False)\n";
    WriteFile(dir.File("check.py"), ToBytes(check));
    EXPECT_EQ(
        std::system(
            ("/usr/bin/python3 " + dir.File("check.py") + " " + dir.File("lines.json")).c_str()),
        0)
        << run.out;
}

}  // namespace
