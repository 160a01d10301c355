#include "components/About.h"

#include "tagcore/UiText.h"

namespace veltrane {

const char* const NoModPlayerText =
    VT_TRANSLATE_NOOP("About", "No module player found: click here to get xmp, then you "
                               "will hear the music!");
const char* const ModPlayerPage = "https://xmp.sourceforge.net/";

std::string NoBrowserMessage(bool Failed) {
    return FillText(Failed ? UiText("About", "The web browser could not be started. To get a "
                                             "module player, visit %1")
                           : UiText("About", "No web browser is registered for web pages. To get "
                                             "a module player, visit %1"),
                    {ModPlayerPage});
}

const std::vector<std::string>& AboutLines() {
    static const std::vector<std::string> lines = {
        "Veltrane v2.0 (4/5/98)",
        "-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-",
        "",
        VT_TRANSLATE_NOOP("About", "This little utility allows"),
        VT_TRANSLATE_NOOP("About", "you to change MP3 tags for"),
        VT_TRANSLATE_NOOP("About", "loads of mp3's at once."),
        "",
        VT_TRANSLATE_NOOP("About", "Read whatsnew.txt to see"),
        VT_TRANSLATE_NOOP("About", "what is new in this version."),
        "",
        VT_TRANSLATE_NOOP("About", "Veltrane is freeware:"),
        VT_TRANSLATE_NOOP("About", "use it and pass it on"),
        VT_TRANSLATE_NOOP("About", "as much as you like."),
        "",
        VT_TRANSLATE_NOOP("About", "THIS SOFTWARE COMES WITHOUT"),
        VT_TRANSLATE_NOOP("About", "ANY WARRANTY. YOU USE IT AT"),
        VT_TRANSLATE_NOOP("About", "YOUR OWN RISK."),
        "",
        VT_TRANSLATE_NOOP("About", "Thanks go to the makers of"),
        VT_TRANSLATE_NOOP("About", "Qt, GLib and GIO,"),
        VT_TRANSLATE_NOOP("About", "PulseAudio and libpulse,"),
        VT_TRANSLATE_NOOP("About", "GoogleTest, CMake and Ninja,"),
        VT_TRANSLATE_NOOP("About", "GCC and Clang,"),
        VT_TRANSLATE_NOOP("About", "shared-mime-info,"),
        VT_TRANSLATE_NOOP("About", "the Adwaita icons,"),
        VT_TRANSLATE_NOOP("About", "the Comic Neue font"),
        VT_TRANSLATE_NOOP("About", "and the module players"),
        VT_TRANSLATE_NOOP("About", "xmp and openmpt123."),
        "",
        VT_TRANSLATE_NOOP("About", "You only hear the music"),
        VT_TRANSLATE_NOOP("About", "when a module player is"),
        VT_TRANSLATE_NOOP("About", "registered for .mod files."),
        "",
        VT_TRANSLATE_NOOP("About", "Questions, ideas and bugs:"),
        VT_TRANSLATE_NOOP("About", "see README.md in Veltrane's"),
        "source tree for where the",
        "project lives.",
        "",
        "Have fun!",
        ""};
    return lines;
}

} // namespace veltrane
