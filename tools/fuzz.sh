#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and UBSan) and
# runs each fuzz target for a bounded time, one after the other in a single
# process each, starting from the committed corpus in tests/fuzz/corpus/.
# Prints every target's executions and coverage. Exits non-zero when a target
# crashes, leaks, hangs, trips a sanitizer or breaks one of its checks; the
# input that did it is kept in build/fuzz/artifacts/<target>/ (add it to
# tests/fuzz/corpus/<target>/ once the module is fixed).
#
#   tools/fuzz.sh                      # 60 seconds per target
#   tools/fuzz.sh --seconds 600        # the long run
#   tools/fuzz.sh --target text_functions --seconds 30
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=60
targets=()
usage() {
  sed -n '2,13s/^# \{0,1\}//p' "$0"
  exit "${1:-0}"
}
while (($#)); do
  case "$1" in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --seconds=*) seconds=${1#*=}; shift ;;
    --target) targets+=("${2:?--target needs a name}"); shift 2 ;;
    --target=*) targets+=("${1#*=}"); shift ;;
    -h | --help) usage ;;
    *) echo "fuzz.sh: unknown argument $1" >&2; usage 2 >&2 ;;
  esac
done
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: --seconds wants a positive number" >&2; exit 2; }
((${#targets[@]})) || targets=(export_sequence text_functions)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"${STATS_JOBS:-2}" --target "${targets[@]/%/_fuzzer}"

# Scratch space in memory where there is some: the module's files are
# written, renamed and truncated at every input, which on a disk file system
# costs more than the checks.
scratch=${TMPDIR:-/tmp}
if [[ -d /dev/shm && -w /dev/shm ]]; then
  scratch=/dev/shm
fi
work=$(mktemp -d "$scratch/stats-fuzz.XXXXXX")
pid=
cleanup() {
  if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failed=0
for target in "${targets[@]}"; do
  binary=$root/build/fuzz/tests/fuzz/${target}_fuzzer
  seeds=$root/tests/fuzz/corpus/$target
  artifacts=$root/build/fuzz/artifacts/$target
  [[ -d $seeds ]] || { echo "fuzz.sh: no corpus $seeds" >&2; exit 2; }
  mkdir -p "$work/$target/corpus" "$work/$target/tmp" "$artifacts"
  log=$work/$target/log
  printf '\n== %s, %s s ==\n' "$target" "$seconds"
  # New inputs go to the scratch corpus (the first directory); the committed
  # one is only read. The module's files go to a scratch TMPDIR.
  set +e
  TMPDIR=$work/$target/tmp UBSAN_OPTIONS=print_stacktrace=1 \
    "$binary" -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$work/$target/corpus" "$seeds" >"$log" 2>&1 &
  pid=$!
  wait "$pid"
  status=$?
  pid=
  set -e
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE ' "$log" | tail -n 1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  added=$(sed -n 's/^stat::new_units_added: *//p' "$log" | tail -n 1)
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  corpus=$(sed -n 's/.* corp: \([0-9]*\/[0-9A-Za-z]*\).*/\1/p' <<<"$done_line")
  if ((status == 0)) && [[ -n $done_line ]]; then
    echo "$target: ${runs:-?} executions (${rate:-?}/s), coverage cov ${cov:-?} ft ${ft:-?}," \
      "corpus ${corpus:-?} (${added:-?} new), peak RSS ${rss:-?} MB"
  else
    failed=1
    echo "$target: FAILED (exit $status) after ${runs:-?} executions; last lines of its output:"
    grep -v -e '^    #' -e '^0x' -e '^\\' "$log" | tail -n 30
    ls -t "$artifacts" 2>/dev/null | head -n 3 | sed "s|^|  input kept: $artifacts/|"
  fi
done
exit "$failed"
