#pragma once
// The rows a TMultiList shows, with their selection marks and the focused row. Plain C++ so
// that list logic (the main window's file list) owns its rows and the control only reads them.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Text of item 0, which lies under the header and is never data. No data row starts with
// byte 1.
inline constexpr std::string_view kMultiListPlaceholder = "\x01~placeholder~\x01";

// Row source of a TMultiList. Row 0 is the placeholder; data rows are 1 to Count() - 1.
class TMultiListItems {
  public:
    virtual ~TMultiListItems() = default;

    // Number of items, the placeholder included (0 only for a list that has none yet).
    virtual std::size_t Count() const = 0;
    // Item text: marker, columns each closed by the separator (built when asked: a large list
    // keeps its rows compactly).
    virtual std::string ItemText(std::size_t Index) const = 0;
    // The same, appended to Out: a loop over every row reuses one buffer.
    virtual void AppendItemText(std::size_t Index, std::string& Out) const {
        Out.append(ItemText(Index));
    }

    // The placeholder (row 0) is never selected.
    virtual bool Selected(std::size_t Index) const = 0;
    virtual void SetSelected(std::size_t Index, bool On) = 0;
    // Marks or unmarks every item at once (select all on 100,000 rows stays cheap).
    virtual void SetAllSelected(bool On) = 0;
    // Number of selected items (data rows only).
    virtual std::size_t SelCount() const = 0;

    // The focused ("current") row, -1 for none.
    virtual std::ptrdiff_t ItemIndex() const = 0;
    virtual void SetItemIndex(std::ptrdiff_t Index) = 0;

    // Called after items were added, removed or reordered (Row == npos) or after one item's
    // text changed (Row = its index). Selection changes made through SetSelected do not call it.
    using ChangeHandler = std::function<void(std::size_t Row)>;
    void SetOnChange(ChangeHandler Handler) { onChange_ = std::move(Handler); }
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  protected:
    void Changed(std::size_t Row = npos) const {
        if (onChange_)
            onChange_(Row);
    }

  private:
    ChangeHandler onChange_;
};

// A plain list of strings with selection marks, for lists that hold nothing but their texts.
// The placeholder is put in front of the items on the first Add, as the control does.
class TMultiListStrings : public TMultiListItems {
  public:
    std::size_t Count() const override { return items_.size(); }
    std::string ItemText(std::size_t Index) const override { return items_.at(Index); }
    bool Selected(std::size_t Index) const override { return selected_.at(Index) != 0; }
    void SetSelected(std::size_t Index, bool On) override;
    void SetAllSelected(bool On) override;
    std::size_t SelCount() const override { return selCount_; }
    std::ptrdiff_t ItemIndex() const override { return itemIndex_; }
    void SetItemIndex(std::ptrdiff_t Index) override;

    // Appends an item (placeholder first when the list was empty); returns its index.
    std::size_t Add(std::string Text);
    // Replaces item Index's text; its selection mark is dropped.
    void SetText(std::size_t Index, std::string Text);
    void Delete(std::size_t Index);
    // Removes every item, the placeholder too.
    void Clear();

  private:
    std::vector<std::string> items_;
    std::vector<char> selected_;
    std::size_t selCount_ = 0;
    std::ptrdiff_t itemIndex_ = -1;
};

} // namespace veltrane
