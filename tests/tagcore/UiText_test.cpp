// The logic's texts: English without a lookup, the installed lookup's text with one, and
// patterns whose arguments a translation may reorder.

#include "tagcore/InOutError.h"
#include "tagcore/UiText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace veltrane {
namespace {

TEST(FillText, ReplacesNumberedArguments) {
    const struct {
        const char* Pattern;
        std::initializer_list<std::string_view> Args;
        const char* Expected;
    } cases[] = {
        {"%1 files selected", {"3"}, "3 files selected"},
        {"numbering from %1 fits %2 of %3",
         {"7", "249", "300"},
         "numbering from 7 fits 249 of 300"},
        {"%2 vor %1", {"a", "b"}, "b vor a"},                   // a translation's own order
        {"%1%1", {"x"}, "xx"},                                  // one argument twice
        {"100% of %1", {"/m/50%2.mp3"}, "100% of /m/50%2.mp3"}, // an argument's "%" stays
        {"%3 missing", {"a"}, "%3 missing"},                    // no such argument: left as written
        {"ends in %", {"a"}, "ends in %"},
        {"%0 and %9", {"a"}, "%0 and %9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FillText(c.Pattern, c.Args), c.Expected) << c.Pattern;
}

std::string Shout(const char* Context, const char* Text) {
    return std::string(Context) + ":" + Text + "!";
}

TEST(UiText, EnglishUntilALookupIsInstalled) {
    EXPECT_EQ(UiText("InOutError", "File not found"), "File not found");
    EXPECT_EQ(ShownIoErrorText(2), "File not found");
    EXPECT_EQ(ShownIoErrorText(7), "I/O error 7");
    SetTextLookup(&Shout);
    EXPECT_EQ(UiText("Ctx", "Text"), "Ctx:Text!");
    EXPECT_EQ(ShownIoErrorText(2), "InOutError:File not found!");
    EXPECT_EQ(ShownIoErrorText(7), "InOutError:I/O error 7!");
    // The exception's own text stays English: it is compared and written to logs.
    EXPECT_STREQ(EInOutError(2).what(), "File not found");
    EXPECT_EQ(IoErrorText(7), "I/O error 7");
    SetTextLookup(nullptr);
    EXPECT_EQ(UiText("Ctx", "Text"), "Text");
}

} // namespace
} // namespace veltrane
