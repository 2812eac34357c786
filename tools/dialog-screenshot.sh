#!/usr/bin/env bash
# Takes the README's picture of the station details dialog,
# docs/station-dialog.png: the test host opens the dialog through the real
# Stats.dll on a virtual display, with sample details in the settings file,
# and holds it open while the screen is taken; the picture is then cut to
# the dialog's window.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
host=$root/build/windows/bin/stats_host_tests.exe

if [ "${1:-}" = "--on-display" ]; then
  # Inside xvfb-run: the host and the screen grab share its display. The
  # host runs on a Wine desktop of its own, which draws the caption bars
  # itself where there is no window manager to do it.
  work=$2
  "$here/wine-run.sh" explorer /desktop=StatsScreenshot,1024x768 "Z:${host//\//\\}" \
    --gtest_also_run_disabled_tests --gtest_filter='DialogScreenshot.*' >"$work/host.log" 2>&1 &
  pid=$!
  for _ in $(seq 1200); do
    [ -s "$work/dialog.txt" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/dialog.txt" ]; then
    cat "$work/host.log" >&2
    wait "$pid" || true
    echo "the dialog did not open" >&2
    exit 1
  fi
  import -window root "$work/screen.png"
  : >"$work/taken"
  if ! wait "$pid"; then
    cat "$work/host.log" >&2
    exit 1
  fi
  exit 0
fi

cd "$root"
if [ ! -f build/windows/CMakeCache.txt ]; then
  cmake --preset windows
fi
cmake --build --preset windows -j2
"$here/wine-prefix.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
STATS_SCREENSHOT_DIR="Z:$work" xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display "$work"
read -r geometry <"$work/dialog.txt"
mkdir -p docs
convert "$work/screen.png" -crop "$geometry" +repage -strip docs/station-dialog.png
echo "docs/station-dialog.png ($geometry)"
