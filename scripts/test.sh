#!/usr/bin/env bash
# Sets everything up and runs the tests: installs the Debian packages that are
# missing, configures and builds the dev preset (program, tests, benchmarks),
# then runs CTest. Exits with CTest's status. Works from any folder.
#
#   ./scripts/test.sh [extra ctest arguments, e.g. -R cli]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

"${root}/scripts/install-deps.sh"

jobs="$(nproc 2>/dev/null || echo 2)"
cmake --preset dev
cmake --build --preset dev --parallel "${jobs}"

status=0
ctest --preset dev --output-on-failure -j2 "$@" || status=$?
exit "${status}"
