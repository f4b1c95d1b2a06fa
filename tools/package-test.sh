#!/usr/bin/env bash
# Tests the Debian package that 'bash tools/build.sh package' made: installs
# it with dpkg on this machine (as root, or with sudo), runs the installed
# /usr/bin/varkelchecker --report DXC on the installed sample and compares it
# with the build's own report, checks the menu entry, icon, metainfo and
# manual page, removes the package and checks that nothing of it is left;
# lintian must report no error.
#   tools/package-test.sh [PACKAGE.deb]
set -uo pipefail
cd "$(dirname "$0")/.."
fail() { echo "package-test.sh: FAILED: $*" >&2; exit 1; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

deb=${1:-$(ls build/package/varkelchecker_*_amd64.deb 2>/dev/null | head -1)}
[ -f "$deb" ] || fail "no package: run bash tools/build.sh package first"
if ! command -v lintian >/dev/null; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends lintian >/dev/null || fail "installing lintian"
fi
if dpkg-query -W -f='${Status}' varkelchecker 2>/dev/null | grep -q "install ok installed"; then
  fail "varkelchecker is installed already; remove it first (dpkg -r varkelchecker)"
fi

echo "== lintian $deb"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "== dpkg -i"
$sudo dpkg -i "$deb" || fail "dpkg -i"
work=$(mktemp -d)
# A failure after installing leaves no package behind.
trap 'rm -rf "$work"; dpkg-query -W varkelchecker >/dev/null 2>&1 && $sudo dpkg --purge varkelchecker >/dev/null' EXIT
dpkg -L varkelchecker > "$work/files"
for f in /usr/bin/varkelchecker /usr/lib/varkelchecker/varkelchecker /usr/lib/varkelchecker/varkel-reader \
         /usr/lib/varkelchecker/varkeldt.mdb /usr/share/applications/org.varkelchecker.VarkelChecker.desktop \
         /usr/share/metainfo/org.varkelchecker.VarkelChecker.metainfo.xml /usr/share/man/man1/varkelchecker.1.gz \
         /usr/share/icons/hicolor/scalable/apps/varkelchecker.svg /usr/share/icons/hicolor/48x48/apps/varkelchecker.png \
         /usr/share/doc/varkelchecker/copyright; do
  grep -qx "$f" "$work/files" || fail "the package does not hold $f"
  [ -e "$f" ] || fail "$f is not installed"
done
[ "$(readlink -f /usr/bin/varkelchecker)" = /usr/lib/varkelchecker/varkelchecker ] || fail "/usr/bin/varkelchecker is not a link to the program"
zcat /usr/share/man/man1/varkelchecker.1.gz | grep -qF '\-\-needed' || fail "the manual page does not hold the options"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/org.varkelchecker.VarkelChecker.desktop || fail "desktop-file-validate"
fi

echo "== the installed program"
(cd "$work" && /usr/bin/varkelchecker --report DXC --format json varkeldt > installed.json 2> installed.err)
status=$?
[ "$status" -eq 0 ] || { cat "$work/installed.err" >&2; fail "/usr/bin/varkelchecker --report DXC exited $status"; }
build/bin/varkelchecker --report DXC --format json /usr/lib/varkelchecker/varkeldt.mdb > "$work/built.json" 2>/dev/null \
  || fail "build/bin/varkelchecker --report DXC"
diff "$work/installed.json" "$work/built.json" >&2 || fail "the installed program reports otherwise than the build"
grep -q '"DXC"' "$work/installed.json" || fail "no DXC report"

echo "== dpkg -r"
$sudo dpkg --purge varkelchecker || fail "dpkg --purge"
left=()
while read -r f; do
  if [ -L "$f" ] || [ -f "$f" ]; then left+=("$f"); fi
done < "$work/files"
for d in /usr/lib/varkelchecker /usr/share/doc/varkelchecker; do
  [ -e "$d" ] && left+=("$d")
done
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
echo "package-test.sh: passed ($deb)"
