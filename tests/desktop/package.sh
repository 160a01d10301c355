#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks its control fields and files;
# lintian, when present, must report no errors.
set -euo pipefail
build="$1"
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
version="$(sed -n 's/^#define VELTRANE_VERSION "\(.*\)"/\1/p' "$build/generated/VeltraneVersion.h")"
deb="$out/veltrane_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no $deb"; ls "$out"; exit 1; }
fail=0
field() { dpkg-deb -f "$deb" "$1"; }
expect() { # field, extended regular expression
  local value; value="$(field "$1")"
  [[ "$value" =~ $2 ]] || { echo "control $1: '$value' does not match '$2'"; fail=1; }
}
expect Package '^veltrane$'
expect Version "^${version//./\\.}\$"
expect Section '^sound$'
expect Priority '^optional$'
expect Architecture "^$(dpkg --print-architecture)\$"
expect Depends 'libqt6widgets6.*'
expect Depends 'libc6 \(>= '
expect Depends 'qt6-qpa-plugins'
expect Recommends 'qt6-translations-l10n'
expect Maintainer '.+ <.+@.+>'
expect Description '^ID3v1 tag editor for MP3 collections'$'\n'' Veltrane lists'

files="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
want=(/usr/bin/veltrane /usr/bin/veltrane-cli
      /usr/share/applications/org.veltrane.Veltrane.desktop
      /usr/share/metainfo/org.veltrane.Veltrane.metainfo.xml
      /usr/share/icons/hicolor/scalable/apps/org.veltrane.Veltrane.svg
      /usr/share/man/man1/veltrane.1.gz /usr/share/man/man1/veltrane-cli.1.gz
      /usr/share/bash-completion/completions/veltrane-cli
      /usr/share/doc/veltrane/copyright /usr/share/doc/veltrane/changelog.gz
      /usr/share/veltrane/translations/veltrane_de.qm
      /usr/share/veltrane/translations/veltrane_ru.qm)
for size in 16 22 24 32 48 64 128 256; do
  want+=("/usr/share/icons/hicolor/${size}x${size}/apps/org.veltrane.Veltrane.png")
done
for f in "${want[@]}"; do
  grep -qxF "$f" <<<"$files" || { echo "missing in the package: $f"; fail=1; }
done
# Only the product: no test, benchmark, installer or build leftovers.
extra="$(grep -v '/$' <<<"$files" | grep -vxF -f <(printf '%s\n' "${want[@]}") || true)"
[ -z "$extra" ] || { echo "unexpected in the package:"; echo "$extra"; fail=1; }
# Installed programs are stripped and owned by root.
if dpkg-deb -c "$deb" | awk '{print $2}' | grep -v '^root/root$' >/dev/null; then
  echo "files not owned by root/root"; fail=1
fi
dpkg-deb -x "$deb" "$out/root"
file "$out/root/usr/bin/veltrane-cli" | grep -q 'stripped' && ! file "$out/root/usr/bin/veltrane-cli" | grep -q 'not stripped' ||
  { echo "veltrane-cli is not stripped"; fail=1; }
"$out/root/usr/bin/veltrane-cli" --help >/dev/null || { echo "the packaged veltrane-cli does not run"; fail=1; }

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1 || true
  cat "$out/lintian.log"
  if grep -q '^E: ' "$out/lintian.log"; then echo "lintian reports errors"; fail=1; fi
  # Every description line fits the 80 columns package tools show.
  if dpkg-deb -f "$deb" Description | awk 'length > 80 { bad = 1 } END { exit !bad }'; then
    echo "a description line is longer than 80 characters"; fail=1
  fi
else
  echo "lintian is not installed: its check is left out"
fi
if [ "$fail" -ne 0 ]; then echo "FAILED"; exit 1; fi
echo "package $(basename "$deb") ok"
