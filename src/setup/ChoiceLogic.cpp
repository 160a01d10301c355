#include "setup/ChoiceLogic.h"

#include "setup/SetupData.h"

namespace veltrane {

bool TChoiceSelection::Selected(std::size_t N) const {
    if (N < 1 || N > selected_.size())
        throw ESetupError("Selection index out of bounds.");
    return selected_[N - 1];
}

void TChoiceSelection::SetSelected(std::size_t N, bool On) {
    if (N < 1 || N > selected_.size())
        throw ESetupError("Selection index out of bounds.");
    selected_[N - 1] = On;
}

void TChoiceSelection::Apply(const TSetupChoiceData& Data, TSetupFileGroup& WorkGroup) {
    Resize(Data.Items.size());
    std::vector<const TSetupChoiceItem*> chosen;
    if (Data.Common)
        chosen.push_back(Data.Common);
    for (std::size_t i = 0; i < Data.Items.size(); ++i)
        if (selected_[i])
            chosen.push_back(Data.Items[i]);
    for (const TSetupChoiceItem* item : chosen) {
        const TSetupFileGroup& add = *item->Add;
        for (std::size_t d = 0; d < add.Dirs.size() && d < add.FileLists.size(); ++d)
            for (TSetupFile* file : add.FileLists[d]->Files)
                if (WorkGroup.AddFile(file, add.Dirs[d], true))
                    added_.emplace_back(add.Dirs[d], file);
        const TSetupFileGroup& remove = *item->Remove;
        for (std::size_t d = 0; d < remove.Dirs.size() && d < remove.FileLists.size(); ++d)
            for (TSetupFile* file : remove.FileLists[d]->Files)
                if (WorkGroup.RemoveFile(file, remove.Dirs[d], false))
                    removed_.emplace_back(remove.Dirs[d], file);
    }
}

void TChoiceSelection::Undo(TSetupFileGroup& WorkGroup) {
    for (auto it = added_.rbegin(); it != added_.rend(); ++it)
        WorkGroup.RemoveFile(it->second, it->first, false);
    for (const auto& [dir, file] : removed_)
        WorkGroup.AddFile(file, dir, true);
    added_.clear();
    removed_.clear();
}

TSetupChoiceData* TSetupChoice::ChoiceData() const {
    return SetupData() ? SetupData()->FindChoiceData(Name) : nullptr;
}

std::size_t TSetupChoice::OptionCount() const {
    const TSetupChoiceData* D = ChoiceData();
    return D ? D->Items.size() : 0;
}

bool TSetupChoice::Selected(std::size_t N) {
    Selection_.Resize(OptionCount());
    return Selection_.Selected(N);
}

void TSetupChoice::SetSelected(std::size_t N, bool On) {
    Selection_.Resize(OptionCount());
    Selection_.SetSelected(N, On);
}

void TSetupChoice::OptionClick(std::size_t Index) {
    if (Index >= OptionCount())
        return;
    const bool On = !Selected(Index + 1);
    SetSelected(Index + 1, On);
    View().SetChoiceSelected(Index, On);
}

int TSetupChoice::StartPage() {
    if (OptionCount() == 0)
        PageResult = prNext; // nothing to choose: the page goes on by itself
    return 0;
}

void TSetupChoice::ShowPage() {
    TSetupPage::ShowPage();
    View().SetCaption(Text(72));
    Selection_.Resize(OptionCount());
    std::vector<TChoiceRow> Rows;
    if (const TSetupChoiceData* D = ChoiceData())
        for (std::size_t I = 0; I < D->Items.size(); ++I) {
            TChoiceRow R;
            R.Title = D->Items[I]->Title;
            for (std::size_t L = 0; L < D->Items[I]->Description.size(); ++L)
                R.Description += (L ? "\n" : "") + D->Items[I]->Description[L];
            R.Selected = Selection_.Selected(I + 1);
            View().Report(Text(72) + ": [" + (R.Selected ? "x" : " ") + "] " + R.Title);
            Rows.push_back(std::move(R));
        }
    View().ShowChoices(Rows, [this](std::size_t Index) { OptionClick(Index); });
    View().ShowNotebookPage(npChoices);
}

void TSetupChoice::GoNext() {
    // Back here from a later page the options may have changed: what the last Next applied
    // is taken out first, so a deselected option leaves nothing behind.
    Selection_.Undo(*SetupInfo->WorkGroup);
    if (const TSetupChoiceData* D = ChoiceData())
        Selection_.Apply(*D, *SetupInfo->WorkGroup);
    View().ClearChoices();
    PageResult = prDone;
    TSetupPage::GoNext();
}

void TSetupChoice::GoPrev() {
    Selection_.Undo(*SetupInfo->WorkGroup);
    View().ClearChoices();
    TSetupPage::GoPrev();
}

void TSetupChoice::DoCancel() {
    View().ClearChoices();
    TSetupPage::DoCancel();
}

void TSetupChoice::SetupLinked() {
    if (SetupData() && !SetupData()->FindChoiceData(Name))
        SetupData()->AddChoiceData(Name);
}

void TSetupChoice::LeavingSetup() {
    if (TSetupChoiceData* D = ChoiceData())
        SetupData()->RemoveChoiceData(D);
}

} // namespace veltrane
