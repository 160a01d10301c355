#include "components/ui/DisplayText.h"

#include <QFile>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(DisplayText, KeepsUtf8AndShowsStrayBytesAsLatin1) {
    EXPECT_EQ(DisplayText("Die \xC3\x84rzte"), QString::fromUtf8("Die \xC3\x84rzte"));
    // An old Latin-1 name: readable, not replacement marks.
    EXPECT_EQ(DisplayText("\xE9t\xE9.mp3"), QString::fromUtf8("\xC3\xA9t\xC3\xA9.mp3"));
    // Truncated and overlong sequences are stray bytes too; the valid parts around them stay.
    EXPECT_EQ(DisplayText("a\xC3"), QString::fromUtf8("a\xC3\x83"));
    EXPECT_EQ(DisplayText("\xC0\xAF\xE2\x82\xAC"), QString::fromUtf8("\xC3\x80\xC2\xAF\xE2\x82\xAC"));
    EXPECT_TRUE(DisplayText("").isEmpty());
}

TEST(DisplayText, QtFilePathNamesTheSameBytes) {
    const std::string path = "/tmp/\xC3\xA9t\xC3\xA9 \xC3\x84;\".bmp";
    EXPECT_EQ(QFile::encodeName(QtFilePath(path)).toStdString(), path);
}

} // namespace
} // namespace veltrane
