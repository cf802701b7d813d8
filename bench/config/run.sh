#!/usr/bin/env bash
# Configuration-file benchmarks, each timing the library and its peer side by
# side in one run. Called by bench/run.sh (KX_BENCH_BUILD set) or on its own.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KX_BENCH_BUILD:-build-bench}
if [ -z "${KX_BENCH_BUILD:-}" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKXAPI_BUILD_BENCH=ON -DKXAPI_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target bench_ini >/dev/null
fi
# Files live in memory-backed storage when there is some, so that the figures
# measure the code rather than the disk (the INI close flushes its file).
work_root=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && work_root=/dev/shm
work=$(mktemp -d "$work_root/kx-bench-config.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Step 1: INI engine vs Python configparser: open, read every key with
# KxIniRead2, write 1,000 new keys, close; at 500 and 1,000 sections x 100 keys.
echo "INI: open, read every key, write 1000 new keys, close (best of 9 runs, processor ms)"
for sections in 500 1000; do
  python3 - "$work/ini_$sections.ini" "$sections" 100 <<'PY'
import sys
path, sections, keys = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "w") as f:
    for s in range(sections):
        f.write("[section%d]\n" % s)
        for k in range(keys):
            f.write("key%d = value %d of section %d\n" % (k, k, s))
        f.write("\n")
PY
done
# The library runs both sizes in turn, round after round.
"$build/bench/config/bench_ini" 9 "500:$work/ini_500.ini:$work/lib_500.ini" \
  "1000:$work/ini_1000.ini:$work/lib_1000.ini" >"$work/lib.txt"
printf '%-22s %10s %12s %8s\n' "file" "kxapi" "configparser" "ratio"
for sections in 500 1000; do
  lib=$(awk -v s="$sections" '$1 == s { print $2 }' "$work/lib.txt")
  peer=$(python3 bench/config/ini_peer.py "$work/ini_$sections.ini" "$work/peer.ini" "$sections" 100 9)
  awk -v n="$sections x 100 keys" -v l="$lib" -v p="$peer" 'BEGIN { printf "%-22s %10s %12s %7.1fx\n", n, l, p, p / l }'
done
awk 'NR == 1 { a = $2 } NR == 2 { b = $2 }
     END { printf "scaling (1000 / 500 sections): %.2fx the time for 2x the file\n", b / a }' "$work/lib.txt"

# Step 2: job-accounting parser on a ~64 KiB block of about 7,500 elements,
# MB/s, beside the same element walk in plain Python.
if [ -z "${KX_BENCH_BUILD:-}" ]; then
  cmake --build "$build" -j2 --target bench_parse >/dev/null
fi
echo "Job-accounting parser: one block of many elements, parsed repeatedly for 2 s"
out=$("$build/bench/config/bench_parse" 2 --write "$work/jobaccount.bin")
echo "$out"
lib_mbs=$(echo "$out" | sed -n 's/^jobaccount: \([0-9.]*\) MB\/s.*/\1/p')
peer_mbs=$(python3 bench/config/parse_peer.py "$work/jobaccount.bin" 2)
awk -v l="$lib_mbs" -v p="$peer_mbs" 'BEGIN { printf "python element walk: %.2f MB/s; ratio KxParseJobAccountingAlert / python: %.0fx\n", p, l / p }'
