#include "editing/TagTable.h"

#include "editing/JournaledSteps.h"
#include "editing/TableText.h"
#include "editing/Undo.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace veltrane {
namespace {

using Fields = std::vector<std::string>;

struct CsvCase {
    const char* Name;
    std::string Text;
    std::vector<Fields> Records; // empty with ErrorRow set: the parse fails
    std::size_t ErrorRow = 0;
    TTableFormat Format = TTableFormat::Csv;
};

TEST(TagTable, CsvReading) {
    const CsvCase cases[] = {
        {"plain, CRLF", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"LF alone, no last line end", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"BOM skipped", "\xEF\xBB\xBFpath\r\nx\r\n", {{"path"}, {"x"}}},
        {"quoted comma, doubled quote", "\"a,\"\"b\"\"\",c\r\n", {{"a,\"b\"", "c"}}},
        {"line breaks inside quotes", "\"x\r\ny\nz\",\"\"\r\n", {{"x\r\ny\nz", ""}}},
        {"empty fields and lines", "a,,\r\n\r\n,b,\r\n", {{"a", "", ""}, {"", "b", ""}}},
        {"unclosed quote", "a\r\n\"b,c\r\n", {}, 2},
        {"NUL byte", "a\r\nb\r\nc\0d\r\n"s, {}, 3},
        {"NUL inside quotes", "\"a\0\"\r\n"s, {}, 1},
        {"CR alone", "a\rb\r", {}, 1},
        {"text after closing quote", "\"a\"b\r\n", {}, 1},
        {"quote inside a bare field", "a\"b\r\n", {}, 1},
        {"TSV: BOM skipped", "\xEF\xBB\xBFpath\tt\nx\ty\n", {{"path", "t"}, {"x", "y"}}, 0,
         TTableFormat::Tsv},
        {"TSV: CRLF", "a\tb\r\n\r\nc\t\r\n", {{"a", "b"}, {"c", ""}}, 0, TTableFormat::Tsv},
        {"TSV: CR alone", "a\r\nb\rc\n", {}, 2, TTableFormat::Tsv},
    };
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.ErrorRow != 0) {
            try {
                ParseTable(c.Text, c.Format);
                ADD_FAILURE() << "parsed";
            } catch (const ETableSyntax& e) {
                EXPECT_EQ(e.Row(), c.ErrorRow) << e.what();
            }
            continue;
        }
        std::vector<Fields> got;
        for (const TTableRecord& r : ParseTable(c.Text, c.Format))
            got.push_back(r.Fields);
        EXPECT_EQ(got, c.Records);
    }
}

TEST(TagTable, RowsWriteAndReadBackInBothFormats) {
    TMP3Tag tag;
    tag.FileName = "/m/a,\"b\"\n\\x41\xFF.mp3";
    tag.Header = "TAG";
    tag.Title = "T, \"q\"\nx\\";
    tag.Artist = "Caf\xC3\xA9";
    tag.Album = "line\nbreak"; // quoted for the break alone
    tag.Year = "199?";
    tag.Genre = 17;
    tag.Track = 7;
    for (const TTableFormat format : {TTableFormat::Csv, TTableFormat::Tsv}) {
        std::string text = TagTableHeader(format);
        AppendTagTableRow(text, tag, format);
        const std::vector<TTableRecord> records = ParseTable(text, format);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Fields, (Fields{"path", "title", "artist", "album", "year", "genre",
                                             "comment", "track"}));
        const Fields& f = records[1].Fields;
        ASSERT_EQ(f.size(), 8u);
        EXPECT_EQ(f[0], "/m/a,\"b\"\\n\\\\x41\\xff.mp3"); // escaped in both formats
        EXPECT_EQ(f[3], format == TTableFormat::Csv ? "line\nbreak" : "line\\nbreak");
        EXPECT_EQ(f[5], "Rock");
        EXPECT_EQ(f[7], "7");
        if (format == TTableFormat::Csv)
            EXPECT_EQ(f[1], tag.Title);
        else
            EXPECT_EQ(f[1], "T, \"q\"\\nx\\\\");
    }
    std::string csv;
    TMP3Tag none;
    none.FileName = "/n.mp3";
    none.Genre = 12; // no tag: no genre either
    AppendTagTableRow(csv, none, TTableFormat::Csv);
    EXPECT_EQ(csv, "/n.mp3,,,,,,,\r\n");
}

TEST(TagTable, HeaderProblemsAndEmptyTablesApplyNothing) {
    const TagCodec& codec = TagCodec::Default();
    EXPECT_THROW(PlanTagImport("title\r\nx\r\n", TTableFormat::Csv, "/", codec),
                 std::invalid_argument);
    EXPECT_THROW(PlanTagImport("path,Path\r\nx,y\r\n", TTableFormat::Csv, "/", codec),
                 std::invalid_argument);
    EXPECT_THROW(PlanTagImport("path,title\r\n", TTableFormat::Csv, "/", codec), ETableSyntax);
    EXPECT_THROW(PlanTagImport("", TTableFormat::Csv, "/", codec), ETableSyntax);
}

// Tag cells of a TSV are unescaped, those of a CSV taken as they stand; trailing blanks go
// from tag cells, never from a path.
TEST(TagTable, ImportCellsReadAsTheExportWroteThem) {
    test::TestDir dir;
    const test::RawTag title{"Title", "", "", "", "", 255};
    const std::string file = dir.WriteFile("t.mp3", test::Mp3Bytes(300, title));
    const std::string blank = dir.WriteFile("b.mp3 ", test::Mp3Bytes(300, title));
    const auto csv = TTableFormat::Csv, tsv = TTableFormat::Tsv;
    const struct {
        const char* Name;
        TTableFormat Format;
        std::string Table;
        std::vector<std::string> Titles; // of the files that change
    } cases[] = {
        {"TSV backslash", tsv, "path\ttitle\n" + file + "\tAC\\\\DC\n", {"AC\\DC"}},
        {"TSV escaped tab", tsv, "path\ttitle\n" + file + "\ta\\tb\n", {"a\tb"}},
        {"CSV as it stands", csv, "path,title\r\n" + file + ",AC\\DC\r\n", {"AC\\DC"}},
        {"blanks after a title", csv, "path,title\r\n" + file + ",Title  \r\n", {}},
        {"blank ending a path", tsv, "path\ttitle\n" + blank + "\tNew \n", {"New"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TImportPlan plan = PlanTagImport(c.Table, c.Format, "/", TagCodec::Default());
        EXPECT_EQ(plan.BadRows, std::vector<std::string>{});
        std::vector<std::string> titles;
        for (const TImportFile& f : plan.Files)
            titles.push_back(f.New.Title);
        EXPECT_EQ(titles, c.Titles);
    }
}

// The import writes over the tags its plan read: a file another program changed between the
// plan and the apply (as the preview window stays open) is left alone, journal or not, even
// when the change keeps its size; an untouched one is written and undone to the byte.
TEST(TagTable, ImportLeavesAFileChangedSinceItsPlanAlone) {
    using Change = std::function<void(const std::string&)>;
    const auto rewriteTag = [](const std::string& path) {
        const std::string bytes = test::Mp3Bytes(300, test::RawTag{"T", "A", "Other", "", "", 1});
        std::fstream(path, std::ios::binary | std::ios::in | std::ios::out)
            .seekp(300)
            .write(bytes.data() + 300, 128);
    };
    const struct {
        const char* Name;
        Change Meanwhile;
        bool Written;
    } cases[] = {
        {"untouched", [](const std::string&) {}, true},
        {"tag rewritten, same size", rewriteTag, false},
        // As tag editors do that keep the file's time (or a rewrite in the same clock tick).
        {"tag rewritten, size and time kept",
         [&](const std::string& p) {
             struct stat st {};
             ::stat(p.c_str(), &st);
             rewriteTag(p);
             const struct timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, p.c_str(), times, 0);
         },
         false},
        {"grown", [](const std::string& p) { std::ofstream(p, std::ios::app) << "xyz"; }, false},
        {"replaced by a new file",
         [](const std::string& p) {
             std::ofstream(p + ".new", std::ios::binary) << test::Mp3Bytes(300, test::RawTag{});
             std::rename((p + ".new").c_str(), p.c_str());
         },
         false},
    };
    const TagCodec& codec = TagCodec::Default();
    for (const bool journaled : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (journaled ? ", journaled" : ", no journal"));
            test::TestDir dir, state;
            TChangeJournal journal(state / "veltrane");
            SetActiveJournal(journaled ? &journal : nullptr);
            const std::string file =
                dir.WriteFile("a.mp3", test::Mp3Bytes(300, test::RawTag{"T", "A", "Old", "", "", 1}));
            const std::string original = dir.ReadFile("a.mp3");
            const TImportPlan plan =
                PlanTagImport("path,album\r\n" + file + ",New\r\n", TTableFormat::Csv, "/", codec);
            ASSERT_EQ(plan.Files.size(), 1u);
            c.Meanwhile(file);
            const std::string meanwhile = dir.ReadFile("a.mp3");
            const TFileFailures failures = ApplyTagImport(plan, codec, {}, nullptr);
            if (c.Written) {
                EXPECT_TRUE(failures.empty());
                EXPECT_EQ(GetMP3Tag(file).Album, "New");
                if (journaled) {
                    EXPECT_EQ(UndoStep(journal).Restored, 1u);
                    EXPECT_EQ(dir.ReadFile("a.mp3"), original);
                }
            } else {
                ASSERT_EQ(failures.size(), 1u);
                EXPECT_EQ(failures[0].Error, kMsgChangedMeanwhile);
                EXPECT_EQ(dir.ReadFile("a.mp3"), meanwhile);
            }
            SetActiveJournal(nullptr);
        }
    }
}

// A cell a spreadsheet would run as a formula is written with one apostrophe before it, and
// an import takes exactly that apostrophe off again: every title comes back as it was.
TEST(TagTable, FormulaCellsAreGuardedAndImportedBackAsTheyWere) {
    const struct {
        std::string title, cell;
    } cases[] = {
        {"=1+1", "'=1+1"},   {"+x", "'+x"},   {"-5", "'-5"},   {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},     {"\rx", "'\rx"}, {"'=x", "''=x"}, {"''-", "'''-"},
        {"'plain", "'plain"}, {"a=b", "a=b"}, {"'", "'"},      {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(GuardCell(c.title), c.cell);
        EXPECT_EQ(UnguardCell(c.cell), c.title);
    }
    test::TestDir dir;
    const std::string path = dir.WriteFile(
        "a.mp3", test::Mp3Bytes(10, test::RawTag{"=HYPERLINK(1)", "-B", "", "", "", 255}));
    for (const TTableFormat format : {TTableFormat::Csv, TTableFormat::Tsv}) {
        TMP3Tag tag = GetMP3Tag(path, TagCodec::Default());
        tag.FileName = path;
        std::string table = TagTableHeader(format);
        AppendTagTableRow(table, tag, format);
        EXPECT_NE(table.find("'=HYPERLINK(1)"), std::string::npos) << table;
        const TImportPlan plan =
            PlanTagImport(table, format, dir.path().string(), TagCodec::Default());
        EXPECT_TRUE(plan.Files.empty() && plan.BadRows.empty()) << table;
    }
}

// The import names files as the system reaches them: "LINK/../x.mp3" is the file beside the
// link's target, and one file under two names is planned once, its later row refused.
TEST(TagTable, ImportResolvesPathsAsTheSystemDoes) {
    test::TestDir dir;
    const std::string x =
        dir.WriteFile("top/x.mp3", test::Mp3Bytes(10, test::RawTag{"Old", "", "", "", "", 255}));
    dir.WriteFile("top/deep/y.mp3", test::Mp3Bytes(10, test::RawTag{}));
    std::filesystem::create_directory_symlink(dir / "top/deep", dir / "link");
    ASSERT_EQ(::link(x.c_str(), (dir / "top/hard.mp3").c_str()), 0);
    const TImportPlan plan =
        PlanTagImport("path\ttitle\nlink/../x.mp3\tNew\ntop/hard.mp3\tOther\n", TTableFormat::Tsv,
                      dir.path().string(), TagCodec::Default());
    ASSERT_EQ(plan.Files.size(), 1u);
    EXPECT_EQ(plan.Files[0].Path, x);
    EXPECT_EQ(plan.Files[0].New.Title, "New");
    ASSERT_EQ(plan.BadRows.size(), 1u);
    EXPECT_NE(plan.BadRows[0].find("the file of row 2 under another name"), std::string::npos);
}

} // namespace
} // namespace veltrane
