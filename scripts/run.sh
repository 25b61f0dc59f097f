#!/usr/bin/env bash
# Sets everything up and starts Brindle: installs the Debian packages that are
# missing, configures and builds the program with a CMake preset, then runs it.
#
#   ./scripts/run.sh [--release] [arguments for brindle...]
#
# --release builds the release preset instead of dev. Works from any folder.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

preset=dev
if [[ "${1:-}" == "--release" ]]; then
  preset=release
  shift
fi

"${root}/scripts/install-deps.sh"

jobs="$(nproc 2>/dev/null || echo 2)"
cmake --preset "${preset}"
cmake --build --preset "${preset}" --target brindle --parallel "${jobs}"

program="${root}/build/${preset}/bin/brindle"
if [[ ! -x "${program}" ]]; then
  echo "run: the build finished but ${program} is not there" >&2
  exit 1
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<MESSAGE

Brindle is built (${program}) but cannot start: there is no display.
Neither DISPLAY nor WAYLAND_DISPLAY is set, so there is no screen to open
the window on. To start it:
  - run ./scripts/run.sh from a terminal inside a desktop session, or
  - run it on a virtual X server:      xvfb-run ./scripts/run.sh
  - or only check that it starts:      QT_QPA_PLATFORM=offscreen ./scripts/run.sh
MESSAGE
  exit 1
fi

exec "${program}" "$@"
