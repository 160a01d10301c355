#include "editing/DeriveFormatModel.h"

#include <algorithm>

namespace veltrane {

namespace {

constexpr std::string_view kAllItems[] = {kItemSongname, kItemArtistname, kItemAlbum,
                                          kItemYear,     kItemComment,    kItemTrack};

// Byte length of the first Count UTF-8 characters of Text.
std::size_t PrefixBytes(std::string_view Text, std::size_t Count) {
    std::size_t i = 0;
    for (std::size_t chars = 0; i < Text.size() && chars < Count; ++chars) {
        ++i;
        while (i < Text.size() && (static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

} // namespace

std::string* TagFieldOf(TMP3Tag& Tag, char Code) {
    switch (Code) {
    case '1':
        return &Tag.Title;
    case '2':
        return &Tag.Artist;
    case '3':
        return &Tag.Album;
    case '4':
        return &Tag.Year;
    case '5':
        return &Tag.Comment;
    default:
        return nullptr;
    }
}

const std::string* TagFieldOf(const TMP3Tag& Tag, char Code) {
    return TagFieldOf(const_cast<TMP3Tag&>(Tag), Code);
}

std::string ItemOfCode(char Code) {
    for (std::string_view item : kAllItems) {
        if (item.front() == Code)
            return std::string(item);
    }
    return {};
}

void TDeriveFormat::Reset() {
    howTo_ = {std::string(kItemArtistname), std::string(kItemSongname)};
    options_ = {std::string(kItemAlbum), std::string(kItemYear), std::string(kItemComment),
                std::string(kItemTrack)};
}

void TDeriveFormat::SetSeparator(std::string_view Text) {
    separator_ = std::string(Text.substr(0, PrefixBytes(Text, kMaxSeparatorChars)));
}

bool TDeriveFormat::MoveToHowTo(std::size_t Index) {
    if (Index >= options_.size())
        return false;
    howTo_.push_back(options_[Index]);
    options_.erase(options_.begin() + static_cast<std::ptrdiff_t>(Index));
    return true;
}

bool TDeriveFormat::MoveToOptions(std::size_t Index) {
    if (Index >= howTo_.size())
        return false;
    std::string item = howTo_[Index];
    howTo_.erase(howTo_.begin() + static_cast<std::ptrdiff_t>(Index));
    options_.insert(std::upper_bound(options_.begin(), options_.end(), item), std::move(item));
    return true;
}

bool TDeriveFormat::SetHowToCodes(std::string_view Codes) {
    std::vector<std::string> howTo;
    for (char code : Codes) {
        std::string item = ItemOfCode(code);
        if (item.empty() || std::find(howTo.begin(), howTo.end(), item) != howTo.end())
            return false;
        howTo.push_back(std::move(item));
    }
    std::vector<std::string> options;
    for (std::string_view item : kAllItems) {
        if (std::find(howTo.begin(), howTo.end(), item) == howTo.end())
            options.emplace_back(item);
    }
    howTo_ = std::move(howTo);
    options_ = std::move(options);
    return true;
}

std::string TDeriveFormat::FormatText() const {
    std::string text;
    for (std::size_t i = 0; i < howTo_.size(); ++i) {
        if (i > 0)
            text += separator_;
        text += howTo_[i].size() > 3 ? howTo_[i].substr(3) : std::string();
    }
    return text;
}

} // namespace veltrane
