#pragma once
// The main window as the playlist windows see it.

#include "playlists/ui/PlaylistHost.h"

#include <QObject>

class QLabel;

namespace veltrane {

class TMainForm;

class TMainPlaylistHost : public QObject, public IPlaylistHost {
    Q_OBJECT
  public:
    // A child of the main window; Volumes outlives it.
    TMainPlaylistHost(TMainForm& Main, platform::IVolumes& Volumes);

    std::string CurrentDirectory() override;
    platform::IVolumes& Volumes() override { return volumes_; }
    void ShowHelpLines(const std::vector<std::string>& Lines) override;
    TExecFile& PlayFile() override;
    std::string MP3PlayerCommand() override;
    std::string PlaylistPlayerCommand() override;
    void ShowError(const std::string& Text) override;
    const TagCodec& Codec() override;

  private:
    TMainForm& main_;
    platform::IVolumes& volumes_;
};

// Creates the playlist editor and its three dialogs, in their places of the start-up order:
// the editor and the save dialog (first part), the load and add dialogs (second part).
void CreatePlaylistWindowsBeforeHelp(TMainForm& Main, platform::IVolumes& Volumes);
void CreatePlaylistWindowsAfterHelp(TMainForm& Main);
// The background pictures of the editor, the save, load and add dialogs (Index 0 to 3).
QLabel* PlaylistBackImage(TMainForm& Main, int Index);
// The main window's playlist command: the selected files, in list order, into the editor.
void OpenPlaylistEditor(TMainForm& Main);

} // namespace veltrane
