#!/usr/bin/env bash
# The whole test suite on a fresh Debian machine: installs what is missing,
# builds with AddressSanitizer and UndefinedBehaviorSanitizer, starts a
# private CUPS server for the spooler tests, runs ctest, stops the server.
# Any sanitizer report fails the run (reports abort the test process).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${KX_BUILD_DIR:-build-test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKXAPI_SANITIZE=ON -DKXAPI_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

cups_work=$(mktemp -d /tmp/kx-cups.XXXXXX)
trap 'scripts/cups-test-server.sh stop "$cups_work"; rm -rf "$cups_work"' EXIT
eval "$(scripts/cups-test-server.sh start "$cups_work")"
export CUPS_SERVER KX_CUPS_QUEUE KX_CUPS_OUTPUT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
