#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need, but only
# what is missing, so that a second run costs a second. Runs apt-get as root, or
# through sudo for an ordinary user.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth shared-mime-info desktop-file-utils xdg-utils dpkg-dev file
  libfile-mimeinfo-perl libglib2.0-bin
  chromium fonts-dejavu-core
)
# Node.js and npm drive the browser tests; a machine that already has a node of its
# own keeps it.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm  >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
