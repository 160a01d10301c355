// libFuzzer target: the extended M3U reader reads any bytes, and what it reads writes back
// to text that reads the same again.

#include "playlists/ExtM3U.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"a.m3u", "a.m3u8"}) {
        const veltrane::TPlaylistDocument doc = veltrane::ParsePlaylistDocument(text, name);
        if (!doc.Extended)
            continue;
        const std::string again = veltrane::PlaylistDocumentText(doc);
        const veltrane::TPlaylistDocument back = veltrane::ParsePlaylistDocument(again, name);
        if (veltrane::DocumentEntries(back) != veltrane::DocumentEntries(doc))
            std::abort();
    }
    return 0;
}
