#!/usr/bin/env bash
# A private CUPS server for the spooler tests: listens on a socket in its own
# work directory only, with one raw queue whose backend captures each job's
# bytes into a file.
#   scripts/cups-test-server.sh start WORKDIR   -> prints shell assignments:
#        CUPS_SERVER, KX_CUPS_QUEUE, KX_CUPS_OUTPUT, KX_CUPSD_PID
#   scripts/cups-test-server.sh stop WORKDIR
set -euo pipefail
cmd=${1:?start|stop}
work=${2:?work directory}

case "$cmd" in
start)
  umask 022
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  chmod 0755 "$work"
  mkdir -p "$work"/{bin/backend,spool,tmp,cache,state,log,out}
  chmod 0777 "$work/out"
  ln -sfn /usr/lib/cups/daemon "$work/bin/daemon"
  # Captures the spool file (6th argument, else standard input) into the
  # DEVICE_URI path, appearing only when complete.
  cat >"$work/bin/backend/capture" <<'BACKEND'
#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct capture "Unknown" "Byte capture (tests)"'
  exit 0
fi
out=${DEVICE_URI#capture:}
tmp="$out.part.$$"
if [ $# -ge 6 ]; then cat "$6" >"$tmp"; else cat >"$tmp"; fi || exit 1
mv -f "$tmp" "$out"
exit 0
BACKEND
  chmod 0700 "$work/bin/backend/capture"
  cat >"$work/cups-files.conf" <<CONF
ServerRoot $work
ServerBin $work/bin
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
SystemGroup root
CONF
  cat >"$work/cupsd.conf" <<CONF
Listen $work/cups.sock
Browsing No
WebInterface No
ErrorPolicy abort-job
LogLevel warn
<Location />
  Order deny,allow
</Location>
CONF
  cupsd -t -c "$work/cupsd.conf" -s "$work/cups-files.conf" >/dev/null 2>&1 || {
    echo "cups-test-server: configuration check failed" >&2; exit 1; }
  cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" </dev/null >"$work/log/cupsd.out" 2>&1 &
  pid=$!
  echo "$pid" >"$work/cupsd.pid"
  export CUPS_SERVER="$work/cups.sock"
  for _ in $(seq 1 100); do
    [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] && break
    sleep 0.05
  done
  if [ "$(lpstat -r 2>/dev/null)" != "scheduler is running" ]; then
    echo "cups-test-server: cupsd did not start" >&2; kill "$pid" 2>/dev/null || true; exit 1
  fi
  lpadmin -p kxtest -E -v "capture:$work/out/kxtest.prn" >/dev/null
  echo "CUPS_SERVER=$work/cups.sock"
  echo "KX_CUPS_QUEUE=kxtest"
  echo "KX_CUPS_OUTPUT=$work/out/kxtest.prn"
  echo "KX_CUPSD_PID=$pid"
  ;;
stop)
  [ -f "$work/cupsd.pid" ] || exit 0
  pid=$(cat "$work/cupsd.pid")
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  rm -f "$work/cupsd.pid"
  ;;
*) echo "usage: $0 start|stop WORKDIR" >&2; exit 2 ;;
esac
