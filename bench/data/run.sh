#!/usr/bin/env bash
# File checksum, binary file send and hexadecimal copy, each timed side by
# side with its peer tool on the same file (best of KX_DATA_BENCH_RUNS runs,
# page cache warm). Sizes: KX_DATA_BENCH_MB (256) and KX_DATA_HEX_MB (64).
# The library operation is timed inside bench_data (the fixed start-up of a
# program linked with the spooler client libraries is left out); the peer
# tools are timed as whole processes (their start-up is about a millisecond).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${KX_BENCH_BUILD:-build-bench}
bin=$build/bench/data/bench_data
[ -x "$bin" ] || { echo "bench_data not built"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kx-data-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
runs=${KX_DATA_BENCH_RUNS:-3}
mb=${KX_DATA_BENCH_MB:-256}
hexmb=${KX_DATA_HEX_MB:-64}
head -c $((mb << 20)) /dev/urandom > "$work/big.bin"
head -c $((hexmb << 20)) "$work/big.bin" > "$work/hex.bin"
cat "$work/big.bin" "$work/hex.bin" > /dev/null   # warm the page cache

min() { if [ -z "$1" ] || (( $(echo "$2 < $1" | bc -l) )); then echo "$2"; else echo "$1"; fi; }
# lib ARGS...: shortest time bench_data reports over $runs runs.
lib() {
  local b="" t
  for ((r = 0; r < runs; r++)); do
    rm -f "$work/out"
    t=$("$bin" "$@" 2>/dev/null) || { echo "bench_data $1 failed" >&2; exit 1; }
    b=$(min "$b" "$t")
  done
  printf '%.3f' "$b"
}
# peer COMMAND...: shortest wall time of the whole process over $runs runs.
peer() {
  local b="" s e
  for ((r = 0; r < runs; r++)); do
    rm -f "$work/out"
    s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N)
    b=$(min "$b" "$(echo "$e - $s" | bc -l)")
  done
  printf '%.3f' "$b"
}
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
row() { printf '  %-48s %8ss\n' "$1" "$2"; }

echo "checksum of a ${mb} MiB file"
kx=$(lib checksum "$work/big.bin")
p=$(peer sum -s "$work/big.bin")
row "KxFilChecksum" "$kx"; row "sum -s" "$p"
echo "  ratio library/sum -s: $(ratio "$kx" "$p") (below 1: the library is faster)"

echo "KxDatSendFile, binary, ${mb} MiB to a file"
kx=$(lib send "$work/big.bin" "$work/out")
cmp -s "$work/big.bin" "$work/out" || { echo "  send: output differs"; exit 1; }
dd=$(peer dd if="$work/big.bin" of="$work/out" bs=2048 status=none)
cat=$(peer sh -c 'cat "$1" > "$2"' sh "$work/big.bin" "$work/out")
row "KxDatSendFile (one flushed write per 2048 bytes)" "$kx"; row "dd bs=2048" "$dd"; row "cat" "$cat"
echo "  ratio library/dd: $(ratio "$kx" "$dd"), library/cat: $(ratio "$kx" "$cat")"

echo "hexadecimal copy of a ${hexmb} MiB file"
kx=$(lib hex "$work/hex.bin" "$work/out")
basenc --base16 -w0 "$work/hex.bin" > "$work/ref.hex"
cmp -s "$work/ref.hex" "$work/out" || { echo "  hex: output differs from basenc"; exit 1; }
p=$(peer sh -c 'basenc --base16 -w0 "$1" > "$2"' sh "$work/hex.bin" "$work/out")
kxnull=$(lib hex "$work/hex.bin" /dev/null)
pnull=$(peer sh -c 'basenc --base16 -w0 "$1" > /dev/null' sh "$work/hex.bin")
row "copy loop, hexadecimal, to a file" "$kx"; row "basenc --base16 -w0, to a file" "$p"
row "copy loop, hexadecimal, to /dev/null" "$kxnull"; row "basenc --base16 -w0, to /dev/null" "$pnull"
echo "  ratio library/basenc: to a file $(ratio "$kx" "$p"), to /dev/null $(ratio "$kxnull" "$pnull")"
