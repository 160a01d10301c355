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
         share/icons/hicolor/scalable/apps/org.veltrane.Veltrane.svg; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; fail=1; }
done
while IFS= read -r -d '' f; do
  out="$(desktop-file-validate "$f" 2>&1)" || true
  [ -z "$out" ] || { echo "$out"; fail=1; }
done < <(find "$prefix" \( -name '*.desktop' -o -name '*.directory' \) -print0)
while IFS= read -r -d '' f; do
  appstreamcli validate --no-net "$f" || fail=1
done < <(find "$prefix" -name '*.metainfo.xml' -print0)
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/org.veltrane.Veltrane.svg" || fail=1
if [ "$fail" -ne 0 ]; then echo "FAILED"; exit 1; fi
echo "installed files valid"
