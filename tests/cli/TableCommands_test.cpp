#include "CliRun.h"
#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace std::string_literals;

namespace veltrane::cli {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A path as a CSV field: escaped, then quoted.
std::string Csv(const std::string& path) {
    std::string field = "\"";
    for (const char c : path)
        field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
}

class TableCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        // Names a spreadsheet and the escaped form must both carry: comma, quote, line break,
        // a backslash text that looks like an escape, a byte that is no UTF-8.
        a_ = dir_.WriteFile("M/a,\"b\".mp3", Mp3Bytes(300, RawTag{"T,\"1\"", "Art", "Alb", "1999",
                                                                "c\nd", 17, '\0'}));
        b_ = dir_.WriteFile("M/\\x41\xFF.mp3", Mp3Bytes(300, RawTag{"Two", "", "Alb", "", "", 255}));
        c_ = dir_.WriteFile("M/S/new\nline.mp3", Mp3BytesNoTag(300));
        dir_.WriteFile("M/A.mp3", Mp3Bytes(300, RawTag{"Odd", "", "", "", "", 200}));
    }
    std::string Show() { return Cli({"tag", "show", "--recursive", dir_ / "M"}).out; }
    std::string Export(const std::string& format) {
        const CliRun r = Cli({"tag", "export", "--recursive", "--format", format, dir_ / "M"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
    test::TestDir dir_;
    std::string a_, b_, c_;
};

TEST_F(TableCommands, ExportThenImportChangesNothingInEitherFormat) {
    const std::string csv = Export("csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
              "path,title,artist,album,year,genre,comment,track\r\n");
    EXPECT_NE(csv.find(",200,"), std::string::npos); // a genre without a name: its number
    for (const std::string format : {"csv", "tsv"}) {
        const std::string file = dir_.WriteFile("t." + format, Export(format));
        const std::string before = Show();
        const CliRun r = Cli({"tag", "import", "--dry-run", file});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "file\tfield\told\tnew\tnote\n");
        EXPECT_EQ(Cli({"tag", "import", file}).status, 0);
        EXPECT_EQ(Show(), before);
    }
}

TEST_F(TableCommands, ImportSetsWhatChangedAsOneStepThatUndoTakesBack) {
    const std::string before = Show();
    std::string csv = Export("csv");
    csv = Replace(csv, "\"T,\"\"1\"\"\",Art,Alb", "\"T,\"\"1\"\"\",Art,\"New \"\"Alb\"\"\r\nx\""); // a break in a value
    csv = Replace(csv, "Two,,Alb", "Two,,New");
    const std::string file = dir_.WriteFile("t.csv", csv);

    CliRun r = Cli({"tag", "import", "--dry-run", file});
    EXPECT_EQ(r.out, "file\tfield\told\tnew\tnote\n" + a_ + "\talbum\tAlb\tNew \"Alb\"\\r\\nx\t\n" +
                         dir_ / "M/\\\\x41\\xff.mp3" + "\talbum\tAlb\tNew\t\n");
    EXPECT_EQ(Show(), before);

    r = Cli({"tag", "import", file});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string after = Show();
    // The tag keeps no line break: it reads back as blanks.
    EXPECT_NE(after.find("\tNew \"Alb\"  x\t"), std::string::npos) << after;
    EXPECT_NE(after.find("\tNew\t"), std::string::npos);
    EXPECT_NE(Cli({"undo", "--list"}).out.find("import tags of 2 files"), std::string::npos);
    EXPECT_EQ(Cli({"undo"}).status, 0);
    EXPECT_EQ(Show(), before);
}

TEST_F(TableCommands, BadRowsAreReportedAndSkippedTheRestApplied) {
    const std::string csv =
        "\xEF\xBB\xBF" "Album,extra,PATH,year,track,genre,other\r\n" // BOM, any order, unknown columns
        "ok,,M/A.mp3,,,,\r\n"                                         // row 2, relative path
        "x,,M/missing.mp3,,,,\r\n"                                    // row 3
        "x,," + Csv(a_) + ",19999,,,\r\n"                                  // row 4
        "x,," + Csv(a_) + ",,256,,\r\n"                                    // row 5
        "x,," + Csv(a_) + ",,,Nope,\r\n"                                   // row 6
        "x,," + Csv(a_) + ",,\r\n"                                         // row 7: too few fields
        "y,,M/S/new\\nline.mp3,199?,3,rock,\r\n"                      // row 8
        "z,," + dir_ / "M/S/../S/new\\nline.mp3" + ",,,,\r\n"         // row 9: same as 8
        ",,,,,,\r\n";                                                 // row 10: only commas
    const std::string file = dir_.WriteFile("t.csv", csv);
    const CliRun r = Cli({"tag", "import", file});
    EXPECT_EQ(r.status, 1);
    const std::string f = "veltrane-cli: " + file + ": ";
    EXPECT_EQ(r.err,
              f + "warning: unknown columns ignored: extra other\n" +
              f + "row 3: " + dir_ / "M/missing.mp3" + ": File not found; row skipped\n" +
              f + "row 4: the year 19999 is longer than 4 bytes; row skipped\n" +
              f + "row 5: the track 256 is neither empty nor a number from 1 to 255; row skipped\n" +
              f + "row 6: unknown genre Nope; row skipped\n" +
              f + "row 7: 5 fields where the header has 7; row skipped\n" +
              f + "row 8: the path " + dir_ / "M/S/new\\nline.mp3" + " is given again in a later row; row skipped\n" +
              f + "row 9: the path " + dir_ / "M/S/new\\nline.mp3" + " is given twice (first in row 8); row skipped\n" +
              f + "row 10: the path is empty; row skipped\n");
    EXPECT_NE(Show().find("A.mp3\t1\tOdd\t\tok\t"), std::string::npos) << Show();
    EXPECT_EQ(dir_.ReadFile("M/S/new\nline.mp3"), Mp3BytesNoTag(300)); // neither row 8 nor 9
}

TEST_F(TableCommands, ATableThatCannotBeReadWritesNothing) {
    const std::string before = Show();
    const std::string good = "path,album\r\n" + a_ + ",X\r\n";
    const std::string cases[] = {good + "\"" + b_ + ",X\r\n", good + b_ + ",X\0\r\n"s.substr(0, 3),
                                 "path,album\r" + a_ + ",X\r"};
    for (const std::string& text : cases) {
        const std::string file = dir_.WriteFile("bad.csv", text);
        const CliRun r = Cli({"tag", "import", file});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(": row "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("; nothing imported"), std::string::npos) << r.err;
        EXPECT_EQ(Show(), before);
    }
}

// A second reader and writer of CSV: Python's csv module reads our table and writes it back
// unchanged, then with the album column filled down from its first row.
TEST_F(TableCommands, ASpreadsheetWriterRoundTripsAndAFillDownImportsJustThat) {
    if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with its csv module is missing";
    const std::string in = dir_.WriteFile("in.csv", Export("csv"));
    const std::string script = dir_.WriteFile(
        "rt.py",
        "import csv, sys\n"
        "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
        "if sys.argv[3] == 'fill':\n"
        "    col = rows[0].index('album')\n"
        "    for r in rows[2:]: r[col] = rows[1][col]\n"
        "csv.writer(open(sys.argv[2], 'w', newline='', encoding='utf-8')).writerows(rows)\n");
    const std::string same = dir_ / "same.csv", filled = dir_ / "filled.csv";
    ASSERT_EQ(std::system(("python3 " + script + " " + in + " " + same + " keep").c_str()), 0);
    ASSERT_EQ(std::system(("python3 " + script + " " + in + " " + filled + " fill").c_str()), 0);
    EXPECT_EQ(dir_.ReadFile("same.csv"), dir_.ReadFile("in.csv")); // byte for byte
    const CliRun r = Cli({"tag", "import", "--dry-run", filled});
    EXPECT_EQ(r.status, 0) << r.err;
    // Sorted as list sorts: a,"b" (album Alb) first, then A.mp3, S/new\nline, \\x41 (Alb).
    const std::string rows = r.out.substr(r.out.find('\n') + 1);
    EXPECT_EQ(rows, dir_ / "M/A.mp3" + "\talbum\t\tAlb\t\n" + dir_ / "M/S/new\\nline.mp3" +
                        "\talbum\t\tAlb\t\n");
}

// The spreadsheet itself: LibreOffice Calc, headless, reads the exported table (every column
// as text, as a user would import it to keep "0012" and "199?") and saves it back as CSV,
// which imports with no change; a macro fills the album column down from its first row, as
// Sheet > Fill Cells > Down does, and the import changes exactly those albums.
TEST_F(TableCommands, LibreOfficeRoundTripsAndAFillDownImportsJustThat) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice (soffice, Debian libreoffice-calc-nogui) is missing";
    const std::string in = dir_.WriteFile("lo/in.csv", Export("csv"));
    const std::string profile = dir_ / "lo/profile";
    const std::string soffice = "soffice -env:UserInstallation=file://" + profile + " --headless ";
    const std::string textColumns = "44,34,76,1,1/2/2/2/3/2/4/2/5/2/6/2/7/2/8/2";
    const std::string convert = soffice + "--infilter=CSV:" + textColumns +
                                " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir " +
                                (dir_ / "lo/out") + " " + in + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(convert.c_str()), 0);
    const std::string same = dir_ / "lo/out/in.csv";
    CliRun r = Cli({"tag", "import", "--dry-run", same});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "file\tfield\told\tnew\tnote\n");

    // The first start made the profile; its standard library gets the macro.
    dir_.WriteFile("lo/profile/user/basic/Standard/Module1.xba", R"xba(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" script:language="StarBasic">
Sub FillDown(InFile As String, OutFile As String, Column As String)
  Dim Load(2) As New com.sun.star.beans.PropertyValue
  Load(0).Name = "FilterName" : Load(0).Value = "Text - txt - csv (StarCalc)"
  Load(1).Name = "FilterOptions" : Load(1).Value = ")xba" + textColumns + R"xba("
  Load(2).Name = "Hidden" : Load(2).Value = True
  Doc = StarDesktop.loadComponentFromURL(ConvertToURL(InFile), "_blank", 0, Load())
  Sheet = Doc.Sheets.getByIndex(0)
  Cursor = Sheet.createCursor()
  Cursor.gotoEndOfUsedArea(False)
  For C = 0 To Cursor.RangeAddress.EndColumn
    If Sheet.getCellByPosition(C, 0).String = Column Then
      Sheet.getCellRangeByPosition(C, 1, C, Cursor.RangeAddress.EndRow).fillSeries(_
        com.sun.star.sheet.FillDirection.TO_BOTTOM, com.sun.star.sheet.FillMode.SIMPLE,_
        com.sun.star.sheet.FillDateMode.FILL_DATE_DAY, 0, 0)
    End If
  Next C
  Dim Store(1) As New com.sun.star.beans.PropertyValue
  Store(0).Name = "FilterName" : Store(0).Value = "Text - txt - csv (StarCalc)"
  Store(1).Name = "FilterOptions" : Store(1).Value = "44,34,76,1"
  Doc.storeToURL(ConvertToURL(OutFile), Store())
  Doc.close(True)
End Sub
</script:module>
)xba");
    const std::string filled = dir_ / "lo/filled.csv";
    const std::string macro = soffice + "'macro:///Standard.Module1.FillDown(\"" + in + "\",\"" +
                              filled + "\",\"album\")' >/dev/null 2>&1";
    ASSERT_EQ(std::system(macro.c_str()), 0);
    r = Cli({"tag", "import", "--dry-run", filled});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "file\tfield\told\tnew\tnote\n" + dir_ / "M/A.mp3" + "\talbum\t\tAlb\t\n" +
                         dir_ / "M/S/new\\nline.mp3" + "\talbum\t\tAlb\t\n");
    r = Cli({"tag", "import", filled});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Show().find("A.mp3\t1\tOdd\t\tAlb\t"), std::string::npos) << Show();
}

} // namespace
} // namespace veltrane::cli
