#include "browser/MainCommands.h"

#include "tagcore/UiText.h"

#include "browser/PlayerCommands.h"

#include <filesystem>
#include <sys/stat.h>

namespace veltrane {

TListCommand ListKeyCommand(TListKey key, TKeyModifiers m) {
    const bool ctrlOnly = m.Ctrl && !m.Shift && !m.Alt;
    if (key == TListKey::A && ctrlOnly)
        return TListCommand::SelectAll;
    if (key == TListKey::Enter && ctrlOnly)
        return TListCommand::Play;
    switch (key) {
    case TListKey::F2:
        return TListCommand::Rename;
    case TListKey::F5:
        return TListCommand::Refresh;
    case TListKey::KeypadPlus:
        return TListCommand::Select;
    case TListKey::KeypadMinus:
        return TListCommand::Deselect;
    case TListKey::Delete:
        return TListCommand::Delete;
    case TListKey::Enter:
        return TListCommand::DoubleClickAction;
    default:
        return TListCommand::None;
    }
}

TListCommand DoubleClickCommand(std::uint8_t action) {
    switch (action) {
    case 0:
        return TListCommand::EditTag;
    case 1:
        return TListCommand::Play;
    case 2:
        return TListCommand::Rename;
    default:
        return TListCommand::None;
    }
}

TFooterTexts FooterTexts(std::uint64_t count, std::uint64_t bytes, char decimalSeparator) {
    TFooterTexts t;
    t.Count = count == 1
                  ? UiText("MainCommands", "1 file selected")
                  : FillText(UiText("MainCommands", "%1 files selected"), {std::to_string(count)});
    // Hundredths of a megabyte, rounded half up, in integers so no byte count loses precision.
    std::uint64_t hundredths = bytes / 10000 + (bytes % 10000 >= 5000 ? 1 : 0);
    std::string frac = std::to_string(hundredths % 100);
    if (frac.size() < 2)
        frac = "0" + frac;
    t.Size = FillText(UiText("MainCommands", "%1 megabyte"),
                      {std::to_string(hundredths / 100) + decimalSeparator + frac});
    return t;
}

std::string ReadingCancelledMessage(std::size_t leftOut) {
    return leftOut == 1 ? UiText("MainCommands", "Reading cancelled: 1 file left out of the list.")
                        : FillText(UiText("MainCommands",
                                          "Reading cancelled: %1 files left out of the list."),
                                   {std::to_string(leftOut)});
}

std::string DeleteQuestion(std::size_t rows) {
    return FillText(UiText("MainCommands", "Are you sure you want to delete %1 file(s)?"),
                    {std::to_string(rows)});
}

std::string DeleteProgressTitle(std::size_t rows) {
    return FillText(UiText("MainCommands", "Deleting %1 files."), {std::to_string(rows)});
}

void PrepareDelete(TFileOperation& op, std::vector<std::string> paths, bool toRecycleBin) {
    op.Operation = foDelete;
    op.Flags |= fofNoConfirmation;
    if (toRecycleBin)
        op.Flags |= fofAllowUndo;
    else
        op.Flags &= ~static_cast<TFileOperationFlags>(fofAllowUndo);
    op.ProgressTitle = DeleteProgressTitle(paths.size());
    op.FilesFrom = std::move(paths);
    op.FilesTo.clear();
}

void PreparePlay(TExecFile& playFile, const std::string& playerCommand, const std::string& path) {
    playFile.CommandLine = playerCommand;
    playFile.Parameters.clear();
    playFile.ParameterList = {path};
    playFile.Associate = false;
    playFile.Wait = false;
}

bool PlayPath(TExecFile& playFile, const std::string& playerCommand, const std::string& path) {
    if (!HasPlayer(playerCommand))
        return false; // the player started last plays on
    playFile.Terminate();
    PreparePlay(playFile, playerCommand, path);
    return playFile.Execute();
}

std::optional<std::string> StartupDirectory(const std::optional<std::string>& commandLineDir,
                                            const std::string& defaultDir,
                                            const std::string& startDir) {
    namespace fs = std::filesystem;
    auto resolve = [&](const std::string& dir) -> std::optional<std::string> {
        if (dir.empty())
            return std::nullopt;
        fs::path p(dir);
        if (p.is_relative())
            p = fs::path(startDir) / p;
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::nullopt;
        std::string s = p.lexically_normal().string();
        while (s.size() > 1 && s.back() == '/')
            s.pop_back();
        return s;
    };
    if (commandLineDir)
        if (auto dir = resolve(*commandLineDir))
            return dir;
    return resolve(defaultDir);
}

} // namespace veltrane
