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

} // namespace veltrane
