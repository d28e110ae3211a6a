#!/usr/bin/env bash
# Installs what is missing, builds Omvex and runs every test: the optimised build first, then the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer, both with warnings as errors. Pass
# preset names to run only those (dev, ci, asan).
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
  presets=(ci asan)
fi

scripts/install-deps.sh
for preset in "${presets[@]}"; do
  echo "== $preset: configure, build, test"
  # The dev preset builds the programs alone for scripts/run.sh; tested, it gets its tests too.
  options=()
  if [ "$preset" = dev ]; then
    options=(-DOMVEX_BUILD_TESTS=ON -DOMVEX_BUILD_BENCH=ON)
  fi
  cmake --preset "$preset" "${options[@]}" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
