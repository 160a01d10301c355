// The batch actions: case rules, replace, format, the cut to the field widths, the limits of
// a pattern, and the step over files with its preview.

#include "editing/TagActions.h"

#include "editing/JournaledSteps.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TTagAction Replace(std::string Find, std::string With, bool IgnoreCase, bool Regex,
                   unsigned Fields = afTitle) {
    TActionSpec spec;
    spec.Kind = TActionKind::akReplace;
    spec.Fields = Fields;
    spec.Find = std::move(Find);
    spec.With = std::move(With);
    spec.IgnoreCase = IgnoreCase;
    spec.Regex = Regex;
    return TTagAction(spec);
}

TTagAction Format(std::string Pattern, unsigned Fields = afComment) {
    TActionSpec spec;
    spec.Kind = TActionKind::akFormat;
    spec.Fields = Fields;
    spec.Pattern = std::move(Pattern);
    return TTagAction(spec);
}

TTagAction Case(TCaseMode Mode, unsigned Fields) {
    TActionSpec spec;
    spec.Fields = Fields;
    spec.Mode = Mode;
    return TTagAction(spec);
}

TEST(TagActions, CaseRules) {
    const TagCodec latin1("ISO-8859-1");
    const struct {
        const char* in;
        TCaseMode mode;
        const char* out;
        const TagCodec* codec;
    } cases[] = {
        {"don't", TCaseMode::cmTitle, "Don't", nullptr},
        {"jean-luc's", TCaseMode::cmTitle, "Jean-Luc's", nullptr},
        {"AC/DC", TCaseMode::cmTitle, "Ac/Dc", nullptr},
        {"part ii (xiv) [iv] \"xxxix\" ix. xxxviii", TCaseMode::cmTitle,
         "Part II (XIV) [IV] \"XXXIX\" IX. XXXVIII", nullptr},
        {"mix civil vivid xl iiii vx", TCaseMode::cmTitle, "Mix Civil Vivid Xl Iiii Vx", nullptr},
        {"über {best} of/the  rest", TCaseMode::cmTitle, "Über {Best} Of/The  Rest", nullptr},
        {"'til dawn", TCaseMode::cmTitle, "'til Dawn", nullptr},
        {"1st PLACE", TCaseMode::cmTitle, "1st Place", nullptr},
        {"ROCKY ii", TCaseMode::cmSentence, "Rocky II", nullptr},
        {"'til DAWN", TCaseMode::cmSentence, "'Til dawn", nullptr},
        {"1st PLACE", TCaseMode::cmSentence, "1st place", nullptr},
        {"i am (ii)", TCaseMode::cmSentence, "I am (II)", nullptr},
        {"straße ǆ ı i", TCaseMode::cmUpper, "STRAßE Ǆ I I", nullptr}, // simple mapping, no locale
        {"ÀÉ Part II", TCaseMode::cmLower, "àé part ii", nullptr},
        // Within the code page: Latin-1 has no Ÿ or Greek Mu, Windows-1252 has Ÿ.
        {"ÿ µ é", TCaseMode::cmUpper, "ÿ µ É", &latin1},
        {"ÿ µ é", TCaseMode::cmUpper, "Ÿ µ É", &TagCodec::Default()},
        {"a\xff" "b", TCaseMode::cmUpper, "A\xff" "B", nullptr}, // invalid bytes stay
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangeCase(c.in, c.mode, c.codec), c.out) << c.in;
}

TEST(TagActions, ReplaceCases) {
    const TMP3Tag none;
    const struct {
        const char* find;
        const char* with;
        bool ignoreCase, regex;
        const char* in;
        const char* out;
    } cases[] = {
        {"feat.", "ft.", false, false, "A feat. B feat. C Feat.", "A ft. B ft. C Feat."},
        {"aa", "X", false, false, "aaaaa", "XXa"}, // left to right, no overlaps
        {"FEAT.", "ft.", true, false, "Feat. x feat.", "ft. x ft."},
        {"ÜBER", "$1", true, false, "über Über", "$1 $1"}, // plain text takes no references
        {"k", "-", true, false, "Kelvin \u212a", "-elvin -"}, // Unicode simple case folding
        {"(\\w+) - (\\w+)", "$2 - $1", false, true, "Band - Song", "Song - Band"},
        {"(?<a>\\w+)/(?<b>\\w+)", "${b}/${a} $$", false, true, "über/straße", "straße/über $"},
        {"(x)|(y)", "[$1${2}]", false, true, "xy", "[x][y]"}, // an unset group is empty
        {"o", "0", false, true, "Foo", "F00"},
        {"x*", "-", false, true, "ab", "-a-b-"},
        {"MIX", "mix", true, true, "Remix mIx", "Remix mix"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Replace(c.find, c.with, c.ignoreCase, c.regex).Apply(c.in, none), c.out)
            << c.find << " in " << c.in;
}

TEST(TagActions, SpecsThatCannotRun) {
    const auto where = [](const std::function<void()>& make) {
        try {
            make();
        } catch (const EActionSpec& e) {
            return std::pair<int, std::string>(e.Where, e.what());
        }
        return std::pair<int, std::string>(-1, "");
    };
    const std::string huge(kMaxActionText + 1, 'a'), most(kMaxActionText, 'a');
    const struct {
        std::function<void()> make;
        int where;
        const char* text;
    } cases[] = {
        {[] { Replace("a(b", "", false, true); }, EActionSpec::wFind,
         "missing closing parenthesis at character 4"},
        {[] { Replace("ä[", "", false, true); }, EActionSpec::wFind, "at character 3"},
        {[] { Replace("a(b", "", false, false); }, -1, ""}, // plain text compiles as it stands
        {[] { Replace("", "x", false, false); }, EActionSpec::wFind, "nothing to find"},
        {[] { Replace("(a)", "$2", false, true); }, EActionSpec::wWith, "at character 3"},
        {[] { Replace("(?<x>a)", "${y}", false, true); }, EActionSpec::wWith, "unknown"},
        {[] { Replace("(?<x>a)", "${x", false, true); }, EActionSpec::wWith, "at character 4"},
        {[&] { Replace(huge, "", false, false); }, EActionSpec::wFind, "longer than 4096 bytes"},
        {[&] { Replace("a", huge, false, false); }, EActionSpec::wWith, "longer than 4096 bytes"},
        {[&] { Replace(most, most, false, false); }, -1, ""},
        {[] { Format("%titel%"); }, EActionSpec::wPattern, "unknown placeholder %titel%"},
        {[] { Format("100% sure"); }, EActionSpec::wPattern, "a % at character 4 has no closing"},
        {[] { Format("%title%", afTitle | afAlbum); }, EActionSpec::wFields, "one field"},
        {[] { Case(TCaseMode::cmUpper, 0); }, EActionSpec::wFields, "no field"},
    };
    for (const auto& c : cases) {
        const auto [at, text] = where(c.make);
        EXPECT_EQ(at, c.where) << c.text;
        EXPECT_NE(text.find(c.text), std::string::npos) << text;
    }
}

TEST(TagActions, FormatCases) {
    TMP3Tag tag;
    tag.FileName = "/music/Live/07 Song.v2.mp3";
    tag.Header = "TAG";
    tag.Title = "T";
    tag.Artist = "A";
    tag.Album = "B";
    tag.Year = "1999";
    tag.Comment = "C";
    tag.Genre = 17;
    tag.Track = 7;
    TMP3Tag untagged;
    untagged.FileName = "/x/.hidden";
    const struct {
        const char* pattern;
        const TMP3Tag* tag;
        const char* out;
    } cases[] = {
        {"%title%|%artist%|%album%|%year%|%comment%", &tag, "T|A|B|1999|C"},
        {"[%genre%] #%track% %file%", &tag, "[Rock] #7 07 Song.v2"},
        {"100%% %%title%%", &tag, "100% %title%"},
        {"%title%%genre%%track%|%file%", &untagged, "|.hidden"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.pattern).Apply("ignored", *c.tag), c.out) << c.pattern;
    tag.Genre = 255;
    tag.Track = 0;
    EXPECT_EQ(Format("%genre%%track%").Apply("", tag), "");
}

TEST(TagActions, StoredValuesAreCutAndNamed) {
    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Title = "Song  ";
    tag.Comment = "short";
    tag.Track = 3;
    tag.Year = "1999";
    const std::string forty(40, 'x');
    // Comment beside a track: 28 bytes; the year 4; a blank-padded result is no change.
    TMP3Tag t = tag;
    TActionOutcome o = ApplyTagAction(Format(forty), t, TagCodec::Default());
    EXPECT_EQ(o.Changed, unsigned(afComment));
    EXPECT_EQ(o.Cut, unsigned(afComment));
    EXPECT_EQ(t.Comment, forty.substr(0, 28));
    t = tag;
    o = ApplyTagAction(Format("2000s", afYear), t, TagCodec::Default());
    EXPECT_EQ(o.Cut, unsigned(afYear));
    EXPECT_EQ(t.Year, "2000");
    t = tag;
    EXPECT_EQ(ApplyTagAction(Format("%year%0", afYear), t, TagCodec::Default()).Changed, 0u);
    t = tag;
    t.Track = 0;
    o = ApplyTagAction(Format(std::string(30, 'y') + " "), t, TagCodec::Default());
    EXPECT_EQ(o.Cut, 0u);
    t = tag;
    o = ApplyTagAction(Replace("Song", "Süng ☃", false, false), t, TagCodec::Default());
    EXPECT_EQ(o.Lossy, unsigned(afTitle));
    EXPECT_EQ(t.Title, "Süng ?");
    t = tag;
    EXPECT_EQ(ApplyTagAction(Replace("x", "y", false, false), t, TagCodec::Default()).Changed, 0u);
}

TEST(TagActions, PlanNamesLimitsAndTheStepWritesWhatItShowed) {
    test::TestDir dir;
    const std::string hit = dir.WriteFile(
        "a.mp3", test::Mp3Bytes(20000, {std::string(29, 'a') + "b", "", "", "", "", 17}));
    const std::string ok =
        dir.WriteFile("b.mp3", test::Mp3Bytes(20000, {"aaa", "", "", "", "", 17}));
    const std::string same = dir.WriteFile("c.mp3", test::Mp3Bytes(20000, {"zzz", "", "", "", ""}));
    const std::string gone = dir / "missing.mp3";
    const TTagAction action = Replace("(a+)+$", "X", false, true);
    EXPECT_THROW(action.Apply(std::string(29, 'a') + "b", {}), EActionLimit);

    const TActionPlan plan = PlanTagAction({hit, ok, same, gone, ok}, action, TagCodec::Default());
    ASSERT_EQ(plan.Files.size(), 1u);
    EXPECT_EQ(plan.Files[0].Path, ok);
    EXPECT_EQ(plan.Limit, std::vector<std::string>{hit});
    ASSERT_EQ(plan.ReadFailures.size(), 1u);
    ASSERT_EQ(plan.Preview.size(), 4u); // the path named twice is done once
    EXPECT_EQ(plan.Preview[0].State, TPreviewState::psFailed);
    EXPECT_EQ(plan.Preview[1].New, "X");
    EXPECT_EQ(plan.Preview[2].State, TPreviewState::psUnchanged);
    EXPECT_EQ(plan.Preview[3].State, TPreviewState::psFailed);

    const TActionResult result =
        ApplyTagActionPlan(plan, action, TagCodec::Default(), {}, nullptr);
    EXPECT_EQ(result.Written, 1u);
    EXPECT_EQ(result.Limit, std::vector<std::string>{hit});
    EXPECT_EQ(GetMP3Tag(ok).Title, "X");
    EXPECT_EQ(GetMP3Tag(hit).Title, std::string(29, 'a') + "b");

    // Retagged after the plan: the step leaves it alone.
    const TActionPlan again = PlanTagAction({ok}, Replace("X", "Y", false, false),
                                            TagCodec::Default());
    TMP3Tag changed = GetMP3Tag(ok);
    changed.Title = "Xtra";
    SetMP3Tag(ok, changed);
    const TActionResult late = ApplyTagActionPlan(again, Replace("X", "Y", false, false),
                                                  TagCodec::Default(), {}, nullptr);
    EXPECT_EQ(late.Failures.size(), 1u);
    EXPECT_EQ(GetMP3Tag(ok).Title, "Xtra");
}

TEST(TagActions, RunWritesOnlyChangedFilesAndNamesTheCut) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(20000, {"one", "", "", "", "", 1}));
    const std::string b = dir.WriteFile("b.mp3", test::Mp3Bytes(20000, {"ONE", "", "", "", "", 1}));
    const std::string c = dir.WriteFile("c.mp3", test::Mp3BytesNoTag(20000));
    const TActionResult result = RunTagAction(
        {a, b, c}, Format("%title% " + std::string(30, '-'), afTitle), TagCodec::Default(), {},
        nullptr);
    EXPECT_EQ(result.Written, 3u);
    EXPECT_EQ(result.Cut, (std::vector<std::string>{a, b, c}));
    const TActionResult upper =
        RunTagAction({a, b, c}, Case(TCaseMode::cmUpper, afTitle), TagCodec::Default(), {}, nullptr);
    EXPECT_EQ(upper.Written, 1u);
    EXPECT_EQ(upper.Unchanged, 2u);
    EXPECT_EQ(GetMP3Tag(a).Title, "ONE " + std::string(26, '-'));
}

} // namespace
} // namespace veltrane
