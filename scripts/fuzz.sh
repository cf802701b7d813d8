#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
#   scripts/fuzz.sh [SECONDS] [TARGET-NAME-FILTER]
# Corpora live in fuzz/corpus/<target>/ (seeds committed there are used and grown
# in a scratch copy); a crash leaves its input in build-fuzz/crashes/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
filter=${2:-}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKXAPI_FUZZ=ON -DKXAPI_BUILD_TESTS=OFF \
  -DKXAPI_BUILD_TOOLS=OFF -DKXAPI_WITH_CUPS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
status=0
for bin in build-fuzz/fuzz/*/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  [[ -n "$filter" && "$name" != *"$filter"* ]] && continue
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus" "build-fuzz/crashes/$name"
  [ -d "fuzz/corpus/$name" ] && cp -rn "fuzz/corpus/$name/." "$corpus/" 2>/dev/null || true
  echo "== $name for ${secs}s"
  if ! "$bin" "$corpus" -max_total_time="$secs" -print_final_stats=1 \
       -artifact_prefix="build-fuzz/crashes/$name/" 2>"build-fuzz/$name.log"; then
    echo "   FAILED: see build-fuzz/$name.log"; status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "build-fuzz/$name.log" | sed 's/^/   /' || true
done
exit $status
