#pragma once
// The program's own media as stored "FileData" (format B, LZRW1/KH-compressed), for the file
// stores FileSourceBackImage (".bmp"), FileSourceSearchFiles (".Avi") and
// FileSourceSoundFile (".mod"). The bytes are generated and packed by the build (assets/).

#include <string_view>

namespace veltrane::media {

std::string_view BackImageFileData();   // the background picture, a BMP bitmap
std::string_view SearchFilesFileData(); // the searching animation, a silent AVI clip
std::string_view SoundFileFileData();   // the About tune, a four-channel module

} // namespace veltrane::media
