#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when they are all there.
# The print-outs are laid out for Arial's widths: fonts-liberation2 gives Liberation Sans, which fontconfig
# puts in Arial's place with the same widths. DejaVu is the font of a desktop without it; the tests use both.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config git
      qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
      libmspack-dev libfftw3-dev poppler-utils
      fonts-liberation2 fonts-dejavu-core)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
