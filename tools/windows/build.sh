#!/usr/bin/env bash
# Cross-builds VarkelChecker for 64-bit Windows (x86-64-v2) with MinGW-w64 on
# Debian: the program, its reader and the tests, in build-win/, against the
# libraries tools/windows/deps.sh built. Then packages it:
#   build-win/package/VarkelChecker-<version>-win64.zip        unzip and run
#   build-win/package/VarkelChecker-<version>-win64-setup.exe  per-user installer
#   build-win/package/winget/   a winget manifest of the installer, for publishing
#
#   tools/windows/build.sh [--package-dir DIR]
#
# The programs in build-win/bin find the DLLs and plugins they need beside
# them, so the tests run there under Wine (tools/windows/test.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
package_dir=$root/build-win/package
while [ $# -gt 0 ]; do
  case "$1" in
    --package-dir) package_dir=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
    *) echo "usage: tools/windows/build.sh [--package-dir DIR]" >&2; exit 2 ;;
  esac
done

source tools/windows/host-tools.sh
prefix=$(bash tools/windows/deps.sh --prefix)
if [ ! -f "$prefix/.complete" ]; then
  echo "build.sh: the Windows libraries are not built yet ($prefix): run bash tools/windows/deps.sh first" >&2
  exit 1
fi
# hamradio-files' country file, carried beside the program (and the tests).
country=$(bash tools/windows/deps.sh --country-file)
[ -f "$country/cty.csv" ] || { echo "build.sh: no country file cty.csv in $country" >&2; exit 1; }
triple=x86_64-w64-mingw32
jobs=$(nproc)
build=$root/build-win

qt_prefix=$(host_qt_prefix) || exit 1
qt_cmake=$(host_qt_cmake_dir) || exit 1
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw64.cmake" -DVARKEL_WIN_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH="$qt_prefix" -DQT_HOST_PATH_CMAKE_DIR="$qt_cmake" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build "$build" -j"$jobs"

# The root CMakeLists.txt builds for x86-64-v2 (VARKEL_MARCH); the cross build too.
march=$(sed -n 's/^VARKEL_MARCH:STRING=//p' "$build/CMakeCache.txt")
if [ -n "$march" ] && ! grep -q -- "-march=$march" "$build/compile_commands.json"; then
  echo "build.sh: the Windows build is not compiled for $march" >&2
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "build.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }

# What the programs load at run time: the C++ runtime of the posix MinGW
# compiler, Qt's DLLs and the plugins for windows, the Windows style and
# (for the tests) the offscreen platform.
gcc_dir=$(dirname "$($triple-g++-posix -print-libgcc-file-name)")
runtime_dlls=("$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" "/usr/$triple/lib/libwinpthread-1.dll")
for dll in "${runtime_dlls[@]}"; do
  [ -f "$dll" ] || { echo "build.sh: $dll is missing" >&2; exit 1; }
done
qt_dlls=(Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport)
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)

install_runtime() { # folder, with or without the tests' parts
  local to=$1 tests=$2 p
  cp -u "${runtime_dlls[@]}" "$to/"
  cp "$country/cty.csv" "$to/cty.csv"
  sed 's/$/\r/' "$country/copyright" > "$to/cty-copyright.txt"
  for p in "${qt_dlls[@]}"; do cp -u "$prefix/bin/$p.dll" "$to/"; done
  for p in "${plugins[@]}"; do mkdir -p "$to/$(dirname "$p")"; cp -u "$prefix/plugins/$p" "$to/$p"; done
  if [ "$tests" = tests ]; then
    cp -u "$prefix/bin/Qt6Test.dll" "$to/"
    mkdir -p "$to/platforms"
    cp -u "$prefix/plugins/platforms/qoffscreen.dll" "$to/platforms/"
  fi
}
install_runtime "$build/bin" tests

# The package: the program, its reader, what they load, the country file and
# its copyright, the sample logbook beside the program (where "varkelchecker
# varkeldt" finds it) and a README.
name=VarkelChecker-$version-win64
stage=$build/stage/$name
rm -rf "$build/stage"
mkdir -p "$stage" "$package_dir"
cp "$build/bin/varkelchecker.exe" "$build/bin/varkel-reader.exe" "$stage/"
install_runtime "$stage" no
find "$stage" -name '*.exe' -o -name '*.dll' | xargs $triple-strip --strip-unneeded
cp sample/varkeldt.mdb "$stage/varkeldt.mdb"
sed "s/@VERSION@/$version/g" tools/windows/README.txt.in | sed 's/$/\r/' > "$stage/README.txt"

zip_file=$package_dir/$name.zip
rm -f "$zip_file"
(cd "$build/stage" && zip -qr -9 "$zip_file" "$name")

setup_file=$package_dir/$name-setup.exe
rm -f "$setup_file"
version4=$version
while [ "$(tr -cd . <<<"$version4" | wc -c)" -lt 3 ]; do version4=$version4.0; done
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DSTAGE="$stage" -DOUTFILE="$setup_file" \
  -DICON="$build/icons/varkelchecker.ico" tools/windows/installer.nsi

# The winget manifest (multi-file, schema 1.6) of this installer: what the
# Windows Package Manager needs to install it, once it is published at the
# address given (VARKEL_INSTALLER_URL; a placeholder until then).
url=${VARKEL_INSTALLER_URL:-https://example.invalid/varkelchecker/$(basename "$setup_file")}
sha=$(sha256sum "$setup_file" | cut -d' ' -f1 | tr a-f A-F)
id=VarkelChecker.VarkelChecker
winget=$package_dir/winget
rm -rf "$winget"
mkdir -p "$winget"
cat > "$winget/$id.yaml" <<EOF
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.6.0
EOF
cat > "$winget/$id.installer.yaml" <<EOF
PackageIdentifier: $id
PackageVersion: $version
InstallerType: nullsoft
Scope: user
UpgradeBehavior: install
Installers:
- Architecture: x64
  InstallerUrl: $url
  InstallerSha256: $sha
ManifestType: installer
ManifestVersion: 1.6.0
EOF
cat > "$winget/$id.locale.en-US.yaml" <<EOF
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: The VarkelChecker developers
PackageName: VarkelChecker
License: Proprietary
ShortDescription: Award statistics of a Varkel amateur-radio logbook
Tags:
- ham-radio
- dxcc
- logbook
ManifestType: defaultLocale
ManifestVersion: 1.6.0
EOF

# test.sh looks for the packages where they went.
echo "$package_dir" > "$build/package-dir.txt"

echo "build.sh: $zip_file ($(du -k "$zip_file" | cut -f1) KB)"
echo "build.sh: $setup_file ($(du -k "$setup_file" | cut -f1) KB)"
echo "build.sh: $winget (winget manifest, installer SHA-256 $sha)"
