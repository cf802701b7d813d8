#!/usr/bin/env bash
# ZIP extraction beside bsdtar: (a) a deflated archive of about 200 MB of
# mixed text and binary files, (b) one of 20,000 small files; then output
# MB/s for each method on the same content (the method fixtures).
# Inputs are generated on first use into $KX_BENCH_BUILD/zip-data.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KX_BENCH_BUILD:-$root/build-bench}
bench=$build/bench/zip/zip_bench
data=$build/zip-data
# Extract into memory when possible, so disk write-back does not blur the figures.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=/dev/shm/kx-zip-bench.$$; else work=$build/zip-work; fi
command -v bsdtar >/dev/null || { echo "bsdtar (libarchive-tools) is needed"; exit 1; }
if [ ! -f "$data/mixed.zip" ] || [ ! -f "$data/small.zip" ]; then
  echo "generating benchmark archives in $data ..."
  rm -rf "$data"; mkdir -p "$data"
  python3 "$root/bench/zip/gen_data.py" "$data"
  (cd "$data/mixed" && zip -q -r -X "$data/mixed.zip" .)
  (cd "$data/small" && zip -q -r -X "$data/small.zip" .)
  rm -rf "$data/mixed" "$data/small"
fi

# One extraction into a fresh directory: prints "wall cpu" in seconds
# (cpu = user + system time of the extracting process).
TIMEFORMAT='%R %U %S'
measure() {
  rm -rf "$work"; mkdir -p "$work"
  { time "$@" >/dev/null; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}
best() { sort -g | head -1; }

runs=${KX_BENCH_RUNS:-5}
echo "best of $runs runs each, alternating; extracting into $work"
printf '%-26s %9s %9s %7s   %9s %9s %7s\n' "archive" "kxapi" "bsdtar" "ratio" "kxapi" "bsdtar" "ratio"
printf '%-26s %27s   %27s\n' "" "wall seconds" "cpu seconds"
for name in mixed small; do
  a=$data/$name.zip
  kx_w=(); kx_c=(); bt_w=(); bt_c=()
  for _ in $(seq "$runs"); do
    read -r w c < <(measure bsdtar -xf "$a" -C "$work"); bt_w+=("$w"); bt_c+=("$c")
    read -r w c < <(measure "$bench" extract "$a" "$work"); kx_w+=("$w"); kx_c+=("$c")
  done
  kw=$(printf '%s\n' "${kx_w[@]}" | best); bw=$(printf '%s\n' "${bt_w[@]}" | best)
  kc=$(printf '%s\n' "${kx_c[@]}" | best); bc=$(printf '%s\n' "${bt_c[@]}" | best)
  label="$name ($(du -m "$a" | cut -f1) MB zip)"
  printf '%-26s %9.3f %9.3f %7.2f   %9.3f %9.3f %7.2f\n' "$label" "$kw" "$bw" \
    "$(awk -v k="$kw" -v b="$bw" 'BEGIN { print k / b }')" "$kc" "$bc" \
    "$(awk -v k="$kc" -v b="$bc" 'BEGIN { print k / b }')"
done
rm -rf "$work"

echo "output MB/s by method (same content: the method fixtures, 0.69 MB per archive):"
for m in m0_stored m1_shrink m2_reduce1 m5_reduce4 m6_implode_4k m6_implode_8k_lit m8_deflate; do
  printf '  %-20s %8s MB/s\n' "$m" "$("$bench" method "$root/tests/data/zip/methods/$m.zip" "$work")"
done
rm -rf "$work"
