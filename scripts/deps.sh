#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when they are all there.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config git
      qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
      libmspack-dev libfftw3-dev poppler-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
