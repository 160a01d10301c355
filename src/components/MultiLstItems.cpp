#include "components/MultiLstItems.h"

#include <algorithm>

namespace veltrane {

void TMultiListStrings::SetSelected(std::size_t Index, bool On) {
    char& mark = selected_.at(Index);
    if (Index == 0 || (mark != 0) == On)
        return; // the placeholder is never selected
    mark = On ? 1 : 0;
    selCount_ = On ? selCount_ + 1 : selCount_ - 1;
}

void TMultiListStrings::SetAllSelected(bool On) {
    if (items_.empty())
        return;
    std::fill(selected_.begin() + 1, selected_.end(), On ? 1 : 0);
    selCount_ = On ? items_.size() - 1 : 0;
}

void TMultiListStrings::SetItemIndex(std::ptrdiff_t Index) {
    itemIndex_ = Index >= 0 && static_cast<std::size_t>(Index) < items_.size() ? Index : -1;
}

std::size_t TMultiListStrings::Add(std::string Text) {
    if (items_.empty()) {
        items_.emplace_back(kMultiListPlaceholder);
        selected_.push_back(0);
        itemIndex_ = 1;
    }
    items_.push_back(std::move(Text));
    selected_.push_back(0);
    Changed();
    return items_.size() - 1;
}

void TMultiListStrings::SetText(std::size_t Index, std::string Text) {
    items_.at(Index) = std::move(Text);
    SetSelected(Index, false);
    Changed(Index);
}

void TMultiListStrings::Delete(std::size_t Index) {
    if (Index >= items_.size())
        return;
    if (selected_[Index])
        --selCount_;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Index));
    selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(Index));
    if (itemIndex_ >= static_cast<std::ptrdiff_t>(items_.size()))
        itemIndex_ = static_cast<std::ptrdiff_t>(items_.size()) - 1;
    Changed();
}

void TMultiListStrings::Clear() {
    items_.clear();
    selected_.clear();
    selCount_ = 0;
    itemIndex_ = -1;
    Changed();
}

} // namespace veltrane
