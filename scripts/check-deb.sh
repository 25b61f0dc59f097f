#!/usr/bin/env bash
# Checks a Debian package of Brindle: that its dependencies can be installed
# here, and, unpacked into a scratch root, that it holds the programs, the data
# files, the desktop entry, the icon, a valid AppStream description and the
# manual page of brindle-cli, and that brindle-cli (without Qt) finds its full
# program. Changes nothing on the system.
#
#   ./scripts/check-deb.sh build/release/brindle_1.5.2_amd64.deb
set -euo pipefail

if [[ $# -ne 1 || ! -f "$1" ]]; then
  echo "usage: $0 <package.deb>" >&2
  exit 2
fi
package="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"

scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT

failures=0
fail() {
  echo "check-deb: $*" >&2
  failures=$((failures + 1))
}

echo "check-deb: $(basename "${package}")"
dpkg-deb --field "${package}" Package Version Architecture Depends

# The Depends line comes from dpkg-shlibdeps: Qt 6 and the C++ runtime at least.
depends="$(dpkg-deb --field "${package}" Depends)"
for library in libqt6widgets6 libqt6core6 libstdc++6; do
  [[ "${depends}" == *"${library}"* ]] || fail "Depends does not name ${library}"
done
# apt resolves the package's dependencies without installing anything.
apt-get install --simulate --quiet "${package}" >"${scratch}/apt.log" 2>&1 ||
  { cat "${scratch}/apt.log" >&2; fail "apt cannot install the package's dependencies"; }

root="${scratch}/root"
dpkg-deb --extract "${package}" "${root}"

expect_file() {
  [[ -f "${root}/$1" ]] || fail "missing /$1"
}
expect_file usr/bin/brindle
expect_file usr/bin/brindle-cli
expect_file usr/libexec/brindle/brindle-cli-full
expect_file "usr/share/brindle/Brindlehelp.txt"
expect_file "usr/share/brindle/User License Agreement.txt"
expect_file usr/share/applications/brindle.desktop
expect_file usr/share/icons/hicolor/scalable/apps/brindle.svg
expect_file usr/share/metainfo/io.github.brindle.Brindle.metainfo.xml
expect_file usr/share/man/man1/brindle-cli.1.gz
expect_file usr/share/doc/brindle/copyright

# Only what is listed above, and no library: the internal libraries are linked
# in, so nothing may point at one the package does not hold.
unexpected="$(cd "${root}" && find . -type f ! -path './usr/bin/*' ! -path './usr/share/*' \
  ! -path './usr/libexec/brindle/*')"
[[ -z "${unexpected}" ]] || fail "files outside /usr/bin, /usr/libexec/brindle and /usr/share: ${unexpected}"
for program in bin/brindle bin/brindle-cli libexec/brindle/brindle-cli-full; do
  [[ -x "${root}/usr/${program}" ]] || continue
  if ldd "${root}/usr/${program}" | grep -q 'not found'; then
    fail "${program} needs a library that is not installed: $(ldd "${root}/usr/${program}" | grep 'not found')"
  fi
done
# brindle-cli starts without Qt; its full program (rename, the help) has it.
if [[ -x "${root}/usr/bin/brindle-cli" ]] && readelf -d "${root}/usr/bin/brindle-cli" | grep -q 'NEEDED.*Qt'; then
  fail "brindle-cli links Qt: $(readelf -d "${root}/usr/bin/brindle-cli" | grep 'NEEDED.*Qt')"
fi

# The installed brindle-cli runs and gives the package's version.
version="$(dpkg-deb --field "${package}" Version)"
if [[ -x "${root}/usr/bin/brindle-cli" ]]; then
  "${root}/usr/bin/brindle-cli" --version | grep -qx "brindle-cli ${version}" ||
    fail "brindle-cli --version does not say ${version}"
fi

# The desktop entry and the AppStream description pass their validators.
desktop="${root}/usr/share/applications/brindle.desktop"
[[ ! -f "${desktop}" ]] || desktop-file-validate "${desktop}" || fail "desktop-file-validate failed"
metainfo="${root}/usr/share/metainfo/io.github.brindle.Brindle.metainfo.xml"
[[ ! -f "${metainfo}" ]] || appstreamcli validate --no-net "${metainfo}" ||
  fail "appstreamcli validate failed"

# The manual page is gzip'd, renders without warnings and describes every
# subcommand brindle-cli --help lists.
man_page="${root}/usr/share/man/man1/brindle-cli.1.gz"
if [[ -f "${man_page}" ]]; then
  gzip --test "${man_page}" || fail "the manual page is not a valid gzip file"
  warnings="$(zcat "${man_page}" | groff -man -ww -z 2>&1)"
  [[ -z "${warnings}" ]] || fail "groff warns about the manual page: ${warnings}"
  text="$(zcat "${man_page}" | groff -man -Tascii -P-cbou 2>/dev/null)"
  subcommands="$("${root}/usr/bin/brindle-cli" --help |
    sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')"
  [[ -n "${subcommands}" ]] || fail "brindle-cli --help lists no subcommands"
  for subcommand in ${subcommands}; do
    grep -qE "^ +${subcommand}( |$)" <<<"${text}" ||
      fail "the manual page does not describe the subcommand ${subcommand}"
  done
fi

if [[ ${failures} -ne 0 ]]; then
  echo "check-deb: ${failures} problem(s) in $(basename "${package}")" >&2
  exit 1
fi
echo "check-deb: the package installs brindle, brindle-cli and its full program, data," \
  "desktop entry, icon, metainfo and manual page"
