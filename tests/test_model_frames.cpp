// Every frame of a tag seen and edited: frame views decoded from hostile
// bytes, frame edits carried by a row and saved so that peers read them back
// and untouched frames stay byte for byte, and several values per field.
#include <gtest/gtest.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <chrono>
#include <memory>

#include "editor/frames/frame_encoding.h"
#include "editor/frames/frame_view.h"
#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "editor/naming/pattern.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

using frames::FrameKind;
using frames::TFrameView;
using testing_mp3::Bytes;
using Strings = std::vector<std::string>;

namespace {

const Bytes kPrivate = testing_mp3::Concat({testing_mp3::ToBytes("owner"), {0, 1, 0xFF, 0}});

// A file whose tag holds a title and a private frame, loaded into row 0.
struct LoadedFile {
    explicit LoadedFile(uint8_t version, std::vector<Bytes> more = {}) {
        more.insert(more.begin(),
                    {testing_mp3::Frame(version, "TIT2", testing_mp3::Latin1Text("T")),
                     testing_mp3::Frame(version, "PRIV", kPrivate)});
        testing_mp3::WriteMp3(path, testing_mp3::Tag(version, more, 64));
        Load();
    }
    void Load() {
        const row_codec::TLoadedRow row = row_codec::FromV2(row_codec::ReadV2(
            tag, path, code_page::TCodePage(), {*frames::ColumnOfKey("composer")}));
        model.SetKind(2);
        model.LoadRow(0, row.values, row.unshown, row.untagged);
        model.NoteStoredForm(0, row.legacy, row.version);
        model.LoadAddedValues(0, row.added);
    }
    uint16_t Save() { return row_codec::WriteV2(tag, path, model, 0); }

    testing_mp3::TempDir dir;
    std::string path = dir.File("a.mp3");
    Tid3v2tag tag;
    rows::TRowModel model;
};

std::shared_ptr<const Bytes> Shared(Bytes bytes) {
    return std::make_shared<const Bytes>(std::move(bytes));
}

// What TagLib reads of the first frame `id`: its texts (a user text frame's
// after its description), a comment's or lyrics' text, a URL.
Strings TaglibValues(const std::string& path, const std::string& id) {
    TagLib::MPEG::File file(path.c_str());
    const TagLib::ID3v2::FrameList& list = file.ID3v2Tag()->frameListMap()[id.c_str()];
    if (list.isEmpty()) {
        return {};
    }
    TagLib::StringList texts;
    if (const auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(list.front())) {
        texts = text->fieldList();
        if (id == "TXXX") {
            texts.erase(texts.begin());
        }
    } else if (const auto* url = dynamic_cast<TagLib::ID3v2::UrlLinkFrame*>(list.front())) {
        texts.append(url->url());
    } else {
        texts.append(list.front()->toString());
    }
    Strings values;
    for (const TagLib::String& text : texts) {
        values.push_back(text.to8Bit(true));
    }
    return values;
}

// The texts mutagen reads of the first frame `id`.
Strings MutagenValues(const std::string& path, const std::string& id) {
    const testing_mp3::MutagenTag tag = testing_mp3::ReadWithMutagen(path);
    const testing_mp3::MutagenFrame& frame = tag.Find(id);
    const auto found = frame.fields.find(id.starts_with('W') ? "url" : "text");
    return found == frame.fields.end() ? Strings{} : found->second;
}

TFrameView Edited(const std::string& id, Strings values, std::string description = {},
                  std::string language = {}) {
    TFrameView view;
    view.id = id;
    view.kind = frames::FrameType(id).kind;
    view.values = std::move(values);
    view.description = std::move(description);
    view.language = std::move(language);
    return view;
}

}  // namespace

TEST(FrameEdits, EachKindAddedOrChangedIsReadBackByUsAndByPeers) {
    SKIP_WITHOUT_MUTAGEN();
    const struct {
        TFrameView view;
        uint8_t version;
        Strings peers;  // what mutagen and TagLib read; empty: the view's values
    } cases[] = {
        {Edited("TPE2", {"Zoë Album"}), 3, {}},
        {Edited("TPE2", {"Zoë Album"}), 4, {}},
        {Edited("TPOS", {"2/3"}), 3, {}},
        {Edited("TBPM", {"120"}), 4, {}},
        {Edited("TDRC", {"2019-05-01"}), 4, {}},
        {Edited("TCOM", {"Ann", "Bob"}), 4, {}},
        {Edited("TCOM", {"Ann", "Bob"}), 3, {"Ann/Bob"}},
        {Edited("TXXX", {"ABC-1"}, "CATALOGNUMBER"), 3, {}},
        {Edited("TXXX", {"x", "y"}, "MOOD"), 4, {}},
        {Edited("COMM", {"Привет"}, "note", "rus"), 3, {}},
        {Edited("USLT", {"line one\nline two"}, "", "eng"), 4, {}},
        {Edited("USLT", {"one", "two"}, "", "eng"), 3, {"one\ntwo"}},
        {Edited("WOAR", {"http://example.org/a"}), 3, {}},
        {Edited("WXXX", {"http://shop.example/"}, "shop"), 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view.id + " v" + std::to_string(c.version));
        for (const bool replace : {false, true}) {
            // Replacing changes a frame of the id stored first; adding puts a new one last.
            const Bytes first = frames::EncodeFrame(Edited(c.view.id, {"2000"}), c.version).data;
            LoadedFile file(c.version, {testing_mp3::Frame(c.version, c.view.id, first)});
            const frames::TEncodedFrame encoded = frames::EncodeFrame(c.view, c.version);
            ASSERT_EQ(encoded.problem, "");
            ASSERT_TRUE(replace ? file.model.ChangeFrame(0, 3, c.view.id, Shared(encoded.data))
                                : file.model.AddFrame(0, c.view.id, Shared(encoded.data)));
            EXPECT_TRUE((file.model.ChangedFields(0) & rows::kFramesChanged) != 0);
            ASSERT_EQ(file.Save(), 0);
            file.model.MarkSaved(0);
            EXPECT_FALSE(file.model.Unsaved(0));
            ASSERT_TRUE(id3v2::Succeeded(file.tag.LoadFromFile(file.path, 0)));
            ASSERT_EQ(file.tag.Frames.FrameCount(), replace ? 3u : 4u);
            EXPECT_EQ(file.tag.Frames.Data(2), kPrivate);
            const TFrameView back = frames::ViewFrame(file.tag.Frames, replace ? 3 : 4, c.version);
            EXPECT_EQ(back.description, c.view.description);
            if (c.version == 4 || !frames::JoinsWithSlash(c.view.id)) {
                EXPECT_EQ(back.values, c.peers.empty() ? c.view.values : c.peers);
            }
            if (replace) {
                const Strings peers = c.peers.empty() ? c.view.values : c.peers;
                EXPECT_EQ(MutagenValues(file.path, c.view.id), peers);
                EXPECT_EQ(TaglibValues(file.path, c.view.id), peers);
            }
        }
    }
}

TEST(FrameEdits, SeveralValuesOfAFieldShowJoinedAndSaveAsTheVersionStoresThem) {
    SKIP_WITHOUT_MUTAGEN();
    const struct {
        uint8_t version;
        Bytes stored;  // TPE1's data as loaded
        std::string shown;
        std::string edit;
        std::string id;  // TPE1: the artist typed; TCOM: the composer column
        Strings peers;
        std::string reloaded;  // version 3 artists show as stored, "/" and all
    } cases[] = {
        {4,
         {3, 'A', 0, 'B'},
         "A; B",
         "Alice Weather; Bob Office",
         "TPE1",
         {"Alice Weather", "Bob Office"},
         "Alice Weather; Bob Office"},
        {3,
         {0, 'A', 0, 'B'},
         "A; B",
         "Alice Weather; Bob Office",
         "TPE1",
         {"Alice Weather/Bob Office"},
         "Alice Weather/Bob Office"},
        {4, {0, 'A'}, "A", "Ann; Bo", "TCOM", {"Ann", "Bo"}, "Ann; Bo"},
        {3, {0, 'A'}, "A", "Ann; Bo", "TCOM", {"Ann/Bo"}, "Ann; Bo"},
        {4, {1, 0xFF, 0xFE, 'A', 0, 0, 0, 0xFF, 0xFE, 'B', 0}, "A; B", "A", "TPE1", {"A"}, "A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit + " v" + std::to_string(c.version));
        LoadedFile file(c.version, {testing_mp3::Frame(c.version, "TPE1", c.stored)});
        EXPECT_EQ(file.model.Shown(0, bulk::Column::Artist).toStdString(), c.shown);
        EXPECT_FALSE(file.model.Marked(0, bulk::Column::Artist, rows::kKeepsStored));
        if (c.id == "TPE1") {
            file.model.SetField(0, bulk::Column::Artist, QString::fromStdString(c.edit));
        } else {
            EXPECT_TRUE(file.model.SetAddedValue(0, "composer", QString::fromStdString(c.edit)));
            EXPECT_TRUE((file.model.ChangedFields(0) & rows::kAddedColumnsChanged) != 0);
        }
        ASSERT_EQ(file.Save(), 0);
        EXPECT_EQ(MutagenValues(file.path, c.id), c.peers);
        EXPECT_EQ(TaglibValues(file.path, c.id), c.peers);
        file.Load();
        EXPECT_EQ(c.id == "TPE1" ? file.model.Shown(0, bulk::Column::Artist).toStdString()
                                 : file.model.AddedShown(0, "composer").toStdString(),
                  c.reloaded);
    }
}

TEST(FrameViews, HostileFramesDecodeWithoutHarmAndStayAsStoredWhenNotEdited) {
    const Bytes longLyrics = [] {
        Bytes data = {3, 'e', 'n', 'g', 0};
        data.resize(10 * 1024 * 1024, 'x');
        return data;
    }();
    std::vector<Bytes> manyFrames;
    for (int i = 0; i < 10000; ++i) {
        manyFrames.push_back(testing_mp3::Frame(4, "TXXX", {0, 'd', 0}));
    }
    const struct {
        const char* name;
        std::vector<Bytes> frames;
        size_t views;
        TFrameView last;  // the last view's values, size, cut and damaged marks that matter
    } cases[] = {
        {"TXXX without a value",
         {testing_mp3::Frame(4, "TXXX", {0, 'd', 0})},
         3,
         [] {
             TFrameView v = Edited("TXXX", {}, "d");
             v.size = 3;
             return v;
         }()},
        {"unknown encoding byte",
         {testing_mp3::Frame(4, "TPE2", {7, 'a'})},
         3,
         [] {
             TFrameView v = Edited("TPE2", {});
             v.size = 2;
             v.damaged = true;
             return v;
         }()},
        {"UTF-16 without a byte order mark, cut in a unit",
         {testing_mp3::Frame(4, "TIT3", {1, 'a', 0, 'b'})},
         3,
         [] {
             TFrameView v = Edited("TIT3", {"a\xEF\xBF\xBD"});
             v.size = 4;
             v.damaged = true;
             return v;
         }()},
        {"comment shorter than its language",
         {testing_mp3::Frame(4, "COMM", {0, 'e'})},
         3,
         [] {
             TFrameView v = Edited("COMM", {});
             v.size = 2;
             v.damaged = true;
             return v;
         }()},
        {"rating without a counter",
         {testing_mp3::Frame(4, "POPM", {'m', 0, 196})},
         3,
         [] {
             TFrameView v = Edited("POPM", {});
             v.owner = "m";
             v.rating = 196;
             v.size = 3;
             return v;
         }()},
        {"10 MB of lyrics",
         {testing_mp3::Frame(4, "USLT", longLyrics)},
         3,
         [] {
             TFrameView v = Edited("USLT", {std::string(frames::kShownBytes - 5, 'x')}, "", "eng");
             v.size = 10 * 1024 * 1024;
             v.cut = true;
             return v;
         }()},
        {"10,000 frames", manyFrames, 10002,
         [] {
             TFrameView v = Edited("TXXX", {}, "d");
             v.size = 3;
             return v;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedFile file(4, c.frames);
        const Bytes before = testing_mp3::ReadFile(file.path);
        const auto start = std::chrono::steady_clock::now();
        const std::vector<TFrameView> views = frames::ViewFrames(file.tag);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_EQ(views.size(), c.views);
        TFrameView last = views.back();
        last.stored = 0;
        last.name.clear();
        EXPECT_EQ(last, c.last);
        // A save of the untouched row writes nothing.
        EXPECT_FALSE(file.model.Unsaved(0));
        EXPECT_EQ(testing_mp3::ReadFile(file.path), before);
    }
}

TEST(FrameValues, ChecksGiveTheReasonForWhatAFrameCannotHold) {
    const struct {
        const char* id;
        const char* value;
        bool valid;
    } cases[] = {
        {"TRCK", "3", true},          {"TPOS", "1/2", true},
        {"TPOS", "1/", false},        {"TRCK", "0", false},
        {"TBPM", "128", true},        {"TBPM", "12.5", false},
        {"TDRC", "2019", true},       {"TDOR", "2019-02-28T23:59:59", true},
        {"TDRC", "2019-13", false},   {"TDRL", "2019-05-01 10:00", false},
        {"TCON", "Rock", true},       {"TCON", "  ", false},
        {"WOAR", "http://x/ü", true}, {"WOAR", "http://x/Ж", false},
        {"TIT2", "any ✓", true},      {"TIT2", "\xC3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.value);
        EXPECT_EQ(frames::ValueProblem(c.id, c.value).empty(), c.valid);
    }
    EXPECT_NE(frames::EncodeFrame(Edited("APIC", {}), 4).problem, "");
}

TEST(AddedColumns, EachIsANamingFieldAndAFrameOfBothVersions) {
    for (const frames::TAddedColumn& column : frames::StandardColumns()) {
        SCOPED_TRACE(column.key);
        const naming::Compiled compiled = naming::Compile(
            QString::fromStdString("%{" + column.key + "}"), naming::Direction::Format);
        ASSERT_TRUE(compiled.pattern);
        EXPECT_EQ(naming::AddedColumnKey(compiled.pattern->parts[0][0].field), column.key);
        EXPECT_EQ(frames::ColumnOfKey(column.key), column);
        EXPECT_TRUE(frames::IsTextKind(frames::FrameType(column.v3Id).kind));
        EXPECT_NE(frames::FrameType(column.v4Id).versions & (1 << 4), 0);
    }
    EXPECT_EQ(frames::ColumnOfKey("user:MOOD")->description, "MOOD");
}

TEST(FrameEdits, AreUndoneRevertedAndRefusedForPicturesOrAFileThatChanged) {
    LoadedFile file(4);
    const rows::TRowEdits before = file.model.Edits(0);
    EXPECT_FALSE(file.model.ChangeFrame(0, 1, "APIC", nullptr));
    EXPECT_TRUE(file.model.ChangeFrame(0, 2, "PRIV", nullptr));
    const rows::TRowEdits removed = file.model.Edits(0);
    file.model.RestoreEdits(0, before);
    EXPECT_FALSE(file.model.Unsaved(0));
    file.model.RestoreEdits(0, removed);
    EXPECT_TRUE(file.model.Unsaved(0));
    file.model.RevertRow(0);
    EXPECT_FALSE(file.model.Unsaved(0));
    // The frame named is no longer where the row read it: nothing is written.
    file.model.ChangeFrame(0, 2, "TIT2", Shared({0, 'x'}));
    const Bytes stored = testing_mp3::ReadFile(file.path);
    EXPECT_NE(file.Save(), 0);
    EXPECT_EQ(testing_mp3::ReadFile(file.path), stored);
    // Every frame removed: the tag goes rather than the save failing.
    file.model.SetFrameChanges(0, {{1, "TIT2", nullptr}, {2, "PRIV", nullptr}});
    EXPECT_EQ(file.Save(), 0);
    EXPECT_FALSE(id3v2::BeginsWithTagMarker(file.path));
    // A record holds neither frames nor added columns.
    file.model.SetKind(1);
    EXPECT_FALSE(file.model.AddFrame(0, "TPE2", Shared({0, 'x'})));
    EXPECT_FALSE(file.model.SetAddedValue(0, "composer", "x"));
}
