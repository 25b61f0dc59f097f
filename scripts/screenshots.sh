#!/usr/bin/env bash
# Renders every window offscreen into docs/screenshots/*.png, for the README.
# Builds the dev preset first; installs nothing beyond what the build needs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh"
cmake --preset dev -DBRINDLE_BUILD_TOOLS=ON >/dev/null
cmake --build --preset dev --target render_windows brindle_data -j2
QT_QPA_PLATFORM=offscreen build/dev/bin/render_windows "$root/docs/screenshots" "$root/build/dev/bin"
