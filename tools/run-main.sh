#!/usr/bin/env bash
# The main job: builds Stats.dll and the host player, then plays the bundled
# sample contest log (samples/velmora-sample.adi) through the DLL under Wine,
# in report mode with the bundled station details, in build/main-job/. It
# prints the summary and the counts, checks them and the files against
# samples/expected/, and says where the Cabrillo and rejected-QSO files are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${STATS_JOBS:-2}
work=build/main-job

step() { printf '\n== %s ==\n' "$*"; }

step "Installing what is missing"
tools/install-deps.sh

step "Building Stats.dll and the player for 32-bit Windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"

step "Playing samples/velmora-sample.adi through Stats.dll under Wine"
export WINEPREFIX="$root/build/wineprefix"
tools/wine-prefix.sh
status=0
tools/player/play-sample.sh --compare build/windows/bin/stats-player.exe "$work" || status=$?
wineserver -k 2>/dev/null || true

step "Files"
cat <<EOF
Cabrillo log:      $work/UA3VLM.cbr
Refused QSOs:      $work/UA3VLM-ubn.txt
Station details:   $work/Plugins/ULMAK.ini (with the claimed score)
Summary as played: $work/summary.txt
Expected output:   samples/expected/
EOF
exit "$status"
