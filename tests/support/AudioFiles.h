#pragma once
// Real MP3 files made at test time with lame, and their length as ffmpeg decodes it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrane::test {

// Empty when lame and ffmpeg are both there, else what to install (for GTEST_SKIP).
std::string MissingAudioTools();

// Runs a program (no shell) with its output thrown away; true when it exited with 0.
bool RunQuietly(const std::vector<std::string>& Argv);

// Makes Dir/source.wav once: Seconds of a tone with noise, stereo 44,100 Hz.
std::string SourceWave(const std::string& Dir, double Seconds = 4.0);
// lame Args... source Out; true when it worked.
bool Lame(const std::vector<std::string>& Args, const std::string& Source, const std::string& Out);
// The seconds ffmpeg decodes from Path, nullopt when it decodes nothing.
std::optional<double> DecodedSeconds(const std::string& Path);

} // namespace veltrane::test

namespace veltrane::test {

// Count frames of MPEG 1 layer 3 at 44,100 Hz, stereo: 128 kb/s (417 bytes) or 160 (522).
std::string Mp3Frames(int Count, int Kbps = 128);
// A first frame carrying an Info header that promises Frames frames and Bytes bytes.
std::string InfoFrame(std::uint32_t Frames, std::uint32_t Bytes);

} // namespace veltrane::test
