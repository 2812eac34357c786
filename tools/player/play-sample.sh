#!/usr/bin/env bash
# Plays the bundled sample log through Stats.dll under Wine, in report mode,
# in a fresh work folder that holds the bundled settings (Plugins/ULMAK.ini,
# cabrillo.ini), and prints what the player prints.
#
#   tools/player/play-sample.sh [--compare | --update] PLAYER.exe WORK_FOLDER
#
# --compare  compares the summary, the Cabrillo file and the rejected-QSO file
#            byte for byte with samples/expected/ and fails on a difference.
# --update   rewrites samples/expected/ from this run, after checking the
#            summary against the one tools/gen-sample-log.py works out from
#            the contest's rules. Look at the diff before committing it.
set -euo pipefail

mode=play
case "${1:-}" in
--compare | --update)
  mode=${1#--}
  shift
  ;;
esac
if [ $# -ne 2 ]; then
  echo "usage: $0 [--compare | --update] PLAYER.exe WORK_FOLDER" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
player=$(realpath "$1")
mkdir -p "$2"
work=$(realpath "$2")
samples=$root/samples
expected=$samples/expected
own=UA3VLM
outputs=(summary.txt "$own.cbr" "$own-ubn.txt")

# Start from the bundled settings only, so that every run gives the same
# files. The folder is emptied first: only an empty one, or one this script
# made.
if [ -n "$(ls -A "$work")" ] && [ ! -e "$work/.player-work" ]; then
  echo "$work is not empty and not a work folder of the player's: not touched" >&2
  exit 2
fi
find "$work" -mindepth 1 -delete
touch "$work/.player-work"
mkdir -p "$work/Plugins"
cp "$samples/Plugins/ULMAK.ini" "$work/Plugins/ULMAK.ini"
cp "$samples/cabrillo.ini" "$work/cabrillo.ini"

# Wine sees the Unix root as drive Z:. The station details dialog needs a
# display (Xvfb); --confirm presses its OK.
status=0
"$root/tools/wine-run.sh" --display "$player" --confirm --dir "Z:$work" \
  --summary "Z:$work/summary.txt" "Z:$samples/velmora-sample.adi" \
  >"$work/player-output.txt" 2>"$work/player-errors.txt" || status=$?
cat "$work/player-output.txt"
# Xvfb going away before Wine's own processes is no news.
grep -v '^X connection to .* broken' "$work/player-errors.txt" >&2 || true
if [ "$status" -ne 0 ]; then
  echo "the player failed with status $status" >&2
  exit 1
fi

differs=0
compare() { # expected actual
  if ! cmp -s "$1" "$2"; then
    echo "differs from $1:" >&2
    diff <(cat -v "$1") <(cat -v "$2") | head -20 >&2 || true
    differs=1
  fi
}

case "$mode" in
compare)
  for f in "${outputs[@]}"; do
    compare "$expected/$f" "$work/$f"
  done
  # What the player prints begins with that same summary.
  size=$(stat -c %s "$expected/summary.txt")
  compare "$expected/summary.txt" <(head -c "$size" "$work/player-output.txt")
  if [ "$differs" -ne 0 ]; then
    exit 1
  fi
  echo "The summary, $own.cbr and $own-ubn.txt equal samples/expected/ byte for byte."
  ;;
update)
  compare <("$root/tools/gen-sample-log.py" --summary) "$work/summary.txt"
  if [ "$differs" -ne 0 ]; then
    echo "the module's summary is not the one the rules give: samples/expected/ left alone" >&2
    exit 1
  fi
  mkdir -p "$expected"
  for f in "${outputs[@]}"; do
    cp "$work/$f" "$expected/$f"
  done
  echo "samples/expected/ rewritten from this run."
  ;;
esac
