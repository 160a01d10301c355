#pragma once
// Keeping an ID3v2 tag in step with the ID3v1 fields: the frames of the fields that change are
// replaced, added or removed by splicing, and every other frame keeps its bytes. Only frame
// headers are walked (no frame is inflated, no chapter opened), so a hostile tag costs one
// linear pass over its bytes at most.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// The ID3v1 fields an ID3v2 frame follows, in this order.
enum class TV2Field : std::uint8_t { vfTitle, vfArtist, vfAlbum, vfYear, vfComment, vfGenre, vfTrack };
inline constexpr std::size_t kV2Fields = 7;

// A tag the splice leaves alone (a v2.2 tag, unsynchronisation, an extended header, a frame
// running past the tag's end, ...): what() says why.
class EV2Unsupported : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct TV2FrameSpan {
    std::string Id;
    std::size_t Offset = 0; // of the frame header in the region
    std::size_t Size = 0;   // header and data
};

// A tag's layout: Region[0, TagSize) is the tag; frames, then padding from PaddingStart.
struct TV2Layout {
    std::uint8_t Major = 0; // 3 or 4
    std::size_t TagSize = 0;
    std::size_t PaddingStart = 0;
    std::vector<TV2FrameSpan> Frames;
};

// The tag's whole length from its 10-byte header (0: no ID3v2 header).
std::size_t V2RegionSize(std::string_view Header);
// Walks the frames of Region (the tag from its header on; it may hold more). Throws
// EV2Unsupported.
TV2Layout ParseV2Layout(std::string_view Region);

// The frame a field is kept in: "TIT2", ..., "TYER" (v2.3) or "TDRC" (v2.4), "COMM", ...
std::string_view V2FrameId(TV2Field Field, std::uint8_t Major);
// The field's text as the tag holds it (its first value; the main COMM frame's text): UTF-8,
// nullopt when there is no such frame or it cannot be read (compressed, encrypted).
std::optional<std::string> V2FieldText(std::string_view Region, const TV2Layout& Layout,
                                       TV2Field Field);

// The new text of each field a step changes (UTF-8); an empty text removes the frame. A track
// is its number: a "/total" in the old frame is kept.
struct TV2Edit {
    std::array<std::optional<std::string>, kV2Fields> Text;
    bool Empty() const;
};

// How to make one region from another: copy pieces, literal bytes, zeros. The hashes tell the
// region a change starts from and the one it leaves.
struct TV2Change {
    std::uint64_t OldSize = 0, NewSize = 0;
    std::uint64_t OldHash = 0, NewHash = 0;
    std::string Forward;  // the new region from the old
    std::string Backward; // the old region from the new
};

std::uint64_t V2Hash(std::string_view Bytes);
// The change that takes a change back.
TV2Change InverseV2Change(const TV2Change& Change);
// The journal's form of a change, and back (DecodeV2Change throws EV2Unsupported on damage).
std::string EncodeV2Change(const TV2Change& Change);
TV2Change DecodeV2Change(std::string_view Bytes);
// Applies Patch to Source; throws EV2Unsupported when it reaches past Source or is damaged.
std::string ApplyV2Patch(std::string_view Patch, std::string_view Source);

// Extra room given to a tag that has to grow, so the next change fits in place.
inline constexpr std::size_t kV2GrowPadding = 1024;

// The region with the edit's frames spliced in; Change empty (OldHash == NewHash) when the
// region stays as it is. A tag that fits its old size keeps it; else it grows.
struct TV2Splice {
    std::string NewRegion;
    TV2Change Change;
    bool Changed() const { return Change.OldHash != Change.NewHash || Change.OldSize != Change.NewSize; }
};
TV2Splice SpliceV2(std::string_view Region, const TV2Layout& Layout, const TV2Edit& Edit);

} // namespace veltrane
