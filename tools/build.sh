#!/usr/bin/env bash
# Sets up a fresh Debian machine (as root, or with sudo), builds VarkelChecker
# and then either starts it on the bundled sample logbook or runs every test.
#   tools/build.sh run     install, build, start the program on sample/varkeldt.mdb
#   tools/build.sh test    install, build, run all tests through CTest
#   tools/build.sh package install, build, make the Debian package
#                          build/package/varkelchecker_<version>_amd64.deb
#   tools/build.sh sanitize  install, build the core tests with ASan and UBSan
#                          in build-sanitize/ and run them (ctest -L core)
# VARKEL_WERROR=ON turns compiler warnings into errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(build-essential cmake pkg-config qt6-base-dev mdbtools mdbtools-dev libsqlite3-dev sqlite3
          libxlsxwriter-dev libgtest-dev zlib1g-dev xvfb xauth unzip poppler-utils fonts-dejavu-core
          hamradio-files librsvg2-bin locales)
# node and npm for the ADIF read-back test, from Debian where the machine has none
# (a Node.js of another source, which brings its own npm, is used as it is).
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
[ "$mode" = package ] && packages+=(dpkg-dev help2man desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A few suites run once more under an Italian locale, whose decimal separator
# is a comma; a clean Debian has only C.UTF-8.
if { [ "$mode" = test ] || [ "$mode" = sanitize ]; } && ! locale -a | grep -qix 'it_IT\.utf-\?8'; then
  $sudo localedef -i it_IT -f UTF-8 it_IT.UTF-8
fi

# The ADIF read-back test's parser (tests/adif/package-lock.json), from the npm
# registry; a machine that already holds that version installs nothing.
if { [ "$mode" = test ] || [ "$mode" = sanitize ]; } && ! npm ls --prefix tests/adif --depth=0 >/dev/null 2>&1; then
  npm ci --prefix tests/adif --prefer-offline --no-audit --no-fund
fi

if [ "$mode" = sanitize ]; then
  # A build folder of its own, through ccache where the machine has it; only
  # the core tests and what they run. A leak, an overflow or undefined
  # behaviour fails the test it happens in.
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARKEL_SANITIZE=ON \
        -DVARKEL_WERROR="${VARKEL_WERROR:-OFF}" "${launcher[@]}"
  cmake --build build-sanitize -j"$(nproc)" --target core_tests
  cd build-sanitize
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_stack_use_after_return=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
  QT_QPA_PLATFORM=offscreen exec ctest -L core --output-on-failure -j"$(nproc)"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARKEL_WERROR="${VARKEL_WERROR:-OFF}"
cmake --build build -j"$(nproc)"

case "$mode" in
  run)
    exec build/bin/varkelchecker varkeldt ;;
  test)
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" ;;
  package)
    (cd build && cpack -G DEB) ;;
  *)
    echo "usage: tools/build.sh run|test|package|sanitize" >&2; exit 2 ;;
esac
