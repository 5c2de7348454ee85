#!/usr/bin/env bash
# Builds the libFuzzer targets in build/fuzz and runs them one after another, niced.
#   fuzz/run.sh smoke   FUZZ_SMOKE_SECONDS (15) each, from a scratch copy of the committed
#                       corpus; what `make test` runs
#   fuzz/run.sh long    FUZZ_SECONDS (300) each, growing build/fuzz/corpus/<target>; `make fuzz`
# Further arguments name the targets to run (all three by default). A crash, a mismatch
# with a model or a leak fails the run; the reproducer lands in build/fuzz/crashes/<target>/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tree=$root/build/fuzz
mode=${1:-smoke}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_convert fuzz_interval fuzz_name)

case $mode in
  smoke) seconds=${FUZZ_SMOKE_SECONDS:-15} ;;
  long) seconds=${FUZZ_SECONDS:-300} ;;
  *) echo "usage: $0 smoke|long [target...]" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$tree" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVANE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$tree" -j "$(nproc)" --target "${targets[@]}" >/dev/null

# Inputs of fuzz_convert stay small: its repeat directives make the long lines.
max_len() {
  case $1 in
    fuzz_convert) echo 4096 ;;
    *) echo 600 ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  if [ "$mode" = smoke ]; then
    corpus=$tree/smoke-corpus/$target
    rm -rf "$corpus"
  else
    corpus=$tree/corpus/$target
  fi
  crashes=$tree/crashes/$target
  mkdir -p "$corpus" "$crashes"
  for seed in "$root/fuzz/corpus/$target/"*; do
    [ -e "$corpus/$(basename "$seed")" ] || cp "$seed" "$corpus/"
  done
  log=$tree/$target-$mode.log
  echo "fuzz: $target for ${seconds}s ($mode), log $log"
  if ! nice -n 10 "$tree/fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
      -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$crashes/" -print_final_stats=1 \
      "$corpus" >"$log" 2>&1; then
    echo "fuzz: $target FAILED; the end of its log:" >&2
    tail -n 40 "$log" >&2
    status=1
    continue
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log" |
    sed "s/^/  /"
  echo "  corpus: $(ls "$corpus" | wc -l) files"
done
exit $status
