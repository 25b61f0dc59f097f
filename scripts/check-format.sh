#!/usr/bin/env bash
# Checks that every tracked C++ file (*.cpp, *.h) is formatted as the
# repository's .clang-format says. Changes nothing; lists the files that
# differ and exits 1 when there are any. To fix them: clang-format -i <files>.
#
#   ./scripts/check-format.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"

if ! command -v clang-format >/dev/null 2>&1; then
  echo "check-format: clang-format is not installed (./scripts/install-deps.sh installs it)" >&2
  exit 1
fi

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [[ ${#files[@]} -eq 0 ]]; then
  echo "check-format: no C++ files are tracked here" >&2
  exit 1
fi

unformatted=()
for file in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "${file}" >/dev/null 2>&1; then
    unformatted+=("${file}")
  fi
done

if [[ ${#unformatted[@]} -ne 0 ]]; then
  echo "check-format: ${#unformatted[@]} of ${#files[@]} files are not formatted:"
  printf '  %s\n' "${unformatted[@]}"
  echo "check-format: run clang-format -i on them (clang-format --dry-run <file> shows how)"
  exit 1
fi
echo "check-format: all ${#files[@]} C++ files are formatted"
