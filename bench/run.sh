#!/usr/bin/env bash
# Builds the library in release mode and runs every family's benchmark script
# (bench/<family>/run.sh), each of which times the library side by side with
# its peer tool and prints the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKXAPI_BUILD_BENCH=ON -DKXAPI_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
export KX_BENCH_BUILD=$PWD/build-bench
export LD_LIBRARY_PATH=$PWD/build-bench/src${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
for script in bench/*/run.sh; do
  [ -f "$script" ] || continue
  [ -n "${1:-}" ] && [[ "$script" != *"$1"* ]] && continue
  echo "=== $(basename "$(dirname "$script")")"
  bash "$script"
done
