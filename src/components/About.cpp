#include "components/About.h"

namespace veltrane {

const char* const NoModPlayerText = "No module player found: click here to get xmp, then you "
                                    "will hear the music!";
const char* const ModPlayerPage = "https://xmp.sourceforge.net/";

std::string NoBrowserMessage(bool Failed) {
    return std::string(Failed ? "The web browser could not be started"
                              : "No web browser is registered for web pages") +
           ". To get a module player, visit " + ModPlayerPage;
}

const std::vector<std::string>& AboutLines() {
    static const std::vector<std::string> lines = {
        "Veltrane v2.0 (4/5/98)",
        "-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-",
        "",
        "This little utility allows",
        "you to change MP3 tags for",
        "loads of mp3's at once.",
        "",
        "Read whatsnew.txt to see",
        "what is new in this version.",
        "",
        "Veltrane is freeware:",
        "use it and pass it on",
        "as much as you like.",
        "",
        "THIS SOFTWARE COMES WITHOUT",
        "ANY WARRANTY. YOU USE IT AT",
        "YOUR OWN RISK.",
        "",
        "Thanks go to the makers of",
        "Qt, GLib and GIO,",
        "PulseAudio and libpulse,",
        "GoogleTest, CMake and Ninja,",
        "GCC and Clang,",
        "shared-mime-info,",
        "the Adwaita icons,",
        "the Comic Neue font",
        "and the module players",
        "xmp and openmpt123.",
        "",
        "You only hear the music",
        "when a module player is",
        "registered for .mod files.",
        "",
        "Questions, ideas and bugs:",
        "see README.md in Veltrane's",
        "source tree for where the",
        "project lives.",
        "",
        "Have fun!",
        ""};
    return lines;
}

} // namespace veltrane
