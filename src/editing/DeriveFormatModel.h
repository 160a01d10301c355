#pragma once
// The derive format: which tag fields a file name holds, in which order, and the text between
// them. One instance serves the whole program; it cuts names into tags and joins tags into names.

#include "tagcore/MP3Tag.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Items read "1. Songname" ... "6. Track"; the first character is the field code.
inline constexpr std::string_view kItemSongname = "1. Songname";
inline constexpr std::string_view kItemArtistname = "2. Artistname";
inline constexpr std::string_view kItemAlbum = "3. Album";
inline constexpr std::string_view kItemYear = "4. Year";
inline constexpr std::string_view kItemComment = "5. Comment";
// Not a text field: TagFieldOf gives nullptr for it; cutting and renaming treat it apart.
inline constexpr std::string_view kItemTrack = "6. Track";
inline constexpr char kTrackCode = '6';

inline constexpr std::size_t kMaxSeparatorChars = 5;

// The text field an item (or field code '1'..'5') names; nullptr for anything else.
std::string* TagFieldOf(TMP3Tag& Tag, char Code);
const std::string* TagFieldOf(const TMP3Tag& Tag, char Code);
// The item text for a field code, "" for an unknown code.
std::string ItemOfCode(char Code);

class TDeriveFormat {
  public:
    TDeriveFormat() { Reset(); }

    // How-to "2. Artistname", "1. Songname"; the other four in the options list.
    // The separator is left alone: each window sets its own.
    void Reset();

    const std::vector<std::string>& HowTo() const { return howTo_; }
    const std::vector<std::string>& Options() const { return options_; }
    const std::string& Separator() const { return separator_; }
    // Keeps at most five characters (UTF-8 aware).
    void SetSeparator(std::string_view Text);

    // Moves options item Index to the end of the how-to list; false when there is no such item.
    bool MoveToHowTo(std::size_t Index);
    // Moves how-to item Index back into the options list at its sorted place.
    bool MoveToOptions(std::size_t Index);
    // Sets the how-to list to these field codes in order; the others go to the options list.
    // False (and nothing changed) for an unknown or repeated code.
    bool SetHowToCodes(std::string_view Codes);

    // The how-to items without their "n. " prefix, joined by the separator.
    std::string FormatText() const;

  private:
    std::vector<std::string> howTo_;
    std::vector<std::string> options_;
    std::string separator_ = " - ";
};

} // namespace veltrane
