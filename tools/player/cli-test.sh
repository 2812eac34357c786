#!/usr/bin/env bash
# The player under Wine on logs it must refuse, on a missing module, and with
# the round check.
#
#   tools/player/cli-test.sh PLAYER.exe WORK_FOLDER
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PLAYER.exe WORK_FOLDER" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
player=$(realpath "$1")
mkdir -p "$2"
work=$(realpath "$2")
# The folder is emptied first: only one this script made, or an empty one.
if [ -n "$(ls -A "$work")" ] && [ ! -e "$work/.player-work" ]; then
  echo "$work is not empty and not a work folder of the player's: not touched" >&2
  exit 2
fi
find "$work" -mindepth 1 -delete
touch "$work/.player-work"
failures=0

qso='<CALL:5>R3ABC<QSO_DATE:8>20240218<TIME_ON:4>0905<BAND:3>80m<MODE:2>CW<STX_STRING:5>00001<SRX_STRING:5>00002'
printf '%s<EOR>\r\n<CALL:10>R3AB' '<CALL:5>R3ABC' >"$work/past-end.adi"
printf '%s<EOR>\r\n' "${qso/0905/0960}" >"$work/bad-time.adi"
printf '%s<EOR>\r\n' "$qso" >"$work/no-own-call.adi"
printf 'START-OF-LOG: 2.0\r\nQSO: 3526 CW 2024-02-18 0905 UA3VLM 599 00001 R3ABC 599 00002\r\n' \
  >"$work/cabrillo.adi"

# expect LABEL STATUS TEXT ARGS...: the player ends with STATUS and prints
# TEXT (on either stream).
expect() {
  local label=$1 status=$2 text=$3
  shift 3
  local got=0
  (cd "$work" && "$root/tools/wine-run.sh" "$player" "$@") >"$work/out.txt" 2>&1 || got=$?
  if [ "$got" -ne "$status" ] || ! grep -qF -- "$text" "$work/out.txt"; then
    echo "FAILED: $label: wanted status $status and: $text" >&2
    echo "got status $got and:" >&2
    cat -v "$work/out.txt" >&2
    failures=$((failures + 1))
  else
    echo "ok: $label"
  fi
}

expect "data past the end" 2 \
  'past-end.adi: record 2 (offset 20): the data of "<CALL:10>" run past the end of the file (4 bytes left)' \
  --call UA3VLM past-end.adi
expect "a record without a usable time" 2 \
  'bad-time.adi: record 1 (offset 0): TIME_ON "0960" is not a time HHMM or HHMMSS' \
  --call UA3VLM bad-time.adi
expect "not ADIF" 2 \
  'cabrillo.adi: not an ADIF file: it does not begin with a field tag, and no <EOH> ends a header' \
  --call UA3VLM cabrillo.adi
expect "a log that is not there" 2 'cannot read missing.adi' --call UA3VLM missing.adi
expect "no own callsign" 1 'the log names no STATION_CALLSIGN or OPERATOR; give --call' \
  no-own-call.adi
expect "no module" 3 'cannot load Z:\nowhere\Stats.dll' \
  --call UA3VLM --dll 'Z:\nowhere\Stats.dll' no-own-call.adi
expect "an unknown option" 1 'unknown option --frobnicate' --frobnicate no-own-call.adi
expect "the own callsign names the rejected-QSO file" 0 'Refused QSOs: R3XYZ-ubn.txt' \
  --call R3XYZ no-own-call.adi

# The round check asks the module about the clock now. R3ABC in CW today at
# minutes 5, 25 and 45 of every hour is a repeat in any round, whatever the
# time; only minute 59 belongs to no round.
before=$(date -u +%M)
today=$(date -u +%Y%m%d)
for hour in $(seq -w 0 23); do
  for minute in 05 25 45; do
    printf '%s<EOR>\r\n' "${qso/0905/$hour$minute}"
  done
done | sed "s/20240218/$today/g" >"$work/every-round.adi"
warning='Check R3ABC CW: 4, QSO c R3ABC В ОДНОМ И ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!'
checks=(--call UA3VLM --check R3ABC CW --check R3ABC SSB --check r3abc CW every-round.adi)
(cd "$work" && "$root/tools/wine-run.sh" "$player" "${checks[@]}") >"$work/checks.txt" 2>&1
after=$(date -u +%M)
# A minute that changed on the way may have been 59, or the day may have.
if [ "$before" = "$after" ] && [ "$before" != 59 ]; then
  grep -qF "$warning" "$work/checks.txt" || {
    echo "FAILED: the round check gave no warning:" >&2
    failures=$((failures + 1))
  }
fi
for other in 'Check R3ABC SSB: 2, no repeat in the running round' \
  'Check r3abc CW: 2, no repeat in the running round'; do
  grep -qF "$other" "$work/checks.txt" || {
    echo "FAILED: no \"$other\"" >&2
    failures=$((failures + 1))
  }
done
cat "$work/checks.txt"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "All player command-line cases passed."
