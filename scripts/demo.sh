#!/usr/bin/env bash
# The main job, end to end on a fresh Debian machine: builds kxapi and kx,
# starts a private CUPS server with a raw queue whose device captures what
# it receives, and sends real printer jobs through the library, showing the
# bytes that reached the printer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${KX_DEMO_BUILD_DIR:-build-demo}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKXAPI_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
kx=$PWD/$build/tools/kx/kx

work=$(mktemp -d /tmp/kx-demo.XXXXXX)
trap 'scripts/cups-test-server.sh stop "$work/cups"; rm -rf "$work"' EXIT
eval "$(scripts/cups-test-server.sh start "$work/cups")"
export CUPS_SERVER
queue=$KX_CUPS_QUEUE
device=$KX_CUPS_OUTPUT

# Runs one kx command against the queue and shows what the printer received.
through_queue() {
  local title=$1; shift
  echo
  echo "== $title"
  echo "\$ kx $*"
  rm -f "$device"
  "$kx" "$@"
  for _ in $(seq 1 100); do [ -f "$device" ] && break; sleep 0.05; done
  if [ ! -f "$device" ]; then echo "(nothing reached the printer)"; return 1; fi
  echo "-- bytes that reached the printer on queue '$queue' ($(stat -c %s "$device") bytes):"
  od -A x -t x1z -v "$device"
}

echo "kxapi demo: a private CUPS server with raw queue '$queue' (device captured in $device)"

through_queue "Print the storage directory of a PJL printer (PCL), job named 'kx demo'" \
  resource --mode directory --pjl --language pcl --job-name "kx demo" "$queue"

through_queue "Point later downloads at the first flash device (PJL and ESC [ K, PostScript)" \
  resource --mode device --target flash1 --pjl --esck --language postscript "$queue"

through_queue "Format disk 1 on a printer without PJL (the ESC [ K format sequence only)" \
  resource --mode format --target disk1 "$queue"

if "$kx" --help | grep -q '^  send '; then
  printf 'Hello from kxapi\r\n\f' >"$work/page.txt"
  through_queue "A raw PCL job: a text file framed in PJL with two copies" \
    send "$work/page.txt" --pjl --language pcl --copies 2 --job-name "kx page" "$queue"
fi

through_queue "A command string: PCL reset and a line of text, given with escapes" \
  send --string '$\x1bE\x1b(s12HPrinted by kxapi\n\x1bE' "$queue"

echo
echo "== Identify a Type 1 font (URW Nimbus Sans from fonts-urw-base35) and find its metrics file"
fonts=$work/fonts
mkdir -p "$fonts"
cp /usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1 "$fonts/NimbusSans-Regular.pfb"
cp /usr/share/fonts/type1/urw-base35/NimbusSans-Regular.afm "$fonts/NIMBUSSANS-REGULAR.AFM"
echo "\$ kx font info NimbusSans-Regular.pfb --mode 2"
"$kx" font info "$fonts/NimbusSans-Regular.pfb" --mode 2 || true

echo
echo "== Extract a ZIP archive whose members use every legacy method (shrink, reduce, implode, deflate)"
echo "\$ kx zip extract all_methods_mixed.zip -C out"
"$kx" zip extract tests/data/zip/methods/all_methods_mixed.zip -C "$work/unzipped"
(cd "$work/unzipped" && find . -type f | sort | head -6 | xargs sha256sum)

echo
echo "== Keep printer settings in an INI file"
"$kx" ini set "$work/printer.ini" Paper Size A4
"$kx" ini set "$work/printer.ini" Paper Tray 2
echo "\$ kx ini get printer.ini paper SIZE"
"$kx" ini get "$work/printer.ini" paper SIZE
cat "$work/printer.ini"

echo
echo "demo finished"
