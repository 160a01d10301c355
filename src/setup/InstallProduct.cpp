#include "setup/InstallProduct.h"

#include "icons/VeltraneIcon.h"

#include <utility>

namespace veltrane {

TInstallProduct::TInstallProduct(TSetupInfo& Info) {
    for (TSetupPage* Page : {static_cast<TSetupPage*>(&SetupMessage1), static_cast<TSetupPage*>(&SetupDirChoice),
                             static_cast<TSetupPage*>(&SetupFileCopy), static_cast<TSetupPage*>(&SetupGroups),
                             static_cast<TSetupPage*>(&SetupMessage), static_cast<TSetupPage*>(&SetupUnInstall)})
        Page->SetupInfo = &Info;
    ProgramManager = std::make_unique<platform::FreedesktopProgramManager>("", "", &RecordedMenuFiles);
    SetupFileCopy.Transaction.OnMenusChanged = [this] { ProgramManager->MenusChanged(); };
    platform::TMenuProgramTraits veltrane{VeltraneIconSvg(), "audio/mpeg;", {},
                                          "AudioVideo;Audio;",
                                          "Edit the ID3v1 tags of an MP3 collection"};
    for (const TIconPng& png : VeltraneIconPngs())
        veltrane.IconPngs.emplace_back(png.Size, std::string(png.Bytes));
    ProgramManager->RegisterProgram("veltrane", std::move(veltrane));

    SetupMessage1.Buttons = btNext | btCancel;
    SetupMessage1.NextPage = &SetupDirChoice;
    SetupMessage1.Caption = "Welcome";
    SetupMessage1.Alignment = taCenter;
    SetupMessage1.Font = {"Arial", 19, 0x000080, false, false};
    SetupMessage1.Lines = {"", "", "", "This program will install ", "Veltrane v2.0 for you.", "",
                           "press next to continue, ", "or cancel to quit."};

    SetupDirChoice.Buttons = btPrev | btNext | btCancel;
    SetupDirChoice.AllowDirChange = true;
    SetupDirChoice.DoInvisible = false;
    SetupDirChoice.InstallDir = "Install";
    SetupDirChoice.PreserveTrailing = 0;
    SetupDirChoice.SelectText = {"", "", "", "Please select the directory where to install Veltrane"};
    SetupDirChoice.NextPage = &SetupFileCopy;

    SetupFileCopy.Buttons = btNext | btCancel;
    SetupFileCopy.CreateEmptyDirs = false;
    SetupFileCopy.OverWrite = swAsk;
    SetupFileCopy.NextPage = &SetupGroups;

    SetupGroups.Buttons = btPrev | btNext | btCancel;
    SetupGroups.MinimizeProgMan = true;
    SetupGroups.ProgramManager = ProgramManager.get();
    SetupGroups.NextPage = &SetupMessage;
    // The install is kept (log written, backups dropped) before the closing page, which
    // names the files the user chose to skip or keep.
    SetupGroups.OnNextPage = [this](TSetupPage& Sender) {
        if (Sender.PageResult != prDone)
            return;
        if (!SetupFileCopy.Commit()) {
            Sender.PageResult = prCancelled;
            return;
        }
        if (!SetupFileCopy.Skipped().empty() || !SetupFileCopy.Kept().empty())
            SetupMessage.Lines.push_back("");
        for (const std::string& F : SetupFileCopy.Skipped()) {
            SetupMessage.Lines.push_back("Skipped, not installed: " + F);
            Sender.SetupInfo->View.Report("Skipped, not installed: " + F);
        }
        for (const std::string& F : SetupFileCopy.Kept())
            SetupMessage.Lines.push_back("Kept as it was: " + F);
    };

    SetupUnInstall.Buttons = btPrev | btNext | btCancel;
    SetupUnInstall.ProgramManager = ProgramManager.get();

    SetupMessage.Buttons = btFinish;
    SetupMessage.Caption = "Please read this!!";
    SetupMessage.Alignment = taCenter;
    SetupMessage.Font = {"Arial", 11, 0xFF000000, false, false};
    SetupMessage.Lines = {"", "", "", "", "Veltrane v2.0",
                          "-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-",
                          "Veltrane lists the MP3 files of a folder with their ID3v1 tags,",
                          "edits the tags of one file or many, fills them in from file names,",
                          "renames files from their tags and builds playlists.",
                          "",
                          "Veltrane is freeware: you may copy it and give it away freely.",
                          "It comes without any guarantee; you use it at your own risk.",
                          "",
                          "Tips and questions are welcome by mail (see readme.txt)."};
}

} // namespace veltrane
