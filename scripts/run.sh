#!/usr/bin/env bash
# Installs what is missing, builds Omvex and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
exec build/dev/src/app/omvex "$@"
