// Code pages as users' folders hold them: albums of one script, a folder mixing scripts, short
// texts only an ID3v2 tag can decide; writes that keep each file's code page and every byte
// of what is no character; the cut at a character boundary; recode with refusal and undo.

#include "CliRun.h"

#include "editing/ChangeJournal.h"
#include "support/Id3v2Builder.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/CodePageGuess.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <map>

namespace veltrane::cli {
namespace {

// UTF-8 text in a code page, as the program that wrote the tag did (iconv, not our codec).
std::string In(const std::string& page, const std::string& utf8) {
    iconv_t cd = iconv_open(page.c_str(), "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* o = out.data();
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    EXPECT_NE(rc, static_cast<std::size_t>(-1)) << page << ": " << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

struct Song {
    const char* Title;
    const char* Artist;
};
struct Album {
    const char* Folder;
    const char* Page;   // iconv's name of what wrote it
    const char* Shown;  // what "tag codepage" names
    const char* Artist;
    const char* Album;
    std::vector<const char*> Titles;
};

const std::vector<Album> kAlbums = {
    {"ru", "CP1251", "WINDOWS-1251", "Кино", "Группа крови",
     {"Группа крови", "Закрой за мной дверь, я ухожу", "Война", "Спокойная ночь", "Мама, мы все сошли с ума"}},
    {"el", "CP1253", "WINDOWS-1253", "Μίκης Θεοδωράκης", "Επιφάνεια",
     {"Άρνηση", "Το γελαστό παιδί", "Στρώσε το στρώμα σου", "Όμορφη πόλη", "Σαββατόβραδο"}},
    {"pl", "CP1250", "WINDOWS-1250", "Czesław Niemen", "Dziwny jest ten świat",
     {"Dziwny jest ten świat", "Wspomnienie", "Jednego serca", "Sen o Warszawie", "Pielgrzym"}},
    {"cs", "CP1250", "WINDOWS-1250", "Marta Kubišová", "Songy a balady",
     {"Modlitba pro Martu", "Hej, Jude", "Ne, ne, ne", "Cesta", "Stín katedrál"}},
    {"tr", "CP1254", "WINDOWS-1254", "Sezen Aksu", "Gülümse",
     {"Gülümse", "Hadi bakalım", "Firuze", "Şarkı söylemek lazım", "Küçüğüm"}},
    {"ja", "CP932", "CP932", "中島みゆき", "寒水魚",
     {"時代", "糸", "地上の星", "ファイト！", "悪女"}},
    {"zh-cn", "CP936", "CP936", "王菲", "唱游",
     {"红豆", "容易受伤的女人", "传奇", "我愿意", "匆匆那年"}},
    {"zh-tw", "CP950", "CP950", "鄧麗君", "淡淡幽情",
     {"月亮代表我的心", "甜蜜蜜", "小城故事", "我只在乎你", "但願人長久"}},
    {"ko", "CP949", "CP949", "아이유", "꽃갈피",
     {"좋은 날", "너의 의미", "밤편지", "팔레트", "사랑이 잘"}},
    {"fr", "CP1252", "WINDOWS-1252", "Édith Piaf", "Chansons françaises",
     {"La Vie en rose", "Non, je ne regrette rien", "Hymne à l'amour", "Milord", "Padam, padam"}},
    {"he", "CP1255", "WINDOWS-1255", "נעמי שמר", "שירים",
     {"ירושלים של זהב", "לו יהי", "על כל אלה", "שירת העשבים", "חורשת האקליפטוס"}},
    {"ar", "CP1256", "WINDOWS-1256", "فيروز", "أغاني",
     {"نسم علينا الهوى", "زهرة المدائن", "حبيتك بالصيف", "سألوني الناس", "كيفك انت"}},
    {"is", "UTF-8", "UTF-8", "Sigur Rós", "Takk...",
     {"Hoppípolla", "Sæglópur", "Glósóli", "Svo hljótt", "Mílanó"}},
};

class CodePages : public ::testing::Test {
  protected:
    CodePages() : journal_(state_.path().string() + "/veltrane") { SetActiveJournal(&journal_); }
    ~CodePages() override { SetActiveJournal(nullptr); }

    std::string Write(const std::string& name, const std::string& page, const std::string& title,
                      const std::string& artist, const std::string& album = "",
                      const std::string& v2 = "") {
        return dir_.WriteFile(name, v2 + test::Mp3Bytes(300, {In(page, title).substr(0, 30),
                                                                In(page, artist).substr(0, 30),
                                                                In(page, album).substr(0, 30),
                                                                "1990", "", 255}));
    }
    std::map<std::string, std::string> CodePagesOf(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"tag", "codepage"};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun r = Cli(all);
        EXPECT_EQ(r.status, 0) << r.err;
        std::map<std::string, std::string> pages;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            pages[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
        return pages;
    }

    test::TestDir state_, dir_;
    TChangeJournal journal_;
};

TEST_F(CodePages, AlbumsOfEachScriptAndAFolderMixingThem) {
    std::map<std::string, std::string> expected;
    for (const Album& a : kAlbums)
        for (std::size_t i = 0; i < a.Titles.size(); ++i)
            expected[Write(std::string(a.Folder) + "/" + std::to_string(i) + ".mp3", a.Page,
                           a.Titles[i], a.Artist, a.Album)] = a.Shown;
    // One song of each album in one folder, and an ASCII one.
    for (const Album& a : kAlbums)
        expected[Write(std::string("mixed/") + a.Folder + ".mp3", a.Page, a.Titles[1], a.Artist,
                       a.Album)] = a.Shown;
    expected[Write("mixed/ascii.mp3", "CP1252", "Yesterday", "The Beatles")] = "ASCII";
    // Short texts: alone they say little; the ID3v2 title in UTF-8 decides.
    expected[Write("mixed/oi.mp3", "CP1251", "Ой", "", "",
                   test::Id3v2Bytes({{"TIT2", {"Ой"}}}))] = "WINDOWS-1251";
    expected[Write("mixed/ai.mp3", "CP932", "愛", "", "", test::Id3v2Bytes({{"TIT2", {"愛"}}}))] =
        "CP932";
    // With no folder to help, the ID3v2 tag alone.
    expected[Write("v2/oi.mp3", "CP1251", "Ой", "", "", test::Id3v2Bytes({{"TIT2", {"Ой"}}}))] =
        "WINDOWS-1251";
    // The folder rule: a short title among its album's files takes the album's code page;
    // alone, "Ой" would read better as Greek.
    expected[Write("ru/short.mp3", "CP1251", "Ой", "")] = "WINDOWS-1251";

    const std::map<std::string, std::string> got = CodePagesOf({"--recursive", dir_.path().string()});
    std::size_t wrong = 0;
    for (const auto& [path, page] : expected) {
        EXPECT_EQ(got.count(path) ? got.at(path) : "(none)", page) << path;
        wrong += got.count(path) && got.at(path) != page;
    }
    EXPECT_EQ(wrong, 0u);
    // Named one by one, the files of a folder are that folder's set: the same answers.
    EXPECT_EQ(CodePagesOf({dir_ / "ru/short.mp3", dir_ / "ru/0.mp3", dir_ / "ru/1.mp3",
                           dir_ / "ru/2.mp3"})[dir_ / "ru/short.mp3"],
              "WINDOWS-1251");
    // Auto reads each file in its code page (the ID3v2 tag read through the file open for
    // the ID3v1 tag).
    const CliRun show = Cli({"tag", "show", "--codepage", "auto", dir_ / "mixed/zh-tw.mp3",
                             dir_ / "v2/oi.mp3"});
    EXPECT_NE(show.out.find("\t甜蜜蜜\t鄧麗君\t淡淡幽情\t"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\tОй\t"), std::string::npos) << show.out;
}

TEST_F(CodePages, WritesKeepTheFilesCodePageAndEveryByteOfWhatIsNoCharacter) {
    const std::string ru = Write("ru/a.mp3", "CP1251", "Группа крови", "Кино");
    const std::string ja = Write("ja/a.mp3", "CP932", "地上の星", "中島みゆき");
    CliRun r = Cli({"tag", "set", "--codepage", "auto", "--album", "Звезда", ru});
    EXPECT_EQ(r.err, ""); // the file holds all of it
    r = Cli({"tag", "set", "--codepage", "auto", "--album", "Café", ru});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "veltrane-cli: characters the file's code page cannot hold were written as "
                     "\"?\":\n  " + ru + " (WINDOWS-1251)\n");
    std::string tag = dir_.ReadFile("ru/a.mp3").substr(300);
    EXPECT_EQ(tag.substr(63, 5), "Caf? "); // Windows-1252, the default, would hold it
    EXPECT_EQ(tag.substr(3, 12), In("CP1251", "Группа крови"));

    // The cut drops a whole character: 1 + 14 double-byte characters, not half of the 15th.
    ASSERT_EQ(Cli({"tag", "set", "--codepage", "auto", "--album", "a星星星星星星星星星星星星星星星", ja}).status, 0);
    tag = dir_.ReadFile("ja/a.mp3").substr(300);
    EXPECT_EQ(tag.substr(63, 30), "a" + In("CP932", "星星星星星星星星星星星星星星") + " ");

    // Bytes of no character (a lone lead byte, an unassigned one) survive a write of another field.
    for (const auto& [page, raw] : std::vector<std::pair<std::string, std::string>>{
             {"CP932", "\x82\xa0\x85\x40\xfd x\x81"}, {"UTF-8", "\xd0\x93\xc3 \xff\xe2\x82"},
             {"CP936", "\x80\xff\xa1"}, {"WINDOWS-1251", "\x98\xc0"}}) {
        const std::string f = dir_.WriteFile("raw.mp3", test::Mp3Bytes(300, {"t", "", "", "", raw, 255}));
        ASSERT_EQ(Cli({"tag", "set", "--codepage", page, "--title", "New", f}).status, 0) << page;
        EXPECT_EQ(dir_.ReadFile("raw.mp3").substr(300 + 97, raw.size()), raw) << page;
    }
}

TEST_F(CodePages, RecodeRefusesWhatTheTargetCannotHoldAndUndoTakesItBack) {
    const std::string is = Write("is/a.mp3", "UTF-8", "Hoppípolla", "Sigur Rós");
    const std::string ru = Write("is/b.mp3", "UTF-8", "Группа крови", "Кино");
    const std::string ascii = Write("is/c.mp3", "UTF-8", "Yesterday", "The Beatles");
    const std::string long1251 = Write("ru/a.mp3", "CP1251", "Звезда по имени Солнце", "Кино");
    const std::string before[] = {dir_.ReadFile("is/a.mp3"), dir_.ReadFile("is/b.mp3"),
                                  dir_.ReadFile("ru/a.mp3")};

    CliRun r = Cli({"tag", "recode", "--from", "auto", "--to", "windows-1252", "--dry-run", is, ru, ascii});
    EXPECT_EQ(r.out, is + "\tUTF-8\tWINDOWS-1252\n");
    EXPECT_EQ(r.err, "veltrane-cli: " + ru + ": refused: WINDOWS-1252 cannot hold \"Г\" (title)\n");
    EXPECT_EQ(dir_.ReadFile("is/a.mp3"), before[0]);

    r = Cli({"tag", "recode", "--from", "auto", "--to", "WINDOWS-1252", "--sync-v2", is, ru, ascii});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(dir_.ReadFile("is/a.mp3").substr(303, 10), In("CP1252", "Hoppípolla"));
    EXPECT_EQ(dir_.ReadFile("is/b.mp3"), before[1]);
    r = Cli({"tag", "recode", "--from", "WINDOWS-1251", "--to", "UTF-8", long1251});
    EXPECT_EQ(r.err, "veltrane-cli: " + long1251 + ": refused: would be cut in UTF-8 (title)\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Cli({"tag", "recode", "--from", "WINDOWS-1251", "--to", "auto", long1251}).status, 2);

    ASSERT_EQ(Cli({"undo"}).status, 0);
    EXPECT_EQ(dir_.ReadFile("is/a.mp3"), before[0]);
    EXPECT_EQ(dir_.ReadFile("ru/a.mp3"), before[2]);
}

TEST(CodePageNames, AliasesAndTheLocaleTable) {
    for (const auto& [alias, name] : std::vector<std::pair<const char*, const char*>>{
             {"shift_jis", "CP932"}, {"SJIS", "CP932"}, {"gbk", "CP936"}, {"UHC", "CP949"},
             {"euc-kr", "CP949"}, {"Big5", "CP950"}, {"cp1251", "WINDOWS-1251"},
             {"utf8", "UTF-8"}, {"Auto", "auto"}})
        EXPECT_EQ(TagCodec::Canonical(alias), name) << alias;
    EXPECT_THROW(TagCodec("UTF-16"), std::invalid_argument);
    for (const auto& [locale, page] : std::vector<std::pair<const char*, const char*>>{
             {"ru_RU.UTF-8", "WINDOWS-1251"}, {"uk_UA", "WINDOWS-1251"}, {"ja_JP.UTF-8", "CP932"},
             {"zh_CN.UTF-8", "CP936"}, {"zh_SG", "CP936"}, {"zh_TW.UTF-8", "CP950"},
             {"zh_HK", "CP950"}, {"ko_KR.UTF-8", "CP949"}, {"cs_CZ", "WINDOWS-1250"},
             {"el_GR", "WINDOWS-1253"}, {"tr_TR", "WINDOWS-1254"}, {"he_IL", "WINDOWS-1255"},
             {"fa_IR", "WINDOWS-1256"}, {"lt_LT", "WINDOWS-1257"}, {"vi_VN", "WINDOWS-1258"},
             {"th_TH", "CP874"}, {"de_DE.UTF-8", "WINDOWS-1252"}, {"C", "WINDOWS-1252"}})
        EXPECT_EQ(LocaleCodePage(nullptr, "", locale), page) << locale;
    EXPECT_EQ(LocaleCodePage("el_GR", "ru_RU", "ja_JP"), "WINDOWS-1253");
}

// The reading's judgement skips uchardet where its opinion cannot matter: it must come to the
// guess's code page and strength on every album text, short and mixed ones included.
TEST(CodePageGuess, JudgementAgreesWithTheFullGuess) {
    std::vector<std::vector<std::string>> texts = {
        {In("CP1251", "Ой")}, {In("CP1253", "Όμορφη πόλη"), "Abc"}, {"caf\xE9"},
        {In("CP932", "愛"), In("CP932", "中島みゆき")}, {In("CP1250", "Łódź"), In("CP1251", "Кино")},
        // Where uchardet's bonus decides: a lead it closes, a page it lifts to second that
        // reads the text the same, the only close page reading it the same.
        {"zns\xE1\xE7\xE8\xDFgh\xE1"}, {"z\xFCm\xE1\xF6" "e"}, {"\xF6rx oz x\xE7uh\xFA cresb"},
        {"b\xFA" "ch \xE1o\xDFkvte"}, {"h\xE7 dwp\xFA\xF3rd"}, {"jy \xFA yzh\xDF \xE2q\xFAy zg"},
        {" \xF4 \xE1" "bq \xEBlefyt\xDF \xEBj "}, {"ax\xDFq\xDFqnr\xEBn \xF3we"}, {"\xE7st\xEB" "a\xDF \xEDwdj q\xFAnkni\xEBk\xFCm"}};
    for (const Album& a : kAlbums)
        for (const char* title : a.Titles)
            texts.push_back({In(a.Page, title).substr(0, 30), In(a.Page, a.Artist).substr(0, 30),
                             In(a.Page, a.Album).substr(0, 30), "1990", ""});
    // Random texts of letters that read alike in several Western pages, and of any byte.
    unsigned seed = 7;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    const std::string western = "\xE9\xE8\xE0\xE7\xFC\xF6\xE4\xF1\xF3\xE1\xED\xFA\xDF\xE2\xEA";
    for (int n = 0; n < 600; ++n) {
        std::string text;
        for (std::size_t len = 3 + next() % 20; text.size() < len;) {
            const unsigned r = next() % 10;
            text += r < 4 ? static_cast<char>('a' + next() % 26)
                    : r < 5 ? ' '
                    : n % 2 ? western[next() % western.size()]
                            : static_cast<char>(0x80 + next() % 128);
        }
        texts.push_back({text, n % 3 ? "" : In("CP1252", "Café")});
    }
    TCodePageResolver resolver;
    for (const std::vector<std::string>& fields : texts) {
        const TCodePageGuess full = GuessCodePage(fields), judged = resolver.Judge({}, fields);
        EXPECT_EQ(judged.CodePage, full.CodePage) << fields[0];
        EXPECT_EQ(judged.Weak, full.Weak) << fields[0];
    }
}

// A tail is ASCII by its text fields alone: a track byte above 127 is no text, the last two
// comment bytes of a tag without a track are.
TEST(CodePageGuess, AsciiTailByItsTextFields) {
    const auto tail = [](char b124, char b125, char b126) {
        std::string t(128, ' ');
        t.replace(0, 3, "TAG");
        t.replace(3, 12, "Hello World!");
        t[124] = b124, t[125] = b125, t[126] = b126;
        t[127] = '\x0C';
        return t;
    };
    struct Case {
        std::string Tail;
        bool Ascii;
    };
    for (const Case& c : std::vector<Case>{{tail('x', '\0', '\xC8'), true},
                                           {tail('x', 'y', '\x80'), false},
                                           {tail('\xE9', '\0', '\x07'), false},
                                           {tail('x', 'y', '\xE9'), false},
                                           {tail('x', '\xE9', 'y'), false},
                                           {tail('x', 'y', 'z'), true}}) {
        TCodePageResolver resolver;
        EXPECT_EQ(resolver.Decide("/nonexistent-veltrane/a.mp3", c.Tail) == 0, c.Ascii)
            << c.Tail.substr(120);
    }
}

// Each rule of the scoring, by the score a character above ASCII it gives.
TEST(CodePageGuess, ScoringRules) {
    struct Case {
        const char* Page;
        std::string Text;
        double Score;
    };
    for (const Case& c : std::vector<Case>{
             {"WINDOWS-1251", "\x98\x98", -6},          // a byte that is no character
             {"WINDOWS-1251", "\xB0\xB0", 0.3},         // a symbol
             {"WINDOWS-1252", "a'b \xE9", 3},            // an ASCII symbol between letters: free
             {"WINDOWS-1252", "a\xD7" "b", -4.5},        // one above ASCII: -2.5, and -2
             {"WINDOWS-1252", "a\xC9", 0},               // a capital after a small letter: -3
             {"WINDOWS-1252", "\xC9\xC9", 3},           // two capitals
             {"WINDOWS-1252", "\xE9\xE9" "ab", 3},      // half a word above ASCII
             {"WINDOWS-1252", "\xE9\xE9\xE9" "a", 1.5}, // more than half: -1.5 each
             {"CP932", "\x82\xA0\x82", -1.5},          // a lead byte alone: -6
             {"CP932", std::string(27, 'a') + "\x82\xA0\x82", 3}}) // ending a full field: cut
        EXPECT_DOUBLE_EQ(CodePageScore({c.Text}, TagCodec(c.Page)), c.Score) << c.Page << " " << c.Text;
}

// A folder judged while its files are read: a second weak file takes the opinion already
// formed (none here: a degree sign reads alike everywhere), and a file judged ahead that has
// changed since is judged again.
TEST_F(CodePages, FolderOpinionOnceAndFilesJudgedAheadThatChanged) {
    Write("deg/a.mp3", "CP1252", "Track \xC2\xB0 1", "");
    Write("deg/b.mp3", "CP1252", "Track \xC2\xB0 2", "");
    const CliRun r = Cli({"tag", "show", "--codepage", "auto", "--recursive", dir_ / "deg"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Track \xC2\xB0 2"), std::string::npos) << r.out;

    const std::string weak = Write("mix/a.mp3", "CP1251", "Ой", "");
    const std::string ahead = Write("mix/b.mp3", "CP1251", "Группа крови", "Кино");
    TCodePageResolver resolver;
    resolver.SetRunFiles({weak, ahead});
    const auto tailOf = [](const std::string& bytes) { return bytes.substr(bytes.size() - 128); };
    resolver.Decide(weak, tailOf(dir_.ReadFile("mix/a.mp3")));
    Write("mix/b.mp3", "CP1253", "Το γελαστό παιδί", "Μίκης Θεοδωράκης");
    EXPECT_EQ(TagCodec::ById(resolver.Decide(ahead, tailOf(dir_.ReadFile("mix/b.mp3")))).Name(),
              "WINDOWS-1253");
}

// A folder's files whose text leaves the code page open count together: three French titles
// outvote two Czech ones that decide alone, and a title that reads alike in both pages
// follows the three.
TEST_F(CodePages, FilesTheirTextLeavesOpenVoteTogether) {
    int n = 0;
    for (const char* title : {"Crème brûlée à la française", "Là où tu vas, Hélène",
                              "Ça c'est très français"})
        Write("bloc/" + std::to_string(++n) + ".mp3", "CP1252", title, "");
    Write("bloc/x.mp3", "CP1250", "Půlnoc ještě", "");
    Write("bloc/y.mp3", "CP1250", "Půlnoc ještě dnes", "");
    const std::string alike = Write("bloc/z.mp3", "CP1250", "Léto", "");
    EXPECT_EQ(CodePagesOf({dir_ / "bloc"})[alike], "WINDOWS-1252");
}

} // namespace
} // namespace veltrane::cli
