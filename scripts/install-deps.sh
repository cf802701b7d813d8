#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
set -euo pipefail
pkgs=(cmake make g++ pkg-config binutils libgtest-dev libgmock-dev libbenchmark-dev
      cups-daemon cups-client libcups2-dev
      python3 python3-fonttools fonts-urw-base35 t1utils
      zip unzip p7zip-full libarchive-tools)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq </dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
fi
