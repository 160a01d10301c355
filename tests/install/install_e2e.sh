#!/usr/bin/env bash
# install --unattended into a directory with a blank in its name, a second install that
# merges its log, then the uninstall started the way the menu entry starts it. A file the user
# added and one that was there before survive; nothing the install made is left.
set -euo pipefail
dist="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" TMPDIR="$work/tmp"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME" "$TMPDIR"
fail() { echo "FAILED: $*"; exit 1; }

target="$HOME/apps/My Veltrane"      # created by the install

"$dist/install" --unattended --dir "$target" > "$work/out1.txt" || fail "first install"
apps="$HOME/.local/share/applications"
for f in "$apps"/tsetup-veltrane-*.desktop "$HOME/.local/share/desktop-directories/tsetup-veltrane.directory"; do
  [ -e "$f" ] || fail "missing $f"
  out="$(desktop-file-validate "$f" 2>&1)" || true
  [ -z "$out" ] || fail "$out"
done
[ "$(ls "$apps"/*.desktop | wc -l)" -eq 3 ] || fail "three menu items expected"
[ -e "$HOME/.local/share/icons/hicolor/scalable/apps/tsetup-veltrane-veltrane.svg" ] || fail "icon"
[ -e "$HOME/.config/menus/applications-merged/tsetup-veltrane.menu" ] || fail "merged menu"
grep -qx 'MimeType=audio/mpeg;' "$apps/tsetup-veltrane-veltrane.desktop" || fail "MimeType"

log="$target/INSTALL.LOG"
expected="[Directories]
Windows=$HOME/.config/
Install=$target/
[Created Dirs]
$HOME/apps/=
$target/=
$HOME/.local/=
$HOME/.local/share/=
$HOME/.local/share/desktop-directories/=
$HOME/.config/=
$HOME/.config/menus/=
$HOME/.config/menus/applications-merged/=
$HOME/.local/share/icons/=
$HOME/.local/share/icons/hicolor/=
$HOME/.local/share/icons/hicolor/scalable/=
$HOME/.local/share/icons/hicolor/scalable/apps/=
$HOME/.local/share/icons/hicolor/16x16/=
$HOME/.local/share/icons/hicolor/16x16/apps/=
$HOME/.local/share/icons/hicolor/22x22/=
$HOME/.local/share/icons/hicolor/22x22/apps/=
$HOME/.local/share/icons/hicolor/24x24/=
$HOME/.local/share/icons/hicolor/24x24/apps/=
$HOME/.local/share/icons/hicolor/32x32/=
$HOME/.local/share/icons/hicolor/32x32/apps/=
$HOME/.local/share/icons/hicolor/48x48/=
$HOME/.local/share/icons/hicolor/48x48/apps/=
$HOME/.local/share/icons/hicolor/64x64/=
$HOME/.local/share/icons/hicolor/64x64/apps/=
$HOME/.local/share/icons/hicolor/128x128/=
$HOME/.local/share/icons/hicolor/128x128/apps/=
$HOME/.local/share/icons/hicolor/256x256/=
$HOME/.local/share/icons/hicolor/256x256/apps/=
$HOME/.local/share/applications/=
[Files]
$target/install=
$target/readme.txt=
$target/veltrane=
$target/whatsnew.txt=
[Program Groups]
0=Veltrane:~:
1=Veltrane:~:Veltrane
2=Veltrane:~:Uninstall
3=Veltrane:~:What is new in this version
[Language]
Language=English"
[ "$(cat "$log")" = "$expected" ] || { diff <(echo "$expected") "$log" || true; fail "first log"; }

"$dist/install" --unattended --dir "$target" --group Music > "$work/out2.txt" || fail "second install"
grep -qx '0=Music:~:' "$log" || fail "second install not logged"
grep -qx '4=Veltrane:~:' "$log" || fail "first install's record lost in the merge"
[ "$(ls "$apps"/*.desktop | wc -l)" -eq 6 ] || fail "six menu items expected"

printf 'mine\n' > "$target/notes.txt"  # the user's own file
exec_line="$(sed -n 's/^Exec=//p' "$apps/tsetup-veltrane-uninstall.desktop")"
path_line="$(sed -n 's/^Path=//p' "$apps/tsetup-veltrane-uninstall.desktop")"
eval "set -- $exec_line"
(cd "$path_line" && "$@" --unattended) > "$work/out3.txt" || { cat "$work/out3.txt"; fail "uninstall"; }
grep -q "Deleted $target/veltrane" "$work/out3.txt" || fail "removals not printed"
grep -q "Unable to delete directory $target\." "$work/out3.txt" || fail "no warning for the directory"

[ "$(cat "$target/notes.txt")" = mine ] || fail "the user's file is gone"
for f in install readme.txt veltrane whatsnew.txt INSTALL.LOG; do
  [ ! -e "$target/$f" ] || fail "$f left behind"
done
left="$(find "$HOME" -name 'tsetup-*' -o -name mimeinfo.cache)"
[ -z "$left" ] || fail "menu files left: $left"
# The menu folders the install made went with their files.
[ ! -e "$HOME/.local" ] && [ ! -e "$HOME/.config/menus" ] || fail "menu folders left"
# Nothing new in the temporary directory, lock files neither; the temporary copy is gone.
extra="$(find "$TMPDIR" -mindepth 1)"
[ -z "$extra" ] || fail "left in the temporary directory: $extra"

# A directory that was there before, with a file the install would write: both stay.
old="$HOME/Old Place"
mkdir -p "$old"
printf 'old\n' > "$old/readme.txt"
"$dist/install" --unattended --dir "$old" > "$work/out4.txt" || fail "install into an existing directory"
grep -q "readme.txt" "$old/INSTALL.LOG" && fail "a file from before was recorded"
(cd "$old" && ./install Uninstall --unattended) > "$work/out5.txt" || fail "second uninstall"
[ "$(cat "$old/readme.txt")" = old ] || fail "the file from before is gone"
[ "$(ls "$old")" = readme.txt ] || fail "left in $old: $(ls "$old")"
extra="$(find "$TMPDIR" -mindepth 1 ! -name '*.lock')"
[ -z "$extra" ] || fail "left in the temporary directory: $extra"
echo "install end to end: passed"
