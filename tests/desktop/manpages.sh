#!/usr/bin/env bash
# The man pages render without a warning, and every command and option veltrane-cli's usage
# texts name is documented in its page and offered by the completion.
set -euo pipefail
src="$1" build="$2"
cli="$build/app/veltrane-cli/veltrane-cli"
completion="$build/assets/completion/veltrane-cli"
fail=0
for page in "$src"/assets/man/*.1; do
  out="$(groff -ww -z -t -man "$page" 2>&1)" || fail=1
  [ -z "$out" ] || { echo "$(basename "$page"): $out"; fail=1; }
  if command -v man >/dev/null; then
    out="$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)" || fail=1
    [ -z "$out" ] || { echo "man -l $(basename "$page"): $out"; fail=1; }
  fi
done
# Usage texts: the program's and each command's.
usage="$("$cli" --help)"
for cmd in "tag show" "tag set" "tag number" "tag from-v2" "tag export" "tag import" "tag case" "tag replace" "tag format" "tag codepage" "tag recode" find list from-name rename select undo "playlist write"; do
  # shellcheck disable=SC2086
  usage+=$'\n'"$("$cli" $cmd --help 2>/dev/null || true)"
done
page="$src/assets/man/veltrane-cli.1"
for option in $(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$usage" | sort -u); do
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" "$page" || { echo "not in the man page: $option"; fail=1; }
  grep -qE -- "(^|[ \"])$option( |\"|$)" "$completion" || { echo "not in the completion: $option"; fail=1; }
done
flat="$(tr '\n' ' ' <"$completion")"
for cmd in $("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' | sort -u); do
  grep -qE "^\.B $(sed 's/-/\\\\-/g' <<<"$cmd")( |$)" "$page" || { echo "command not in the man page: $cmd"; fail=1; }
  [[ "$flat" =~ compgen\ -W\ \"([^\"]*[[:space:]])?$cmd[[:space:]] ]] ||
    { echo "command not in the completion: $cmd"; fail=1; }
done
if [ "$fail" -ne 0 ]; then echo "FAILED"; exit 1; fi
echo "man pages ok"
