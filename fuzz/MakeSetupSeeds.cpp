// Writes seed descriptions for the setup reader: a new one and one with files, dirs and items.

#include "setup/SetupStream.h"

#include <fstream>
#include <string>

using namespace veltrane;

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string Dir = argv[1];
    TSetupData Empty;
    std::ofstream(Dir + "/new.setup", std::ios::binary) << WriteSetupData(Empty);
    TSetupData D;
    D.AppName = "Seed";
    TSetupFile* F = D.AddFile("/src/prog");
    F->Size = 40000;
    F->DateTime = EncodeDateTime(2020, 1, 2, 3, 4, 6);
    D.GetDisk(1)->Add(F);
    D.FindDir("Install")->Add(F);
    D.AddFileGroup("G")->AddFile(F, D.FindDir("Install"), true);
    TSetupChoiceItem* Item = D.AddChoiceItem("C");
    Item->Description = {"text"};
    Item->Add->AddFile(F, nullptr, true);
    D.AddChoiceData("SetupChoice")->AddItem(Item);
    TSetupWinItem* W = D.AddWinItem("Run");
    W->ItemFile = F;
    W->Dir = D.FindDir("Install");
    D.AddWinGroup("SetupGroups")->AddItem(W);
    D.LogFileDir = D.FindDir("Install");
    D.UnInstallFiles = {"prog"};
    std::ofstream(Dir + "/full.setup", std::ios::binary) << WriteSetupData(D);
    return 0;
}
