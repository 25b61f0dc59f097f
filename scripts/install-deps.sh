#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are not
# installed yet. Does nothing (and needs no network) when all are present.
# Runs apt-get through sudo when not root, without asking questions.
set -euo pipefail

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
package_list="${script_dir}/packages.txt"

if [[ ! -r "${package_list}" ]]; then
  echo "install-deps: cannot read the package list ${package_list}" >&2
  exit 1
fi

wanted=()
while IFS= read -r line || [[ -n "${line}" ]]; do
  line="${line%%#*}"
  read -ra words <<<"${line}"
  wanted+=("${words[@]}")
done <"${package_list}"

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  echo "install-deps: this is not a Debian system (no dpkg-query/apt-get)." >&2
  echo "install-deps: install the equivalents of these packages yourself: ${wanted[*]}" >&2
  exit 1
fi

missing=()
for package in "${wanted[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Abbrev}' "${package}" 2>/dev/null || true)"
  if [[ "${status}" != ii* ]]; then
    missing+=("${package}")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"

as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps: not root and sudo is not available; as root run:" >&2
    echo "  apt-get update && apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi

apt_env=(env DEBIAN_FRONTEND=noninteractive)
"${as_root[@]}" "${apt_env[@]}" apt-get update -q
"${as_root[@]}" "${apt_env[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" \
  </dev/null
