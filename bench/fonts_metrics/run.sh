#!/usr/bin/env bash
# AFM reader benchmark: reads the URW base-35 AFM files (about 3.5 MB) several
# times with the library's reader and with fontTools' afmLib, and prints the
# ratio. Called by bench/run.sh (KX_BENCH_BUILD set) or on its own.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KX_BENCH_BUILD:-build-bench}
if [ -z "${KX_BENCH_BUILD:-}" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKXAPI_BUILD_BENCH=ON -DKXAPI_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target bench_afm_reader >/dev/null
fi
bin=$build/bench/fonts/bench_afm_reader
[ -x "$bin" ] || { echo "bench_afm_reader not built"; exit 1; }
dir=/usr/share/fonts/type1/urw-base35
shopt -s nullglob
files=("$dir"/*.afm)
[ ${#files[@]} -gt 0 ] || files=(tests/data/afm/*.afm)
repeat=${KX_AFM_BENCH_REPEAT:-20}
echo "AFM reader, ${#files[@]} files x $repeat"
lib=$("$bin" "$repeat" "${files[@]}")
echo "kxapi:   $lib"
py=/usr/bin/python3
[ -x "$py" ] || py=python3
peer=$("$py" - "$repeat" "${files[@]}" <<'PY'
import sys, time
from fontTools import afmLib
repeat, files = int(sys.argv[1]), sys.argv[2:]
start, cpu_start = time.perf_counter(), time.process_time()
for _ in range(repeat):
    for f in files:
        afmLib.AFM(f)
secs, cpu = time.perf_counter() - start, time.process_time() - cpu_start
n = repeat * len(files)
print("%.0f files/s (%.3f s wall; %.0f files per CPU second)" % (n / secs, secs, n / cpu))
PY
)
echo "afmLib:  $peer"
lib_cpu=$(echo "$lib" | sed -n 's/.*; \([0-9]*\) files per CPU second.*/\1/p')
peer_cpu=$(echo "$peer" | sed -n 's/.*; \([0-9]*\) files per CPU second.*/\1/p')
awk -v l="$lib" -v p="$peer" -v lc="$lib_cpu" -v pc="$peer_cpu" 'BEGIN { split(l, a, " "); split(p, b, " ");
  printf "ratio kxapi / afmLib: %.1fx files per second (wall), %.1fx per CPU second\n", a[2] / b[1], lc / pc }'
