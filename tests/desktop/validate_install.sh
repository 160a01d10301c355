#!/usr/bin/env bash
# Installs the build into a temporary prefix and validates the entries, metainfo and icon there.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail=0
for f in bin/veltrane bin/veltrane-cli share/applications/org.veltrane.Veltrane.desktop \
         share/metainfo/org.veltrane.Veltrane.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.veltrane.Veltrane.svg \
         share/man/man1/veltrane.1.gz share/man/man1/veltrane-cli.1.gz \
         share/bash-completion/completions/veltrane-cli share/doc/veltrane/copyright \
         share/veltrane/translations/veltrane_de.qm share/veltrane/translations/veltrane_ru.qm; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; fail=1; }
done
# Each PNG is the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/org.veltrane.Veltrane.png"
  got="$(file -b "$png" 2>/dev/null | grep -o '[0-9]* x [0-9]*' || true)"
  [ "$got" = "$size x $size" ] || { echo "icon ${size}x${size}: '$got'"; fail=1; }
done
grep -qx 'MimeType=inode/directory;audio/mpeg;' "$prefix/share/applications/org.veltrane.Veltrane.desktop" ||
  { echo "the desktop entry does not open folders and MP3 files"; fail=1; }
while IFS= read -r -d '' f; do
  out="$(desktop-file-validate "$f" 2>&1)" || true
  [ -z "$out" ] || { echo "$out"; fail=1; }
done < <(find "$prefix" \( -name '*.desktop' -o -name '*.directory' \) -print0)
while IFS= read -r -d '' f; do
  appstreamcli validate --no-net --pedantic "$f" || fail=1
done < <(find "$prefix" -name '*.metainfo.xml' -print0)
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/org.veltrane.Veltrane.svg" || fail=1
if [ "$fail" -ne 0 ]; then echo "FAILED"; exit 1; fi
echo "installed files valid"
