#!/usr/bin/env bash
# Installs what is missing, builds Omvex and starts it. A program folder without a history gets the
# published results that come with the program (never over an existing kako.txt).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
program_folder=build/dev/src/app
if [ ! -e "$program_folder/kako.txt" ] && [ ! -L "$program_folder/kako.txt" ]; then
  cp data/kako.txt "$program_folder/kako.txt"
fi
exec "$program_folder/omvex" "$@"
