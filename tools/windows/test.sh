#!/usr/bin/env bash
# Tests the Windows build (tools/windows/build.sh) under Wine, headless:
#  1. every test program of build-win (GoogleTest and the Qt window tests,
#     the latter with -platform offscreen) through CTest;
#  2. the headless report of varkelchecker.exe against the Linux build's
#     (build/, tools/build.sh): every kind, FT8 off and on, on the sample
#     logbook and on a generated one of 100,000 contacts, the logbook named
#     by its Windows path (Z:\...). The JSON must be the same but for the
#     value of "logbook" (the path as each system resolved it); so must the
#     exit status and the messages (with the paths made alike). The NEEDED
#     lists of DXC too, whose entities are named from the cty.csv beside
#     the program;
#  3. damaged logbooks (cut at a page and in a page, random bytes, random
#     pages after a good first one, an empty file, a folder named like a
#     logbook): the same messages and exit status as on Linux;
#  4. the packages: the zip holds cty.csv beside varkelchecker.exe; the
#     installer, installed silently for this user, the program run from
#     there (naming DXCC entities), uninstalled without a trace; an older
#     version upgraded in place (its folder, the settings kept); the winget
#     manifest's checksum.
# Any failure is reported and makes the script fail.
#   tools/windows/test.sh
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$root/build-win
linux=$root/build
source tools/windows/host-tools.sh

fail() { echo "test.sh: FAILED: $*" >&2; exit 1; }
[ -f "$build/bin/varkelchecker.exe" ] || fail "no Windows build in $build: run bash tools/windows/build.sh first"
[ -x "$linux/bin/varkelchecker" ] && [ -x "$linux/bin/genlog" ] \
  || fail "the comparison needs the Linux build in $linux: run bash tools/build.sh test first"
wine=$(host_wine) || fail "no Wine"
wineserver=$(host_wineserver) || fail "no Wine server"
# The packages where build.sh wrote them (build-win/package, or its --package-dir).
packages=$(cat "$build/package-dir.txt" 2>/dev/null) || packages=$build/package
linux_country=$(bash tools/windows/deps.sh --country-file)/cty.csv || fail "no country file (tools/windows/deps.sh --country-file)"

export WINEPREFIX=$build/wine WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== making the Wine prefix $WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot"
fi
# Wine hands Windows programs no QT_* variable of the Linux environment: the
# prefix's own environment gets them. Qt Test writes its log to standard
# output (not to the debugger) and the offscreen platform finds fonts.
if [ ! -f "$WINEPREFIX/.varkel-environment" ]; then
  "$wine" reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null 2>&1 || fail "wine reg add"
  if [ -d /usr/share/fonts/truetype/dejavu ]; then
    "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d 'Z:\usr\share\fonts\truetype\dejavu' /f >/dev/null 2>&1 || fail "wine reg add"
  fi
  touch "$WINEPREFIX/.varkel-environment"
fi

failures=()
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- 1. the test programs ---------------------------------------------------
echo "== test programs under Wine ($(date +%T))"
log=$build/wine-tests.log
(cd "$build" && ctest -j2 -V) > "$log" 2>&1
ctest_status=$?
(cd "$build" && ctest -N) | sed -n 's/^ *Test *#\([0-9]*\): \(.*\)$/\1 \2/p' > "$work/names"
total_passed=0 total_failed=0 total_skipped=0
while read -r number name; do
  result=$(grep -E "^ *[0-9]+/[0-9]+ Test +#$number: " "$log" | sed 's/.*\(Passed\|Failed\|\*\*\*[A-Za-z]*\|Timeout\|Not Run\).*/\1/' | head -1)
  # GoogleTest's summary lines, or Qt Test's totals.
  passed=$(grep -E "^$number: \[  PASSED  \] [0-9]+ test" "$log" | awk '{print $5}' | head -1)
  skipped=$(grep -E "^$number: \[  SKIPPED \] [0-9]+ test" "$log" | awk '{print $5}' | head -1)
  failed=$(grep -E "^$number: \[  FAILED  \] [0-9]+ test" "$log" | awk '{print $5}' | head -1)
  if totals=$(grep -E "^$number: Totals: " "$log" | head -1) && [ -n "$totals" ]; then
    passed=$(echo "$totals" | awk '{print $3}')
    failed=$(echo "$totals" | awk '{print $5}')
    skipped=$(echo "$totals" | awk '{print $7}')
  fi
  passed=${passed:-0} skipped=${skipped:-0} failed=${failed:-0}
  total_passed=$((total_passed + passed)) total_skipped=$((total_skipped + skipped)) total_failed=$((total_failed + failed))
  printf '   %-26s %-8s %4s passed %3s skipped %3s failed\n' "$name" "${result:-?}" "$passed" "$skipped" "$failed"
  if [ "$result" != Passed ] || [ "$failed" != 0 ]; then
    failures+=("test program $name ($result)")
  fi
done < "$work/names"
echo "   all: $total_passed passed, $total_skipped skipped, $total_failed failed (log: $log)"
# What was skipped, and why.
grep -E "^[0-9]+: (\[  SKIPPED \] [A-Za-z0-9_/.]+$|SKIP   : )" "$log" | sed 's/^[0-9]*: /   skipped: /' | sort -u
grep -E -A1 "^[0-9]+: .*: Skipped$" "$log" | grep -vE ": Skipped$|^--$" | sed 's/^[0-9]*: /   because: /' | sort -u
[ "$ctest_status" = 0 ] || failures+=("ctest exit status $ctest_status")

# --- 2. and 3. the report against Linux's -----------------------------------
echo "== reports of varkelchecker.exe against the Linux build ($(date +%T))"
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
# The JSON without the value of "logbook", the messages with the logbook's path as Linux writes it.
same_report() { # label, linux-path, windows-name, args... (--report or --needed first)
  local label=$1 file=$2 name=$3; shift 3
  "$linux/bin/varkelchecker" "$@" --format json "$file" > "$work/l.json" 2> "$work/l.err"
  local ls=$?
  "$wine" "$build/bin/varkelchecker.exe" "$@" --format json "$name" > "$work/w.json" 2> "$work/w.err"
  local ws=$?
  local resolved
  resolved=$(sed -n 's/^    "logbook": "\(.*\)",$/\1/p' "$work/w.json")
  cp "$work/w.json" "$work/w.json.resolved"
  sed -i 's/^\(    "logbook": \).*$/\1"",/' "$work/l.json" "$work/w.json"
  [ -n "$resolved" ] && sed -i "s|$resolved|$file|g" "$work/w.err"
  if [ "$ls" != "$ws" ] || ! cmp -s "$work/l.json" "$work/w.json" || ! cmp -s "$work/l.err" "$work/w.err" \
     || ! grep -q '"logbook": ""' "$work/w.json"; then
    echo "   DIFFERENT: $label (exit status $ls on Linux, $ws on Windows)"
    diff "$work/l.json" "$work/w.json" | head -5
    diff "$work/l.err" "$work/w.err" | head -5
    failures+=("report $label")
    return 1
  fi
  echo "$ls" > "$work/status"
  return 0
}

"$linux/bin/genlog" "$work/bigdt.mdb" 100000 7 >/dev/null || fail "genlog"
cp sample/varkeldt.mdb "$work/varkeldt.mdb"
compared=0
for log_name in varkeldt bigdt; do
  file=$work/$log_name.mdb
  for kind in DXC WPX WAZ ITU WAC SQR QSO; do
    for ft8 in "" --ft8; do
      if same_report "$log_name $kind ${ft8:-(FT8 off)}" "$file" "$(winpath "$file")" --report "$kind" $ft8; then
        [ "$(cat "$work/status")" = 0 ] || failures+=("report $log_name $kind $ft8: exit status $(cat "$work/status")")
        compared=$((compared + 1))
      fi
    done
  done
done
echo "   $compared of 28 reports the same (the JSON but for the value of \"logbook\", exit status 0, no messages)"
echo "   the logbook given as $(winpath "$work/bigdt.mdb"), resolved as \"$(sed -n 's/^    "logbook": "\(.*\)",$/\1/p' "$work/w.json.resolved" 2>/dev/null)\""
# The entities' names come from the cty.csv beside varkelchecker.exe.
if same_report "varkeldt NEEDED DXC" "$work/varkeldt.mdb" "$(winpath "$work/varkeldt.mdb")" --needed DXC; then
  if grep -q '"name": "Mauritius"' "$work/w.json"; then
    echo "   the NEEDED lists of DXC the same, their entities named (3B8 \"Mauritius\")"
  else
    failures+=("NEEDED DXC: no entity named Mauritius")
  fi
fi

sample_size=$(stat -c %s "$work/varkeldt.mdb")
head -c $((sample_size / 2 / 4096 * 4096)) "$work/varkeldt.mdb" > "$work/cut at a pagedt.mdb"
head -c $((sample_size / 2 + 100)) "$work/varkeldt.mdb" > "$work/cut in a pagedt.mdb"
head -c $(($(stat -c %s "$work/bigdt.mdb") / 2 / 4096 * 4096)) "$work/bigdt.mdb" > "$work/big cutdt.mdb"
head -c 300000 /dev/urandom > "$work/randomdt.mdb"
{ head -c 4096 "$work/varkeldt.mdb"; head -c $((sample_size - 4096)) /dev/urandom; } > "$work/random pagesdt.mdb"
: > "$work/emptydt.mdb"
mkdir "$work/folderdt.mdb"
damaged=0
for log_name in "cut at a pagedt" "cut in a pagedt" "big cutdt" randomdt "random pagesdt" emptydt folderdt; do
  file=$work/$log_name.mdb
  if same_report "damaged: $log_name" "$file" "$(winpath "$file")" --report DXC; then
    if [ "$(cat "$work/status")" = 1 ] && grep -q "SQL or FILENAME error" "$work/w.err"; then
      damaged=$((damaged + 1))
      echo "   $log_name: $(grep -m1 "error" "$work/w.err" | sed 's/.*error! //')"
    else
      failures+=("damaged $log_name: no message or exit status $(cat "$work/status")")
    fi
  fi
done
echo "   $damaged of 7 damaged logbooks give the same messages and exit status 1"

# --- 4. the packages ----------------------------------------------------------
echo "== the zip ($(date +%T))"
zip_file=$(ls "$packages"/VarkelChecker-*-win64.zip 2>/dev/null | head -1)
if [ -z "$zip_file" ]; then
  failures+=("no zip in $packages")
else
  top=$(basename "$zip_file" .zip)
  listing=$(unzip -Z1 "$zip_file")
  zip_ok=1
  for f in varkelchecker.exe cty.csv cty-copyright.txt; do
    grep -qx "$top/$f" <<< "$listing" || { zip_ok=0; echo "   not in the zip: $top/$f"; }
  done
  unzip -p "$zip_file" "$top/cty.csv" | cmp -s - "$linux_country" \
    || { zip_ok=0; echo "   the zip's cty.csv is not hamradio-files' $linux_country"; }
  if [ "$zip_ok" = 1 ]; then echo "   $(basename "$zip_file"): cty.csv and its copyright beside varkelchecker.exe"; else failures+=("zip"); fi
fi
echo "== the installer, for this user only ($(date +%T))"
setup=$(ls "$packages"/VarkelChecker-*-win64-setup.exe 2>/dev/null | head -1)
if [ -z "$setup" ]; then
  failures+=("no installer in $packages")
else
  appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData  # Wine's user is the Linux user
  installed="$appdata/Local/Programs/VarkelChecker"
  shortcut="$appdata/Roaming/Microsoft/Windows/Start Menu/Programs/VarkelChecker.lnk"
  key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VarkelChecker'
  "$wine" "$setup" /S; "$wineserver" -w
  installer_ok=1
  for f in varkelchecker.exe varkel-reader.exe Uninstall.exe varkeldt.mdb cty.csv cty-copyright.txt platforms/qwindows.dll \
           styles/qwindowsvistastyle.dll; do
    [ -f "$installed/$f" ] || { installer_ok=0; echo "   missing after installing: $installed/$f"; }
  done
  [ -f "$shortcut" ] || { installer_ok=0; echo "   no Start menu entry $shortcut"; }
  "$wine" reg query "$key" >/dev/null 2>&1 || { installer_ok=0; echo "   no uninstall entry $key"; }
  # The installed program finds the sample beside itself, by name alone.
  "$wine" "$installed/varkelchecker.exe" --report DXC --format json varkeldt > "$work/w.json" 2>/dev/null
  "$linux/bin/varkelchecker" --report DXC --format json "$work/varkeldt.mdb" > "$work/l.json" 2>/dev/null
  sed -i 's/^\(    "logbook": \).*$/\1"",/' "$work/l.json" "$work/w.json"
  cmp -s "$work/l.json" "$work/w.json" || { installer_ok=0; echo "   the installed program's report differs"; }
  "$wine" "$installed/varkelchecker.exe" --needed DXC --format json varkeldt 2>/dev/null | grep -q '"name": "Mauritius"' \
    || { installer_ok=0; echo "   the installed program names no DXCC entity"; }
  "$wine" "$installed/Uninstall.exe" /S; sleep 2; "$wineserver" -w
  [ ! -e "$installed" ] || { installer_ok=0; echo "   left after uninstalling: $installed"; }
  [ ! -e "$shortcut" ] || { installer_ok=0; echo "   Start menu entry left after uninstalling"; }
  ! "$wine" reg query "$key" >/dev/null 2>&1 || { installer_ok=0; echo "   uninstall entry left"; }
  if [ "$installer_ok" = 1 ]; then
    echo "   $(basename "$setup"): installed into %LOCALAPPDATA%\Programs\VarkelChecker with a Start menu entry, ran, uninstalled"
  else
    failures+=("installer")
  fi

  # An older version installed into a folder of the user's choice, then this
  # one over it: the same folder, this version's programs, the settings kept.
  version=$(basename "$setup" | sed 's/^VarkelChecker-\(.*\)-win64-setup\.exe$/\1/')
  stage=$build/stage/VarkelChecker-$version-win64
  old_setup=$work/VarkelChecker-0.9-win64-setup.exe
  settings='HKCU\Software\Varkel\VarkelChecker'
  upgrade_ok=1
  makensis -V1 -DVERSION=0.9 -DVERSION4=0.9.0.0 -DSTAGE="$stage" -DOUTFILE="$old_setup" \
    -DICON="$build/icons/varkelchecker.ico" tools/windows/installer.nsi || upgrade_ok=0
  "$wine" "$old_setup" /S /D='C:\VarkelOld'; "$wineserver" -w
  "$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q ' 0\.9' || { upgrade_ok=0; echo "   the older version did not install"; }
  "$wine" reg add "$settings" /v UpgradeProbe /d kept /f >/dev/null 2>&1
  "$wine" "$setup" /S; "$wineserver" -w
  "$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q " $version" \
    || { upgrade_ok=0; echo "   the upgrade does not say version $version"; }
  cmp -s "$stage/varkelchecker.exe" "$WINEPREFIX/drive_c/VarkelOld/varkelchecker.exe" \
    || { upgrade_ok=0; echo "   the upgrade did not replace the program in C:\\VarkelOld"; }
  [ ! -e "$installed" ] || { upgrade_ok=0; echo "   the upgrade installed into the default folder, not the installed one"; }
  "$wine" reg query "$settings" /v UpgradeProbe 2>/dev/null | grep -q kept || { upgrade_ok=0; echo "   the settings were lost"; }
  "$wine" 'C:\VarkelOld\Uninstall.exe' /S; sleep 2; "$wineserver" -w
  [ ! -e "$WINEPREFIX/drive_c/VarkelOld" ] || { upgrade_ok=0; echo "   left after uninstalling: C:\\VarkelOld"; }
  "$wine" reg delete "$settings" /f >/dev/null 2>&1
  if [ "$upgrade_ok" = 1 ]; then
    echo "   0.9 installed into C:\\VarkelOld, upgraded in place to $version with the settings kept, uninstalled"
  else
    failures+=("upgrade")
  fi

  # The winget manifest names this installer by its SHA-256.
  winget=$packages/winget
  sha=$(sha256sum "$setup" | cut -d' ' -f1 | tr a-f A-F)
  if grep -qx "  InstallerSha256: $sha" "$winget/VarkelChecker.VarkelChecker.installer.yaml" 2>/dev/null \
     && grep -qx "InstallerType: nullsoft" "$winget/VarkelChecker.VarkelChecker.installer.yaml" \
     && grep -qx "Scope: user" "$winget/VarkelChecker.VarkelChecker.installer.yaml" \
     && grep -qx "PackageVersion: $version" "$winget/VarkelChecker.VarkelChecker.yaml" \
     && grep -qx "PackageVersion: $version" "$winget/VarkelChecker.VarkelChecker.locale.en-US.yaml"; then
    echo "   winget manifest: nullsoft, user scope, version $version, the installer's SHA-256"
  else
    failures+=("winget manifest in $winget")
  fi
fi

if [ ${#failures[@]} -gt 0 ]; then
  echo
  echo "test.sh: FAILED (${#failures[@]}):" >&2
  printf '   %s\n' "${failures[@]}" >&2
  exit 1
fi
echo "test.sh: all Windows tests passed"
