#include "browser/PlayerCommands.h"

#include "tagcore/UiText.h"

#include "browser/Execfile.h"

namespace veltrane {
namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string CutAfterExe(const std::string& command) {
    static const std::string exe = ".EXE";
    for (size_t p = 0; p + exe.size() <= command.size(); ++p) {
        bool match = true;
        for (size_t i = 0; i < exe.size() && match; ++i)
            match = Upper(command[p + i]) == exe[i];
        if (!match)
            continue;
        // Cut only when at least two characters follow ".EXE" (a quote and a blank, say).
        if (command.size() > p + exe.size() + 1)
            return command.substr(0, p + exe.size());
        return command;
    }
    return command;
}

std::string RestoreClosingQuote(const std::string& command) {
    if (command.size() > 1 && command.front() == '"' && command.back() != '"')
        return command + '"';
    return command;
}

std::string GetAssociation(platform::IAssociations& associations, const std::string& extension) {
    std::string lower;
    for (char c : extension)
        lower += Lower(c);
    return CutAfterExe(associations.CommandForExtension(lower));
}

TPlayerCommands LookUpPlayerCommands(platform::IAssociations& associations) {
    TPlayerCommands c;
    c.Mp3Player = RestoreClosingQuote(GetAssociation(associations, ".mp3"));
    c.M3uPlayer = RestoreClosingQuote(GetAssociation(associations, ".m3u"));
    c.ModPlayer = RestoreClosingQuote(GetAssociation(associations, ".mod"));
    std::string browser = GetAssociation(associations, ".html");
    if (browser.empty())
        browser = GetAssociation(associations, ".htm");
    c.Browser = RestoreClosingQuote(browser);
    return c;
}

bool HasPlayer(const std::string& Command) {
    const std::vector<std::string> argv = SplitCommand(Command);
    return !argv.empty() && !argv.front().empty();
}

std::string PlaylistPlayer(const TPlayerCommands& Commands) {
    return HasPlayer(Commands.M3uPlayer) ? Commands.M3uPlayer : Commands.Mp3Player;
}

std::string NoPlayerMessage(const std::string& Kind) {
    // Players are looked up once at start, so a new choice takes effect after a restart.
    return FillText(UiText("PlayerCommands",
                           "No player is registered for %1\n\nChoose one in your desktop's "
                           "default applications, then start Veltrane again."),
                    {Kind});
}

} // namespace veltrane
