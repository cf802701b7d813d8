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

src=(tests/data/type1/NimbusMonoPS-Regular.pfb tests/data/type1/StandardSymbolsPS.pfb
     tests/data/type1/NimbusMonoPS-Regular.pfa tests/data/type1/StandardSymbolsPS.pfa
     tests/data/type1/NimbusMonoPS-Regular.afm tests/data/type1/StandardSymbolsPS.afm
     tests/data/pfm/NimbusSans-Regular.pfm tests/data/pfm/NimbusRoman-Italic.pfm
     tests/data/pcl/dvilj2p-cmr10.sfp tests/data/pcl/dvilj4-600-cmr10.sfp
     tests/data/pcl/ghostpdl-bitfont-Uncial.sfp tests/data/pcl/okidriver-prn-id3.sfp)
n=${KX_FONT_BENCH_FILES:-2000}
for ((i = 0; i < n; i++)); do
  f=${src[$((i % ${#src[@]}))]}
  base=$(basename "$f"); ext=${base##*.}
  cp "$f" "$work/font$i.$ext"
done
echo "font identification, $n files"
out=$("$bin" "$work" 3)
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
