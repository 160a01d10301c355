#include "editing/Undo.h"

#include "EditingFixture.h"
#include "editing/JournaledSteps.h"
#include "editing/RenameFromTags.h"
#include "editing/TagEditing.h"
#include "editing/FillFromId3v2.h"
#include "editing/TrackNumbers.h"
#include "editing/TagTable.h"
#include "editing/TagActions.h"
#include "editing/StepNames.h"
#include "editing/TagFromFileName.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <chrono>
#include <fcntl.h>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane {
namespace {

namespace fs = std::filesystem;
using test::RawTag;

// Every test records into a journal of its own.
class UndoTest : public ::testing::Test {
  protected:
    UndoTest() : journal_(state_.path().string() + "/veltrane") { SetActiveJournal(&journal_); }
    ~UndoTest() override { SetActiveJournal(nullptr); }

    std::string Bytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Append(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
    }

    test::TestDir state_;
    TChangeJournal journal_;
};

TEST_F(UndoTest, EveryWriterRoundTripsTaggedUntaggedShortAndEmptyFiles) {
    TEditMoreFields album;
    album.Album = {false, "Wrong"};
    TDeriveFormat format;
    const std::vector<std::pair<const char*, std::function<void(TFileList&)>>> writers = {
        {"multi-file editor", [&](TFileList& list) { EXPECT_TRUE(EditMoreRun(list, album, nullptr).empty()); }},
        {"tags from names", [&](TFileList& list) { EXPECT_TRUE(DeriveRun(list, format, {}, nullptr).empty()); }},
    };
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        test::EditingFolder folder;
        std::vector<std::string> paths = {
            folder.Add("Band - Song.mp3", test::Tagged("Song", "Band", 17)),
            folder.AddNoTag("untagged.mp3"),
        };
        // Too small for the list: written through the step directly.
        const std::string shortFile = folder.Dir().WriteFile("short.mp3", "ID3xyz");
        const std::string empty = folder.Dir().WriteFile("empty.mp3", "");
        TFileList& list = folder.List();
        folder.Select(paths);
        std::vector<std::string> before;
        for (const std::string& p : paths)
            before.push_back(Bytes(p));

        write(list);
        ASSERT_NE(Bytes(paths[0]), before[0]);
        const TUndoReport report = UndoStep(journal_);
        EXPECT_EQ(report.Restored, paths.size());
        EXPECT_TRUE(report.Failures.empty());
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(Bytes(paths[i]), before[i]) << paths[i];

        const std::vector<std::string> small = {shortFile, empty};
        EXPECT_TRUE(RunTagStep(small, FileCount, [](TMP3Tag& t) { t.Title = "x"; },
                               TagCodec::Default(), {}, nullptr)
                        .empty());
        EXPECT_EQ(fs::file_size(shortFile), 6u + 128u);
        EXPECT_EQ(UndoStep(journal_).Restored, 2u);
        EXPECT_EQ(Bytes(shortFile), "ID3xyz");
        EXPECT_EQ(Bytes(empty), "");
    }
}

TEST_F(UndoTest, AnUndoIsAStepOfItsOwnAndUndoGoesBackwards) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    const std::string original = Bytes(a);
    TMP3Tag record = GetMP3Tag(a);
    TEditorFields fields = EditorFieldsFromTag(record);
    fields.Title = "First";
    SaveSingleTag(record, fields, nullptr);
    const std::string first = Bytes(a);
    fields.Title = "Second";
    SaveSingleTag(GetMP3Tag(a), fields, nullptr);

    EXPECT_EQ(UndoStep(journal_).Step, 2u);
    EXPECT_EQ(Bytes(a), first);
    TJournalContents contents = journal_.Read();
    ASSERT_NE(LastUndoable(contents), nullptr);
    EXPECT_EQ(UndoCaption(*LastUndoable(contents)), "Undo: edit tag of a.mp3");
    EXPECT_EQ(UndoStep(journal_).Step, 1u);
    EXPECT_EQ(Bytes(a), original);
    EXPECT_THROW(UndoStep(journal_), EJournalError); // nothing left

    // Undoing the last undo (step 4) brings "First" back; step 1 is then undoable again.
    EXPECT_EQ(UndoStep(journal_, 4).Restored, 1u);
    EXPECT_EQ(Bytes(a), first);
    contents = journal_.Read();
    EXPECT_EQ(UndoneSteps(contents), (std::set<std::uint64_t>{2, 4}));
    // That undo of an undo is a redo: the next undo takes it back.
    EXPECT_EQ(LastUndoable(contents)->Id, 5u);
    EXPECT_THROW(UndoStep(journal_, 99), EJournalError);
}

// Undo and Redo walk the steps back and forth; each is a step, a new edit ends the redos.
TEST_F(UndoTest, RedoTakesBackTheLastUndoAndAnUndoAfterItTakesTheRedoBack) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    const auto title = [&] { return GetMP3Tag(a).Title; };
    const auto edit = [&](const std::string& to) {
        TEditorFields fields = EditorFieldsFromTag(GetMP3Tag(a));
        fields.Title = to;
        SaveSingleTag(GetMP3Tag(a), fields, nullptr);
    };
    edit("First");
    edit("Second");
    struct TMove {
        char Do; // 'u' undo, 'r' redo, 'e' edit to "Third"
        std::string Title, UndoCaption, RedoCaption;
        bool Redo; // the step taken back was an undo
    };
    const std::vector<TMove> moves = {
        {'u', "First", "Undo: edit tag of a.mp3", "Redo: edit tag of a.mp3", false},
        {'u', "Song", "", "Redo: edit tag of a.mp3", false},
        {'r', "First", "Undo: edit tag of a.mp3", "Redo: edit tag of a.mp3", true},
        {'u', "Song", "", "Redo: edit tag of a.mp3", false},
        {'r', "First", "Undo: edit tag of a.mp3", "Redo: edit tag of a.mp3", true},
        {'r', "Second", "Undo: edit tag of a.mp3", "", true},
        {'u', "First", "Undo: edit tag of a.mp3", "Redo: edit tag of a.mp3", false},
        {'e', "Third", "Undo: edit tag of a.mp3", "", false},
        {'u', "First", "Undo: edit tag of a.mp3", "Redo: edit tag of a.mp3", false},
        {'r', "Third", "Undo: edit tag of a.mp3", "", true},
    };
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const TMove& m = moves[i];
        SCOPED_TRACE("move " + std::to_string(i) + " " + m.Do);
        if (m.Do == 'e') {
            edit("Third");
        } else {
            const TUndoReport report = m.Do == 'u' ? UndoStep(journal_) : RedoStep(journal_);
            EXPECT_EQ(report.Restored, 1u);
            EXPECT_EQ(report.Redo, m.Redo);
            EXPECT_EQ(report.Subject, "edit tag of a.mp3");
        }
        EXPECT_EQ(title(), m.Title);
        const TJournalContents contents = journal_.Read();
        const TJournalStep* undo = LastUndoable(contents);
        const TJournalStep* redo = LastRedoable(contents);
        EXPECT_EQ(undo ? UndoCaption(*undo) : "", m.UndoCaption);
        EXPECT_EQ(redo ? RedoCaption(*redo) : "", m.RedoCaption);
    }
    EXPECT_THROW(RedoStep(journal_), EJournalError);
    const std::string newest = journal_.Read().Steps.back().Command;
    EXPECT_EQ(newest.rfind("redo of step ", 0), 0u) << newest;
}

TEST(StepSubject, StripsOnlyTheProgramsOwnPrefixes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"set album of 10 files", "set album of 10 files"},
        {"undo of step 3: set album of 10 files", "set album of 10 files"},
        {"redo of step 12: undo of step 3: rename a.mp3 to b.mp3", "rename a.mp3 to b.mp3"},
        {"undo of step x: odd", "undo of step x: odd"},
        {"undo of step 3 set", "undo of step 3 set"},
    };
    for (const auto& [command, subject] : cases) {
        TJournalStep step;
        step.Command = command;
        EXPECT_EQ(StepSubject(step), subject) << command;
    }
}

// Every name our steps write is recognised and shown through the catalogue; English reads
// back as it was; anything else stays as it stands.
TEST(ShownStepName, EveryStepNameGoesThroughTheCatalogue) {
    TEditMoreFields two;
    two.Title.Leave = two.Style.Leave = false;
    TActionSpec replace;
    replace.Kind = TActionKind::akReplace;
    replace.Fields = afTitle | afAlbum | afComment;
    replace.Find = "x";
    TActionSpec upper;
    upper.Mode = TCaseMode::cmUpper;
    upper.Fields = afArtist;
    const std::vector<std::string> names = {
        EditMoreDescription(two, 3),      EditMoreDescription(TEditMoreFields{}, 1),
        TagImportDescription(2),          NumberTracksDescription(12),
        FillDescription(1),               DeriveDescription(5),
        RenameFromTagsDescription(7),     TTagAction(replace).Description(4),
        TTagAction(upper).Description(1), "rename a to b.mp3 to c.mp3",
        "edit tag of x.mp3",              "move 2 files to the trash",
    };
    for (const std::string& name : names)
        EXPECT_EQ(ShownStepName(name), name);
    SetTextLookup([](const char*, const char* Text) { return "<" + std::string(Text) + ">"; });
    EXPECT_EQ(ShownStepName(names[0]), "<set <title>< and ><genre> of <3 files>>");
    EXPECT_EQ(ShownStepName(names[1]), "<write tags of <1 file>>");
    EXPECT_EQ(ShownStepName(names[7]), "<replace in <title><, ><album><, ><comment> of <4 files>>");
    EXPECT_EQ(ShownStepName(names[9]), "<rename a to b.mp3 to c.mp3>");
    for (const std::string& name : names)
        EXPECT_EQ(ShownStepName(name).front(), '<') << name;
    for (const char* other : {"set colour of 3 files", "tags of everything", "set title of files"})
        EXPECT_EQ(ShownStepName(other), other);
    TJournalStep step;
    step.Command = "undo of step 3: " + names[6];
    EXPECT_EQ(UndoCaption(step), std::string("<Undo: %1>").replace(7, 2, ShownStepName(names[6])));
    SetTextLookup(nullptr);
}

// Between a step's reading and its writes another program grows one file, retags another in
// place under a time of its own and puts a new file under a third name: each is left as that
// program left it and named; the untouched one is written.
TEST_F(UndoTest, AFileChangedBetweenTheReadAndTheWriteIsLeftAlone) {
    test::TestDir dir;
    std::vector<std::string> files;
    for (const char* name : {"grown.mp3", "retagged.mp3", "replaced.mp3", "kept.mp3"})
        files.push_back(dir.WriteFile(name, test::Mp3Bytes(300, test::Tagged("S", "B"))));
    const auto meddle = [&](const std::string& path) {
        if (path == files[0]) {
            Append(path, "more");
        } else if (path == files[1]) {
            const int fd = ::open(path.c_str(), O_WRONLY);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::pwrite(fd, "TAGOther", 8, 300), 8);
            const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
            ASSERT_EQ(::futimens(fd, times), 0);
            ::close(fd);
        } else if (path == files[2]) {
            const std::string fresh = path + ".new";
            std::ofstream(fresh, std::ios::binary) << test::Mp3Bytes(300, test::Tagged("N", "B"));
            fs::rename(fresh, path);
        }
    };
    std::vector<std::string> meddled;
    const TFileFailures failures = RunTagStep(
        files, FileCount,
        [&](TMP3Tag& t) {
            meddle(t.FileName); // after this file was read, before the first write
            meddled.push_back(Bytes(t.FileName));
            t.Album = "Mine";
        },
        TagCodec::Default(), {}, nullptr);
    ASSERT_EQ(failures.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(failures[i].Path, files[i]);
        EXPECT_EQ(failures[i].Error, kMsgChangedMeanwhile);
        EXPECT_EQ(Bytes(files[i]), meddled[i]) << files[i];
    }
    EXPECT_EQ(GetMP3Tag(files[3]).Album, "Mine");
}

// Files are read a run at a time: over several runs, with names given twice, each file is
// written once with its own tag, and undo takes every one back.
TEST_F(UndoTest, AStepOverSeveralRunsWithRepeatedNamesWritesEachFileFromItsOwnTag) {
    test::TestDir dir;
    std::vector<std::string> files, before;
    for (int i = 0; i < 150; ++i) {
        files.push_back(dir.WriteFile(std::to_string(i) + ".mp3",
                                      test::Mp3Bytes(40, test::Tagged("S" + std::to_string(i), "B"))));
        before.push_back(Bytes(files.back()));
    }
    std::vector<std::string> named = files;
    named.insert(named.begin() + 1, files[0]);
    named.insert(named.begin() + 70, files[3]);
    const TFileFailures failures = RunTagStep(
        named, FileCount, [](TMP3Tag& t) { t.Album = "Mine"; }, TagCodec::Default(), {}, nullptr);
    EXPECT_TRUE(failures.empty());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TMP3Tag tag = GetMP3Tag(files[i]);
        EXPECT_EQ(tag.Title + "|" + tag.Album, "S" + std::to_string(i) + "|Mine");
    }
    EXPECT_TRUE(UndoStep(journal_).Failures.empty());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(Bytes(files[i]), before[i]) << files[i];
}

TEST_F(UndoTest, AFileChangedAfterTheWriteIsLeftAloneAndReported) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("A", "Band"));
    const std::string b = folder.Add("b.mp3", test::Tagged("B", "Band"));
    const std::string c = folder.AddNoTag("c.mp3");
    const std::string d = folder.Add("d.mp3", test::Tagged("D", "Band"));
    const std::string aBefore = Bytes(a);
    TFileList& list = folder.List();
    folder.Select({a, b, c, d});
    TEditMoreFields fields;
    fields.Album = {false, "Wrong"};
    ASSERT_TRUE(EditMoreRun(list, fields, nullptr).empty());

    // Another program retags b, appends to c (its size changes) and replaces d by a new file
    // with the same bytes.
    SetMP3Tag(b, [&] { TMP3Tag t = GetMP3Tag(b); t.Album = "Theirs"; return t; }());
    const std::string bTheirs = Bytes(b);
    Append(c, "more");
    const std::string cTheirs = Bytes(c);
    const std::string dOurs = Bytes(d);
    std::ofstream(d + ".new", std::ios::binary) << dOurs;
    fs::rename(d + ".new", d);

    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 1u);
    ASSERT_EQ(report.Failures.size(), 3u);
    std::set<std::string> left;
    for (const TFileFailure& f : report.Failures) {
        left.insert(f.Path);
        EXPECT_EQ(f.Error, "changed since Veltrane wrote it; left as it is");
    }
    EXPECT_EQ(left, (std::set<std::string>{b, c, d}));
    EXPECT_EQ(Bytes(a), aBefore);
    EXPECT_EQ(Bytes(b), bTheirs);
    EXPECT_EQ(Bytes(c), cTheirs);
    EXPECT_EQ(Bytes(d), dOurs);
}

TEST_F(UndoTest, RenamesGoBackWithoutReplacingAnyFile) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    const std::string b = folder.Add("b.mp3", test::Tagged("Other", "Band"));
    const std::string c = folder.Add("c.mp3", test::Tagged("Third", "Band"));
    TFileList& list = folder.List();
    folder.Select({a, b, c});
    ASSERT_EQ(RenameFromTagsRun(list, TDeriveFormat{}, nullptr).Renamed.size(), 3u);
    // Someone puts a new file at b's old name and renames c's new one away.
    folder.Dir().WriteFile("b.mp3", "theirs");
    fs::rename(folder / "Band - Third.mp3", folder / "moved.mp3");

    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 1u);
    ASSERT_EQ(report.Failures.size(), 2u);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(folder.Dir().ReadFile("b.mp3"), "theirs");
    EXPECT_TRUE(fs::exists(folder / "Band - Other.mp3"));
    EXPECT_TRUE(fs::exists(folder / "moved.mp3"));

    const TRenameResult typed = RenameByTypedName(a, "typed");
    ASSERT_EQ(typed.Status, TRenameResult::rsRenamed);
    EXPECT_EQ(UndoCaption(*LastUndoable(journal_.Read())), "Undo: rename a.mp3 to typed.mp3");
    EXPECT_EQ(UndoStep(journal_).Restored, 1u);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(folder / "typed.mp3"));
}

TEST_F(UndoTest, AFailedRenameIsNotUndoneEvenWhenItsNewNameIsAnotherLink) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", "audio");
    const std::string b = dir.path().string() + "/b.mp3";
    const std::string to = dir.path().string() + "/new.mp3";
    fs::create_hard_link(a, b);
    const std::vector<int> codes = RunRenameStep({{a, to}, {b, to}}, FileCount, nullptr);
    ASSERT_EQ(codes, (std::vector<int>{0, EEXIST}));
    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 1u);
    EXPECT_TRUE(report.Failures.empty());
    EXPECT_TRUE(fs::exists(a) && fs::exists(b) && !fs::exists(to));
}

TEST_F(UndoTest, RelativeNamesAreUndoneFromAnyWorkingDirectory) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string before = Bytes(a);
    const fs::path home = fs::current_path();
    fs::current_path(dir.path());
    const bool written = RunTagStep({"a.mp3"}, FileCount, [](TMP3Tag& t) { t.Album = "X"; },
                                    TagCodec::Default(), {}, nullptr)
                             .empty();
    const std::vector<int> renamed = RunRenameStep({{"a.mp3", "b.mp3"}}, FileCount, nullptr);
    fs::current_path(home);
    ASSERT_TRUE(written);
    ASSERT_EQ(renamed, std::vector<int>{0});
    EXPECT_EQ(UndoStep(journal_).Restored, 1u);
    EXPECT_EQ(UndoStep(journal_, 1).Restored, 1u);
    EXPECT_EQ(Bytes(a), before);
}

TEST_F(UndoTest, AThousandFileStepComesBackWhole) {
    test::TestDir dir;
    std::vector<std::string> paths;
    std::vector<std::string> before;
    for (int i = 0; i < 1000; ++i) {
        RawTag tag = test::Tagged("Song " + std::to_string(i), "Band");
        paths.push_back(dir.WriteFile("f" + std::to_string(i) + ".mp3",
                                      i % 3 ? test::Mp3Bytes(200, tag) : test::Mp3BytesNoTag(200)));
        before.push_back(Bytes(paths.back()));
    }
    ASSERT_TRUE(RunTagStep(paths, FileCount, [](TMP3Tag& t) { t.Album = "X"; }, TagCodec::Default(),
                           {}, nullptr)
                    .empty());
    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 1000u);
    for (std::size_t i = 0; i < paths.size(); ++i)
        ASSERT_EQ(Bytes(paths[i]), before[i]) << paths[i];
}

TEST_F(UndoTest, ASecondNameOfAFileInTheStepIsLeftAlone) {
    test::TestDir dir;
    const std::string file = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string link = dir.path().string() + "/b.mp3";
    fs::create_hard_link(file, link);
    const std::string before = Bytes(file);
    const TFileFailures failures =
        RunTagStep({link, file}, FileCount, [](TMP3Tag& t) { t.Album = "X"; },
                   TagCodec::Default(), {}, nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Path, file);
    EXPECT_EQ(failures[0].Error, kMsgSameFile);
    EXPECT_NE(Bytes(file), before);
    EXPECT_EQ(UndoStep(journal_).Restored, 1u);
    EXPECT_EQ(Bytes(file), before);
}

TEST_F(UndoTest, AStepCutOffByACrashUndoesTheFilesItReached) {
    test::TestDir dir;
    std::vector<std::string> paths, before;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(dir.WriteFile("f" + std::to_string(i) + ".mp3",
                                      test::Mp3Bytes(300, test::Tagged("S", "B"))));
        before.push_back(Bytes(paths.back()));
    }
    constexpr int k = 4;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int written = 0;
        RunTagStep(paths, FileCount, [](TMP3Tag& t) { t.Album = "X"; }, TagCodec::Default(),
                   [&](const TMP3Tag&) {
                       if (++written == k)
                           ::_exit(0); // the crash: no later file, no end record
                   },
                   nullptr);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const TJournalContents contents = journal_.Read();
    ASSERT_EQ(contents.Steps.size(), 1u);
    EXPECT_FALSE(contents.Steps[0].Finished);
    const TUndoReport report = UndoStep(journal_);
    // Writes run ahead of the recorded outcomes: at least the k files were reached.
    EXPECT_GE(report.Restored, std::size_t(k));
    EXPECT_EQ(report.Restored + report.AlreadyBack, paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(Bytes(paths[i]), before[i]);

    // Cut off right after the plan: no outcome at all, the files carry the planned bytes.
    ASSERT_TRUE(RunTagStep(paths, FileCount, [](TMP3Tag& t) { t.Album = "Y"; }, TagCodec::Default(),
                           {}, nullptr)
                    .empty());
    const std::uint64_t planStart = journal_.Read().Steps.back().Offset;
    const std::string journal = Bytes(journal_.FilePath());
    std::uint32_t planLength = 0;
    for (int i = 0; i < 4; ++i)
        planLength |= std::uint32_t(static_cast<unsigned char>(journal[planStart + 8 + i])) << (8 * i);
    fs::resize_file(journal_.FilePath(), planStart + 16 + planLength);
    // A writer that kept the old track bytes (125, 126) still left Veltrane's tag; other
    // bytes there are someone else's.
    const auto poke = [&](const std::string& path, char value) {
        std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(fs::file_size(path)) - 3);
        f.put(value).put(value);
    };
    poke(paths[0], before[0][before[0].size() - 3]);
    poke(paths[1], '7');
    const std::string theirs = Bytes(paths[1]);
    const TUndoReport report2 = UndoStep(journal_);
    EXPECT_EQ(report2.Restored, paths.size() - 1);
    ASSERT_EQ(report2.Failures.size(), 1u);
    EXPECT_EQ(report2.Failures[0].Path, paths[1]);
    EXPECT_EQ(Bytes(paths[1]), theirs);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i != 1) {
            EXPECT_EQ(Bytes(paths[i]), before[i]);
        }
    }
}

TEST_F(UndoTest, ADamagedJournalIsReadUpToTheDamageAndEditingGoesOn) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string original = Bytes(a);
    const auto edit = [&](const std::string& album) {
        return RunTagStep({a}, FileCount, [&](TMP3Tag& t) { t.Album = album; },
                          TagCodec::Default(), {}, nullptr);
    };
    ASSERT_TRUE(edit("one").empty());
    const std::string afterOne = Bytes(a);
    const std::uintmax_t oneStep = fs::file_size(journal_.FilePath());
    ASSERT_TRUE(edit("two").empty());

    // Cut in the middle of the second step's plan.
    fs::resize_file(journal_.FilePath(), oneStep + 30);
    TJournalContents contents = journal_.Read();
    ASSERT_EQ(contents.Steps.size(), 1u);
    EXPECT_NE(contents.Damage.find("damaged at byte " + std::to_string(oneStep)), std::string::npos);

    // The second write is lost to the journal, so step 1 finds the file changed since.
    ASSERT_TRUE(edit("three").empty());
    EXPECT_TRUE(fs::exists(journal_.FilePath() + ".damaged"));
    contents = journal_.Read();
    EXPECT_TRUE(contents.Damage.empty());
    ASSERT_EQ(contents.Steps.size(), 2u);
    EXPECT_EQ(UndoStep(journal_).Restored, 1u);
    EXPECT_EQ(GetMP3Tag(a).Album, "two");

    // A changed byte inside a record stops the reading there as well.
    std::string bytes = Bytes(journal_.FilePath());
    bytes[oneStep + 40] ^= 0x20;
    std::ofstream(journal_.FilePath(), std::ios::binary | std::ios::trunc) << bytes;
    contents = journal_.Read();
    EXPECT_EQ(contents.Steps.size(), 1u);
    EXPECT_NE(contents.Damage.find("checksum"), std::string::npos);
    EXPECT_EQ(UndoStep(journal_, 1).Failures.size(), 1u);
    EXPECT_NE(Bytes(a), afterOne);
    EXPECT_NE(Bytes(a), original);
}

TEST_F(UndoTest, StepsOfAnotherWriterAreSeenByTheNextStepAndRead) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    TChangeJournal other(journal_.Directory()); // the command line beside the window
    const auto edit = [&](TChangeJournal& journal, const std::string& album) {
        SetActiveJournal(&journal);
        return RunTagStep({a}, FileCount, [&](TMP3Tag& t) { t.Album = album; },
                          TagCodec::Default(), {}, nullptr);
    };
    for (const auto& [journal, album] : {std::pair{&journal_, "one"}, {&other, "two"},
                                         {&journal_, "three"}, {&journal_, "four"}})
        ASSERT_TRUE(edit(*journal, album).empty()) << album;
    SetActiveJournal(&journal_);
    for (const TChangeJournal* journal : {&journal_, &other}) {
        std::vector<std::uint64_t> ids;
        for (const TJournalStep& step : journal->Read().Steps)
            ids.push_back(step.Id);
        EXPECT_EQ(ids, (std::vector<std::uint64_t>{1, 2, 3, 4}));
    }
    for (const char* album : {"three", "two", "one"}) {
        EXPECT_EQ(UndoStep(journal_).Restored, 1u);
        EXPECT_EQ(GetMP3Tag(a).Album, album);
    }
}

TEST_F(UndoTest, TheJournalKeepsTheLastHundredSteps) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    for (int i = 0; i < 103; ++i)
        ASSERT_TRUE(RunTagStep({a}, FileCount, [&](TMP3Tag& t) { t.Year = std::to_string(i); },
                               TagCodec::Default(), {}, nullptr)
                        .empty());
    const TJournalContents contents = journal_.Read();
    ASSERT_EQ(contents.Steps.size(), TChangeJournal::kMaxSteps);
    EXPECT_EQ(contents.Steps.front().Id, 4u);
    EXPECT_EQ(contents.Steps.back().Id, 103u);
    EXPECT_TRUE(contents.Damage.empty());
}

// What a read of the journal finds, as text: the writer's own record of its steps must match
// what a reader of the file finds, through every way the journal is written.
std::string Summary(const TJournalContents& c) {
    std::string out = std::to_string(c.ValidBytes) + "/" + std::to_string(c.FileBytes) + " " + c.Damage;
    for (const TJournalStep& s : c.Steps)
        out += "\n" + std::to_string(s.Id) + " " + std::to_string(s.Time) + " " + s.Command + " " +
               std::to_string(s.Undoes) + " " + std::to_string(s.Files) + " " +
               std::to_string(s.FailedFiles) + " " + std::to_string(s.Finished) + " " +
               std::to_string(s.Offset);
    return out;
}

TEST_F(UndoTest, TheWritersOwnStepsReadAsTheFileSaysAfterEveryKindOfWrite) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const auto edit = [&](int i) {
        ASSERT_TRUE(RunTagStep({a}, FileCount, [&](TMP3Tag& t) { t.Year = std::to_string(i); },
                               TagCodec::Default(), {}, nullptr)
                        .empty());
    };
    const auto failing = [&] { // two entries: one done, one failed twice
        const TJournalLock lock(journal_);
        TJournalStep step;
        step.Command = "set year of 2 files";
        step.Entries.resize(2);
        for (TJournalEntry& e : step.Entries)
            e.Path = a;
        TStepWriter writer(journal_, journal_.ReadLocked(), step);
        writer.Done(0, ReadFileState(a));
        writer.Failed(1, "denied");
        writer.Failed(1, "denied");
    };
    const std::function<void()> writes[] = {
        [&] { edit(0); },                                          // a fresh journal
        [&] { failing(); },                                        // failures counted
        [&] { for (int i = 1; i < 104; ++i) edit(i); },            // old steps dropped
        [&] { fs::resize_file(journal_.FilePath(), fs::file_size(journal_.FilePath()) - 5); },
        [&] { edit(104); },                                        // the damage cut off
    };
    for (std::size_t k = 0; k < std::size(writes); ++k) {
        writes[k]();
        const TChangeJournal fresh(journal_.Directory());
        EXPECT_EQ(Summary(journal_.Read()), Summary(fresh.Read())) << "after write " << k;
    }
    EXPECT_EQ(journal_.Read().Steps.size(), TChangeJournal::kMaxSteps);
}

TEST_F(UndoTest, AJournalThatCannotBeWrittenRefusesTheEdit) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string before = Bytes(a);
    // A file where the journal's directory should be.
    TChangeJournal blocked(dir.WriteFile("state", "x") + "/veltrane");
    SetActiveJournal(&blocked);
    const TFileFailures failures = RunTagStep({a}, FileCount, [](TMP3Tag& t) { t.Album = "X"; },
                                              TagCodec::Default(), {}, nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Error.rfind("not written, the change cannot be recorded for undo", 0), 0u);
    EXPECT_EQ(Bytes(a), before);
}

TEST_F(UndoTest, StepsOfTheShortestEntriesOfEitherKindReadBackWhole) {
    // Every string as short as it can be: what bounds a step's count of entries must still
    // let them through (a rename of one-letter names in a one-letter folder came close).
    TJournalEntry rename;
    rename.Kind = TJournalEntry::jkRename;
    rename.Path = "/a";
    rename.NewPath = "/b";
    TJournalEntry bare = rename;
    bare.Path.clear();
    bare.NewPath.clear();
    TJournalEntry tail; // the undo of an empty file: no tail before, no planned bytes
    tail.Path = "/e";
    const std::pair<const char*, TJournalEntry> kinds[] = {
        {"rename", rename}, {"bare rename", bare}, {"empty tail", tail}};
    for (const auto& [name, entry] : kinds) {
        for (const std::size_t n : {1u, 2u, 60u}) {
            SCOPED_TRACE(std::string(name) + " x" + std::to_string(n));
            TJournalStep step;
            step.Entries.assign(n, entry);
            {
                const TJournalLock lock(journal_);
                const TStepWriter writer(journal_, journal_.ReadLocked(), step);
            }
            const TJournalContents all = journal_.Read(TChangeJournal::kAllSteps);
            EXPECT_EQ(all.Damage, "");
            ASSERT_FALSE(all.Steps.empty());
            EXPECT_EQ(all.Steps.back().Files, n);
            ASSERT_EQ(all.Steps.back().Entries.size(), n);
            EXPECT_EQ(all.Steps.back().Entries.back().NewPath, entry.NewPath);
        }
    }
}

TEST_F(UndoTest, AStepWithNothingLeftToTakeBackLetsUndoReachTheOneBefore) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string b = dir.WriteFile("b.mp3", "taken");
    const std::string original = Bytes(a);
    const auto setAlbum = [&](const std::string& album, const std::function<void()>& meanwhile = {}) {
        return RunTagStep({a}, FileCount, [&](TMP3Tag& t) {
            t.Album = album;
            if (meanwhile)
                meanwhile();
        }, TagCodec::Default(), {}, nullptr);
    };
    ASSERT_TRUE(setAlbum("one").empty()); // step 1, the one to reach each time
    const std::string one = Bytes(a);
    // Each way to leave a newer step with nothing to take back, done after step 1. A step
    // put back by hand takes one undo that only marks it; one that changed nothing, none.
    const struct {
        const char* what;
        std::function<void()> make;
        bool marked;
    } ways[] = {
        {"put back by hand", [&] {
             ASSERT_TRUE(setAlbum("two").empty());
             std::fstream f(a, std::ios::binary | std::ios::in | std::ios::out);
             f.write(one.data(), static_cast<std::streamsize>(one.size()));
         }, true},
        {"every tag write failed", [&] {
             const auto later = fs::file_time_type::clock::now() + std::chrono::seconds(5);
             ASSERT_EQ(setAlbum("two", [&] { fs::last_write_time(a, later); }).size(), 1u);
         }, false},
        {"every rename failed", [&] {
             ASSERT_EQ(RunRenameStep({{a, b}}, FileCount, nullptr), std::vector<int>{EEXIST});
         }, false},
    };
    // Step 1, or the redo that brought its change back.
    std::uint64_t reach = 1;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        way.make();
        TUndoReport report = UndoStep(journal_);
        if (way.marked) {
            EXPECT_TRUE(report.NothingLeft);
            EXPECT_EQ(report.AlreadyBack, 1u);
            EXPECT_EQ(Bytes(a), one);
            report = UndoStep(journal_);
        }
        EXPECT_EQ(report.Step, reach) << "the newer step was taken again";
        EXPECT_EQ(GetMP3Tag(a).Album, "");
        // Step 1 comes back for the next way.
        ASSERT_EQ(UndoStep(journal_, journal_.Read().Steps.back().Id).Restored, 1u);
        ASSERT_EQ(GetMP3Tag(a).Album, "one");
        reach = journal_.Read().Steps.back().Id;
    }
    EXPECT_EQ(UndoStep(journal_).Step, reach);
    EXPECT_EQ(Bytes(a), original);
    EXPECT_THROW(UndoStep(journal_), EJournalError); // nothing left at all
}

TEST_F(UndoTest, UndoNeverChangesAModeAndWritesAReadOnlyFileOnlyWhenForced) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string original = Bytes(a);
    ASSERT_TRUE(RunTagStep({a}, FileCount, [](TMP3Tag& t) { t.Album = "X"; }, TagCodec::Default(),
                           {}, nullptr)
                    .empty());
    const std::string written = Bytes(a);
    constexpr fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(a, readOnly);
    const TUndoReport refused = UndoStep(journal_);
    ASSERT_EQ(refused.Failures.size(), 1u);
    EXPECT_EQ(refused.Failures[0].Error, "read-only; left as it is");
    EXPECT_EQ(refused.ReadOnly, 1u);
    EXPECT_FALSE(refused.NothingLeft);
    EXPECT_EQ(Bytes(a), written);
    EXPECT_EQ(fs::status(a).permissions() & fs::perms::all, readOnly);

    // Still the step to undo; forced, it is written and stays read-only. Root writes it as it
    // is; its owner without root's rights lends it the write bit for the write alone.
    const auto forceUndo = [&] {
        const TUndoReport forced = UndoStep(journal_, 0, true);
        return forced.Step == 1 && forced.Restored == 1 && forced.Failures.empty();
    };
    if (::geteuid() == 0) {
        constexpr uid_t nobody = 65534;
        for (const std::string& p : {state_.path().string(), journal_.Directory(),
                                     journal_.FilePath(), journal_.FilePath() + ".lock",
                                     dir.path().string(), a})
            ASSERT_EQ(::chown(p.c_str(), nobody, nobody), 0) << p;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            ::_exit(::setgid(nobody) == 0 && ::setuid(nobody) == 0 && forceUndo() ? 0 : 1);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        EXPECT_TRUE(forceUndo());
    }
    EXPECT_EQ(Bytes(a), original);
    EXPECT_EQ(fs::status(a).permissions() & fs::perms::all, readOnly);
}

TEST_F(UndoTest, TheJournalsOwnFilesAreNeverFollowedThroughALink) {
    test::TestDir dir, elsewhere;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
    const std::string victim = elsewhere.WriteFile("victim", "precious");
    const auto edit = [&] {
        return RunTagStep({a}, FileCount, [](TMP3Tag& t) { t.Year = t.Year == "1" ? "2" : "1"; },
                          TagCodec::Default(), {}, nullptr);
    };
    ASSERT_TRUE(edit().empty());
    const std::string journal = journal_.FilePath();
    // The side files: the damage cut off by the next step is copied aside and the journal
    // rewritten, each through a name planted as a link.
    for (const char* side : {".new", ".damaged"}) {
        SCOPED_TRACE(side);
        Append(journal, "garbage");
        fs::remove(journal + side);
        fs::create_symlink(victim, journal + side);
        EXPECT_TRUE(edit().empty());
        EXPECT_EQ(elsewhere.ReadFile("victim"), "precious");
        EXPECT_FALSE(fs::is_symlink(journal));
        EXPECT_EQ(journal_.Read().Damage, "");
    }
    // The journal or its lock as a link, or a pipe in the journal's place: refused, and the
    // file is not written.
    const std::string before = Bytes(a);
    const std::pair<std::string, std::function<void(const std::string&)>> planted[] = {
        {journal, [&](const std::string& p) { fs::create_symlink(victim, p); }},
        {journal + ".lock", [&](const std::string& p) { fs::create_symlink(victim, p); }},
        {journal, [&](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
    };
    for (const auto& [path, plant] : planted) {
        SCOPED_TRACE(path);
        const std::string kept = path + ".kept";
        fs::rename(path, kept);
        plant(path);
        const TFileFailures failures = edit();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_NE(failures[0].Error.find("cannot be recorded for undo"), std::string::npos);
        EXPECT_NE(failures[0].Error.find(path), std::string::npos) << failures[0].Error;
        EXPECT_EQ(Bytes(a), before);
        EXPECT_EQ(elsewhere.ReadFile("victim"), "precious");
        fs::remove(path);
        fs::rename(kept, path);
    }
    EXPECT_EQ(journal_.Read().Steps.size(), 3u);
}

TEST_F(UndoTest, AFullStateDiskRefusesStepsWithoutDamagingTheJournal) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    // Steps of several sizes, so that the disk fills up in a plan or in the outcomes.
    for (int files = 1; files <= 5; ++files) {
        SCOPED_TRACE(std::to_string(files) + " files");
        test::TestDir dir;
        const std::string mnt = state_.MakeDir("small" + std::to_string(files));
        if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=8k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        struct Unmount {
            std::string at;
            ~Unmount() { ::umount(at.c_str()); }
        } unmount{mnt};
        TChangeJournal small(mnt + "/veltrane");
        SetActiveJournal(&small);
        std::vector<std::string> paths, before;
        for (int i = 0; i < files; ++i) {
            paths.push_back(dir.WriteFile("f" + std::to_string(i) + ".mp3",
                                          test::Mp3Bytes(300, test::Tagged("S", "B"))));
            before.push_back(Bytes(paths.back()));
        }
        int steps = 0;
        for (; steps < 60; ++steps) {
            const TFileFailures failures = RunTagStep(
                paths, FileCount, [&](TMP3Tag& t) { t.Year = std::to_string(steps); },
                TagCodec::Default(), {}, nullptr);
            if (!failures.empty()) {
                ASSERT_EQ(failures.size(), paths.size());
                EXPECT_NE(failures[0].Error.find("No space left"), std::string::npos)
                    << failures[0].Error;
                break;
            }
        }
        ASSERT_GT(steps, 1);
        ASSERT_LT(steps, 60);
        EXPECT_EQ(small.Read().Damage, "");
        // With room again, undo walks back through every step.
        ASSERT_EQ(::mount("tmpfs", mnt.c_str(), "tmpfs", MS_REMOUNT, "size=64k"), 0);
        for (int k = steps; k > 0; --k)
            ASSERT_EQ(UndoStep(small).Step, static_cast<std::uint64_t>(k));
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(Bytes(paths[i]), before[i]);
        SetActiveJournal(&journal_);
    }
}

// What undo checks before it touches a file, each shown by the case it guards against.
TEST_F(UndoTest, UndoLeavesAFileAtARenamedNameAloneAndTakesBackChainedRenames) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a", "A"), b = dir.WriteFile("b", "B");
    // One step in which a file takes another's old name: b to c, then a to b.
    ASSERT_EQ(RunRenameStep({{b, dir / "c"}, {a, b}}, FileCount, nullptr), (std::vector<int>{0, 0}));
    EXPECT_EQ(UndoStep(journal_).Restored, 2u);
    EXPECT_EQ(dir.ReadFile("a"), "A");
    EXPECT_EQ(dir.ReadFile("b"), "B");
    EXPECT_FALSE(fs::exists(dir / "c"));

    // A different file put at the new name: left where it is, and so is the old name.
    ASSERT_EQ(RunRenameStep({{a, dir / "n"}}, FileCount, nullptr), std::vector<int>{0});
    fs::remove(dir / "n");
    dir.WriteFile("n", "theirs");
    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 0u);
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_EQ(dir.ReadFile("n"), "theirs");
    EXPECT_FALSE(fs::exists(a));
}

TEST_F(UndoTest, ARewriteOfTheSameSizeInTheSameSecondCountsAsAChange) {
    // The step reads the file, then someone rewrites it before the step writes: only the
    // status tells. Each row changes one part of it.
    const struct {
        const char* what;
        long nsec;     // the rewrite's modification time, same second
        bool written;  // whether the step still writes
    } cases[] = {
        {"status as read", 100, true},
        {"another nanosecond", 101, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestDir dir;
        const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::Tagged("S", "B")));
        const auto stamp = [&](long nsec) {
            const struct timespec times[2] = {{1700000000, 0}, {1700000000, nsec}};
            ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
        };
        stamp(100);
        const TFileFailures failures = RunTagStep({a}, FileCount, [&](TMP3Tag& t) {
            t.Album = "X";
            const std::string theirs = Bytes(a);
            std::ofstream(a, std::ios::binary | std::ios::trunc) << theirs;
            stamp(c.nsec);
        }, TagCodec::Default(), {}, nullptr);
        EXPECT_EQ(failures.empty(), c.written);
        EXPECT_EQ(GetMP3Tag(a).Album == "X", c.written);
    }
}

// The journal's first look at a file follows the reader's write-bit rule: never through a link.
TEST(ReadFileState, AddsTheWriteBitOnlyToAFileNamedDirectly) {
    test::TestDir tree, elsewhere;
    const auto mode = [](const std::string& p) {
        return fs::status(p).permissions() & fs::perms::all;
    };
    const std::string target =
        elsewhere.WriteFile("ro.mp3", test::Mp3Bytes(200, RawTag{"S", "", "", "", "", 1}));
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string link = tree / "link.mp3";
    fs::create_symlink(target, link);
    (void)ReadFileState(link);
    EXPECT_EQ(mode(target), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    (void)ReadFileState(target);
    EXPECT_EQ(mode(target), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
}

} // namespace
} // namespace veltrane
