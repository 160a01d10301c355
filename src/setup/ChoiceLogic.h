#pragma once
// The choice page beneath its window: one selection flag per option, the options applied to
// the work group on Next, and undone exactly on Previous.

#include "setup/SetupInfo.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace veltrane {

class TSetupChoiceData;
class TSetupDir;
class TSetupFile;
class TSetupFileGroup;

class TChoiceSelection {
  public:
    // Flags follow the item count: new options start unselected, surplus ones go from the end.
    void Resize(std::size_t Count) { selected_.resize(Count, false); }
    std::size_t Count() const { return selected_.size(); }
    // N counts from 1; outside 1..Count ESetupError "Selection index out of bounds.".
    bool Selected(std::size_t N) const;
    void SetSelected(std::size_t N, bool On);

    // Next: Common, then every selected option: its Add files join WorkGroup, its Remove files
    // leave it; what changed is remembered for Undo.
    void Apply(const TSetupChoiceData& Data, TSetupFileGroup& WorkGroup);
    // Previous: takes the remembered additions out and puts the removals back.
    void Undo(TSetupFileGroup& WorkGroup);

  private:
    std::vector<bool> selected_;
    std::vector<std::pair<TSetupDir*, TSetupFile*>> added_, removed_;
};

// The choice page: its options come from the description's choice data named like the page;
// a click on an option toggles it.
class TSetupChoice : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    // The choice data named like this page; null when there is none.
    TSetupChoiceData* ChoiceData() const;
    // Option n, counting from 1 (ESetupError "Selection index out of bounds." outside).
    bool Selected(std::size_t N);
    void SetSelected(std::size_t N, bool On);
    // A click on the row of option Index (counting from 0).
    void OptionClick(std::size_t Index);

    int StartPage() override;
    void ShowPage() override;
    void GoNext() override;
    void GoPrev() override;
    void DoCancel() override;
    TPageKind Kind() const override { return TPageKind::Choice; }
    void SetupLinked() override;
    void LeavingSetup() override;

  private:
    std::size_t OptionCount() const;
    TChoiceSelection Selection_;
};

} // namespace veltrane
