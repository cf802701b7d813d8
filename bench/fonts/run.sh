#!/usr/bin/env bash
# Font identification benchmark: builds a directory of 2,000 font files of
# mixed formats (copies of the real fonts in tests/data, with AFM and FMF
# companions for some), identifies every one with KxFonQueryInfo, and times
# file(1) identifying the same directory for comparison.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KX_BENCH_BUILD:-build-bench}
bin=$build/bench/fonts/bench_font_identify
[ -x "$bin" ] || { echo "bench_font_identify not built"; exit 1; }
work=$(mktemp -d /tmp/kx-font-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# A font directory as installations keep them: Type 1 fonts with their AFM and
# PFM beside them, ASCII Type 1 fonts, and PCL bitmap soft fonts.
d=tests/data
groups=("$d/type1/NimbusMonoPS-Regular.pfb $d/type1/NimbusMonoPS-Regular.afm $d/pfm/NimbusMonoPS-Regular.pfm"
        "$d/type1/StandardSymbolsPS.pfb $d/type1/StandardSymbolsPS.afm $d/pfm/StandardSymbolsPS.pfm"
        "$d/type1/NimbusMonoPS-Regular.pfa" "$d/type1/StandardSymbolsPS.pfa"
        "$d/pcl/dvilj2p-cmr10.sfp" "$d/pcl/dvilj4-600-cmr10.sfp"
        "$d/pcl/ghostpdl-bitfont-Uncial.sfp" "$d/pcl/okidriver-prn-id3.sfp")
n=${KX_FONT_BENCH_FILES:-2000}
count=0
for ((i = 0; count < n; i++)); do
  for f in ${groups[$((i % ${#groups[@]}))]}; do
    [ "$count" -lt "$n" ] || break
    base=$(basename "$f"); cp "$f" "$work/font$i.${base##*.}"; count=$((count + 1))
  done
done
echo "font identification, $n files"
out=$("$bin" "$work" 3 2)
echo "$out"
start=$(date +%s.%N)
file -b "$work"/* >/dev/null
end=$(date +%s.%N)
lib=$(echo "$out" | sed -n 's/^identify: \([0-9]*\) files.*/\1/p')
python3 - "$start" "$end" "$n" "$lib" <<'PY'
import sys
s, e, n, lib = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
peer = n / (e - s)
print("file(1): %.0f files/s (%.3f s)" % (peer, e - s))
print("ratio KxFonQueryInfo / file(1): %.1fx" % (lib / peer))
PY
