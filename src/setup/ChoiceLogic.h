#pragma once
// The choice page beneath its window: one selection flag per option, the options applied to
// the work group on Next, and undone exactly on Previous.

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

} // namespace veltrane
