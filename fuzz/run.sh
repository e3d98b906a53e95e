#!/usr/bin/env bash
# Runs every fuzz target built in BUILD (or those named) for SECONDS each, nice'd, one after the
# other, on a corpus gathered into BUILD/fuzz-corpus. Exits non-zero at the first finding; the
# input that found it is kept as BUILD/fuzz-findings/<target>-crash-*.
# Usage: fuzz/run.sh BUILD SECONDS [TARGET...]   (TARGET: receive, catalogue, config, ...)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: $0 BUILD SECONDS [TARGET...]}"
seconds="${2:?usage: $0 BUILD SECONDS [TARGET...]}"
shift 2
corpus="$build/fuzz-corpus"
findings="$build/fuzz-findings"
mkdir -p "$findings"
fuzz/gather-seeds.sh "$corpus" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$build"/bin/fuzz_*; do targets+=("${bin##*/fuzz_}"); done
fi
# Scratch files of the targets go to memory, not to the disk.
scratch="$(mktemp -d "${TMPDIR:-/tmp}/varnex-fuzz.XXXXXX")"
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch="$(mktemp -d /dev/shm/varnex-fuzz.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT

for t in "${targets[@]}"; do
  bin="$build/bin/fuzz_$t"
  [ -x "$bin" ] || { echo "fuzz: no target $bin" >&2; exit 1; }
  mkdir -p "$corpus/$t"
  log="$build/fuzz-$t.log"
  if TMPDIR="$scratch" nice -n 10 "$bin" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$t-" \
      "$corpus/$t" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz $t: ${runs:-?} runs in ${seconds} s, no finding"
  else
    echo "fuzz $t: FINDING (see $log and $findings/)" >&2
    grep -E 'ERROR|invariant broken|runtime error' "$log" | head -5 >&2 || true
    exit 1
  fi
done
