#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/bin/quillamere ]; then
  exec build/bin/quillamere "$@"
fi
exec build/bin/quillamere-cli --help
