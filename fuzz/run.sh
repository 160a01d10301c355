#!/usr/bin/env bash
# Builds the fuzz targets with libFuzzer and the sanitizers, seeds them, and runs them for
# about a minute in all. FUZZ_SECONDS scales the run.
set -euo pipefail
cd "$(dirname "$0")/.."
out=fuzz/out
seconds=${FUZZ_SECONDS:-60}
# A share of 0 would mean no limit to libFuzzer.
share() { local t=$((seconds / $1)); echo $((t > 0 ? t : 1)); }
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -I src
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
clang++ "${flags[@]}" fuzz/Lzrw1KhFuzz.cpp src/components/Lzrw1Kh.cpp -o "$out/lzrw1kh_fuzz"
clang++ "${flags[@]}" fuzz/AviReaderFuzz.cpp src/components/AviReader.cpp -o "$out/avireader_fuzz"
clang++ -std=c++20 -O1 -I src fuzz/MakeSeeds.cpp src/components/Lzrw1Kh.cpp -o "$out/make_seeds"
clang++ -std=c++20 -O1 assets/media/generators/SearchAnimation.cpp -o "$out/make_avi_seed"
setup_sources=(src/setup/SetupStream.cpp src/setup/SetupData.cpp src/setup/SetupPaths.cpp src/setup/FileDate.cpp)
clang++ "${flags[@]}" fuzz/SetupStreamFuzz.cpp "${setup_sources[@]}" -o "$out/setupstream_fuzz"
clang++ -std=c++20 -O1 -I src fuzz/MakeSetupSeeds.cpp "${setup_sources[@]}" -o "$out/make_setup_seeds"
# TagLib itself is not instrumented: the target covers our checks and mapping around it.
read -r -a taglib <<< "$(pkg-config --cflags --libs taglib)"
id3v2_sources=(src/id3v2/Id3v2Reader.cpp src/id3v2/Id3v2Check.cpp src/tagcore/MP3Tag.cpp src/tagcore/InOutError.cpp
               src/tagcore/LongPath.cpp)
clang++ "${flags[@]}" fuzz/Id3v2Fuzz.cpp "${id3v2_sources[@]}" "${taglib[@]}" -lz -o "$out/id3v2_fuzz"
clang++ -std=c++20 -O1 -I tests fuzz/MakeId3v2Seeds.cpp "${taglib[@]}" -lz -o "$out/make_id3v2_seeds"

clang++ "${flags[@]}" fuzz/TableTextFuzz.cpp src/editing/TableText.cpp -o "$out/tabletext_fuzz"
m3u_sources=(src/playlists/ExtM3U.cpp src/playlists/M3UFile.cpp src/tagcore/TagFile.cpp src/tagcore/MpegAudio.cpp
             src/tagcore/TagCodec.cpp src/tagcore/MP3Tag.cpp src/tagcore/InOutError.cpp
             src/tagcore/LongPath.cpp src/tagcore/Utf8.cpp src/tagcore/CodePageGuess.cpp)
read -r -a uchardet <<< "$(pkg-config --cflags --libs uchardet)"
clang++ "${flags[@]}" fuzz/ExtM3UFuzz.cpp "${m3u_sources[@]}" "${uchardet[@]}" -o "$out/extm3u_fuzz"
clang++ "${flags[@]}" fuzz/CodePageFuzz.cpp "${m3u_sources[@]}" "${uchardet[@]}" -o "$out/codepage_fuzz"
clang++ "${flags[@]}" fuzz/MpegAudioFuzz.cpp src/tagcore/MpegAudio.cpp -o "$out/mpegaudio_fuzz"

rm -rf "$out/corpus-lzrw" "$out/corpus-avi" "$out/corpus-setup" "$out/corpus-table" "$out/corpus-m3u" "$out/corpus-id3v2"
mkdir -p "$out/corpus-lzrw" "$out/corpus-avi" "$out/corpus-setup" "$out/corpus-table" "$out/corpus-m3u" "$out/corpus-id3v2"
printf 'path,title\r\n"/a,""b"".mp3","x\r\ny"\r\n/c.mp3,\r\n' > "$out/corpus-table/csv"
printf 'path\ttitle\n/a\\tb.mp3\tx\\ny\n' > "$out/corpus-table/tsv"
printf '\xef\xbb\xbf#EXTM3U\r\n#EXTINF:12,A - T\r\na.mp3\r\n\r\n#x\r\nb.mp3\r\n#end\r\n' > "$out/corpus-m3u/ext"
printf 'path,title,artist\r\n/a.mp3,"\x27=HYPERLINK(""x"")",\x27\x27+1\r\n/b.mp3,"\x27\t@x","\x27\r-"\r\n' > "$out/corpus-table/formula"
printf '\xef\xbb\xbf#EXTM3U\n./#1 Hit.mp3\n#EXTINF:1,x\n./#\n/abs/#b.mp3\n' > "$out/corpus-m3u/hash"
printf '\xef\xbb\xbfa.mp3\r\n#1 Hit.mp3\r\nb\x00c.mp3\r\n' > "$out/corpus-m3u/bom-plain"
"$out/make_seeds" "$out/corpus-lzrw"
"$out/make_avi_seed" "$out/corpus-avi/search.avi"
"$out/make_setup_seeds" "$out/corpus-setup"
"$out/make_id3v2_seeds" "$out/corpus-id3v2"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$out/lzrw1kh_fuzz" -max_total_time=$(share 4) -max_len=4096 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-lzrw"
"$out/avireader_fuzz" -max_total_time=$(share 8) -max_len=8192 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-avi"
"$out/tabletext_fuzz" -max_total_time=$(share 8) -max_len=4096 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-table"
"$out/extm3u_fuzz" -max_total_time=$(share 8) -max_len=4096 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-m3u"
"$out/setupstream_fuzz" -max_total_time=$(share 4) -max_len=4096 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-setup"
"$out/id3v2_fuzz" -max_total_time=$(share 8) -max_len=8192 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-id3v2"
# Seeds: frames of 128 kb/s behind an ID3v2 tag, and the same with a Xing header.
# Seeds: Shift_JIS, GBK, UHC and Big5 titles, and UTF-8 cut inside a character.
rm -rf "$out/corpus-codepage" && mkdir -p "$out/corpus-codepage"
printf '\x00\x8c\x8e\x82\xcc\x89\xf1\x82\xea\x5c' > "$out/corpus-codepage/sjis"
printf '\x01\xd4\xc2\xc1\xc1\xb4\xfa\xb1\xed\xce\xd2\xb5\xc4\xd0\xc4' > "$out/corpus-codepage/gbk"
printf '\x02\xbb\xe7\xb6\xfb\xc7\xd8\xbf\xe4\x81' > "$out/corpus-codepage/uhc"
printf '\x03\xa4\xeb\xab\x47\xa5\x4e\xaa\xed\xa7\xda' > "$out/corpus-codepage/big5"
printf '\x04\xd0\x93\xd1\x80\xd1\x83\xd0' > "$out/corpus-codepage/utf8cut"
"$out/codepage_fuzz" -max_total_time=$(share 8) -max_len=200 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-codepage"
rm -rf "$out/corpus-mpeg" && mkdir -p "$out/corpus-mpeg"
frame() { printf "$1"; head -c "$2" /dev/zero; }
{ printf 'ID3\x03\x00\x00\x00\x00\x00\x0a'; head -c 10 /dev/zero
  for _ in 1 2 3 4; do frame '\xff\xfb\x90\x00' 413; done; } > "$out/corpus-mpeg/cbr"
{ printf '\xff\xfb\x90\x00'; head -c 32 /dev/zero; printf 'Xing\x00\x00\x00\x03\x00\x00\x00\x03\x00\x00\x04\xe3'
  head -c 365 /dev/zero; for _ in 1 2; do frame '\xff\xfb\x90\x00' 413; done; } > "$out/corpus-mpeg/xing"
"$out/mpegaudio_fuzz" -max_total_time=$(share 8) -max_len=8192 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-mpeg"
