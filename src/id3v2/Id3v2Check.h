#pragma once
// A look at a raw ID3v2 tag before TagLib parses it: what makes the tag unreadable, and which
// frames would cost more than the tag itself (a compressed frame inflating past 16 MB). Read
// a tag with TagLib only as Tag of the result, through TSafeFrameFactory.

#include <id3v2framefactory.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// A syncsafe number (7 bits a byte) from B's first four bytes; false when a byte has its
// top bit set.
bool SyncSafe(std::string_view B, std::uint32_t& V);

struct TId3v2Check {
    // Why the tag cannot be read; empty when it can.
    std::string Unreadable;
    // The tag as TagLib 1.13 reads it right: for version 2.3, unsynchronisation undone and
    // the extended header dropped (TagLib takes its plain size for a syncsafe one); the
    // frames of Unsafe cut out.
    std::string Tag;
    // The frames cut out, each as "ID: why".
    std::vector<std::string> Unsafe;
    // Frames the tag holds, those cut out included.
    std::size_t Frames = 0;
};

// Tag: the whole tag, header included (as long as the header declares).
TId3v2Check CheckId3v2Tag(std::string_view Tag);

// Leaves CHAP and CTOC frames unparsed (kept as raw frames): TagLib parses the frames
// embedded in them by recursion, and a tag nesting them deeply overflows the stack.
class TSafeFrameFactory : public TagLib::ID3v2::FrameFactory {
  public:
    TSafeFrameFactory() = default;
    ~TSafeFrameFactory() override = default;

  protected:
    // Frame::Header is a protected name of Frame: a class derived from it may say it.
    struct TFrameAccess : TagLib::ID3v2::Frame {
        using THeader = Frame::Header;
    };
    using THeader = TFrameAccess::THeader;
    bool updateFrame(THeader* Header) const override;
};

} // namespace veltrane
