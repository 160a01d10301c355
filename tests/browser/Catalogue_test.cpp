// The German and Russian catalogues as the build merged them with the sources' current texts: the main window,
// the editors, the preferences and the messages have no text left untranslated.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

struct TContextCount {
    int Finished = 0;
    std::string Unfinished; // the sources, one a line
};

std::map<std::string, TContextCount> ReadCatalogue(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::map<std::string, TContextCount> counts;
    static const std::regex context(R"re(<context>\s*<name>([^<]*)</name>([\s\S]*?)</context>)re");
    static const std::regex message(
        R"re(<message>\s*<source>([^<]*)</source>\s*(?:<comment>[^<]*</comment>\s*)?<translation( type="unfinished")?)re");
    for (std::sregex_iterator c(text.begin(), text.end(), context), end; c != end; ++c) {
        TContextCount& count = counts[(*c)[1]];
        const std::string body = (*c)[2];
        for (std::sregex_iterator m(body.begin(), body.end(), message); m != end; ++m) {
            if ((*m)[2].matched)
                count.Unfinished += std::string((*m)[1]) + "\n";
            else
                ++count.Finished;
        }
    }
    return counts;
}

class Catalogue : public testing::TestWithParam<const char*> {};

TEST_P(Catalogue, MainWindowEditorsAndMessagesAreTranslated) {
    const std::string path =
        std::string(VELTRANE_MERGED_CATALOGUES) + "/veltrane_" + GetParam() + ".ts";
    const auto counts = ReadCatalogue(path);
    ASSERT_FALSE(counts.empty()) << path;
    const struct {
        const char* Context;
        int AtLeast; // translated texts the context has today
    } expected[] = {
        {"veltrane::TMainForm", 14},
        {"HelpTexts", 40},
        {"MainFileList", 8},
        {"veltrane::TFormEditMP3Tag", 14},
        {"veltrane::TFormEditMore", 13},
        {"veltrane::TFormPreferences", 10},
        {"veltrane::TFormHelp", 2},
        {"veltrane::TFormPlayListEditor", 30},
        {"MainCommands", 5},
        {"InOutError", 8},
        {"TMsgBox", 7},
        {"veltrane::TFormGetTagFromFilename", 12},
        {"veltrane::TFormRename", 7},
        {"veltrane::TFormDeSelect", 8},
        {"veltrane::TFormActions", 27},
        {"TagActions", 10},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.Context);
        const auto it = counts.find(e.Context);
        ASSERT_NE(it, counts.end());
        EXPECT_EQ(it->second.Unfinished, "");
        EXPECT_GE(it->second.Finished, e.AtLeast);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, Catalogue, testing::Values("de", "ru"));

} // namespace
