#include "browser/ui/MainPlaylistHost.h"

#include "browser/MainLogic.h"
#include "browser/ui/main.h"
#include "editing/ui/help.h"
#include "playlists/ui/AddMP3ToPlayList.h"
#include "playlists/ui/LoadPlayList.h"
#include "playlists/ui/PlayListEditor.h"
#include "playlists/ui/SavePlayList.h"

namespace veltrane {

TMainPlaylistHost::TMainPlaylistHost(TMainForm& Main, platform::IVolumes& Volumes)
    : QObject(&Main), main_(Main), volumes_(Volumes) {}

std::string TMainPlaylistHost::CurrentDirectory() {
    return main_.CurrentDirectory();
}

void TMainPlaylistHost::ShowHelpLines(const std::vector<std::string>& Lines) {
    if (main_.FormHelp)
        main_.FormHelp->SetLines(Lines);
}

TExecFile& TMainPlaylistHost::PlayFile() {
    return main_.PlayFile;
}

std::string TMainPlaylistHost::MP3PlayerCommand() {
    return main_.MP3PlayerCommand;
}

std::string TMainPlaylistHost::PlaylistPlayerCommand() {
    return main_.PlaylistPlayerCommand;
}

void TMainPlaylistHost::ShowError(const std::string& Text) {
    main_.ReportError(Text);
}

const TagCodec& TMainPlaylistHost::Codec() {
    return main_.FileList.Codec();
}

void CreatePlaylistWindowsBeforeHelp(TMainForm& Main, platform::IVolumes& Volumes) {
    auto* host = new TMainPlaylistHost(Main, Volumes);
    Main.FormPlayListEditor = new TFormPlayListEditor(*host, &Main);
    Main.FormSavePlayList = new TFormSavePlayList(*host, *Main.FormPlayListEditor, &Main);
    Main.FormPlayListEditor->FormSavePlayList = Main.FormSavePlayList;
}

void CreatePlaylistWindowsAfterHelp(TMainForm& Main) {
    auto* host = Main.findChild<TMainPlaylistHost*>(QString(), Qt::FindDirectChildrenOnly);
    TFormPlayListEditor& editor = *Main.FormPlayListEditor;
    Main.FormLoadPlayList = new TFormLoadPlayList(*host, editor, &Main);
    Main.FormAddMP3 = new TFormAddMP3(*host, editor, &Main);
    editor.FormLoadPlayList = Main.FormLoadPlayList;
    editor.FormAddMP3 = Main.FormAddMP3;
}

QLabel* PlaylistBackImage(TMainForm& Main, int Index) {
    switch (Index) {
    case 0: return Main.FormPlayListEditor ? Main.FormPlayListEditor->BackImage : nullptr;
    case 1: return Main.FormSavePlayList ? Main.FormSavePlayList->BackImage : nullptr;
    case 2: return Main.FormLoadPlayList ? Main.FormLoadPlayList->BackImage : nullptr;
    case 3: return Main.FormAddMP3 ? Main.FormAddMP3->BackImage : nullptr;
    default: return nullptr;
    }
}

void OpenPlaylistEditor(TMainForm& Main) {
    if (Main.FormPlayListEditor)
        Main.FormPlayListEditor->OpenWith(SelectedFiles(Main.FileList));
}

} // namespace veltrane
