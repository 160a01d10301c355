#!/usr/bin/env bash
# The bash completion of veltrane-cli, asked as bash asks it: commands, options per command,
# genre names with blanks, field lists, and file names by kind.
set -uo pipefail
completion="$1/assets/completion/veltrane-cli"
# shellcheck disable=SC1090
source "$completion" || exit 1
[ "$(complete -p veltrane-cli)" = "complete -F _veltrane_cli veltrane-cli" ] ||
  { echo "not registered: $(complete -p veltrane-cli 2>&1)"; exit 1; }
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cd "$dir" && mkdir sub "Live Set" && touch a.mp3 B.MP3 notes.txt mix.m3u -- -dash.mp3

fail=0
# check "WORDS TO COMPLETE" "expected words, |-separated" [forbidden word]
check() {
  local line=$1 want=$2 bad=${3-}
  # Words split at blanks; "\ " is a blank kept in its word, as typed.
  read -r -a COMP_WORDS <<<"${line//\\ /$'\x01'}"
  COMP_WORDS=("${COMP_WORDS[@]//$'\x01'/\\ }")
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _veltrane_cli 2>/dev/null
  local got
  got="$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd'|')"
  want="$(tr '|' '\n' <<<"$want" | LC_ALL=C sort | paste -sd'|')"
  if [[ -n $bad ]]; then
    [[ "|$got|" != *"|$bad|"* && "|$got|" == *"|$want|"* ]] ||
      { echo "'$line': got '$got', want '$want' without '$bad'"; fail=1; }
  elif [[ $got != "$want" ]]; then
    echo "'$line': got '$got', want '$want'"; fail=1
  fi
}
check "veltrane-cli f" "find|from-name"
check "veltrane-cli --v" "--version"
check "veltrane-cli tag " "--help|case|codepage|export|format|from-v2|import|number|recode|replace|set|show"
check "veltrane-cli playlist w" "write"
check "veltrane-cli tag set --t" "--title|--track"
check "veltrane-cli tag set --n" "--no-undo"
check "veltrane-cli tag set --" "--genre" "--recursive"
check "veltrane-cli tag number --" "--keep-existing" "--title"
check "veltrane-cli undo --" "--force|--help|--list|--no-undo|--redo|--step"
check "veltrane-cli tag set --genre Classic" "Classic Rock|Classical"
check "veltrane-cli select --genre \"Class" "Classical|Classic Rock"
check "veltrane-cli tag set --genre = Classic\ R" "Classic Rock"
check "veltrane-cli from-name --fields artist,ti" "artist,title"
check "veltrane-cli rename --fields tr" "track"
check "veltrane-cli rename --d" "--dry-run"
check "veltrane-cli from-name --d" "--dry-run"
check "veltrane-cli list --sort -" "-1|-2|-3|-4|-5|-6|-7|-8"
check "veltrane-cli list --codepage ISO-8859-1" "ISO-8859-1|ISO-8859-15"
check "veltrane-cli tag set --title " ""
check "veltrane-cli tag set " "a.mp3|B.MP3|-dash.mp3|Live Set|sub"
check "veltrane-cli tag set -- -" "-dash.mp3"
check "veltrane-cli find " "Live Set|sub"
check "veltrane-cli playlist write " "Live Set|mix.m3u|sub"
check "veltrane-cli pack n" "notes.txt"
check "veltrane-cli undo " ""
if [ "$fail" -ne 0 ]; then echo "FAILED"; exit 1; fi
echo "completion ok"
