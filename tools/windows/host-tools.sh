# Where this machine keeps what the Windows build uses from it, found rather
# than assumed; sourced by deps.sh, build.sh, test.sh and wine-run.sh. Each
# function prints a path, or says on standard error what it did not find and
# fails.

# The first of the arguments that is an executable file.
first_executable() {
  local p
  for p in "$@"; do
    [ -n "$p" ] && [ -f "$p" ] && [ -x "$p" ] && { echo "$p"; return 0; }
  done
  return 1
}

# Wine's 64-bit loader: Debian's wine64 package keeps it out of PATH.
host_wine() {
  first_executable $(dpkg -L wine64 2>/dev/null | grep '/wine64$') "$(command -v wine64)" "$(command -v wine)" \
    || { echo "no wine64 (apt-get install wine64)" >&2; return 1; }
}

# The Wine server of that loader: beside it, else on PATH.
host_wineserver() {
  local wine
  wine=$(host_wine) || return 1
  first_executable "$(dirname "$wine")/wineserver" "$(dirname "$wine")/wineserver64" "$(command -v wineserver)" \
    || { echo "no wineserver beside $wine" >&2; return 1; }
}

# The host Qt whose tools a cross build of Qt, and of the program, runs: its prefix.
host_qt_prefix() {
  local prefix
  prefix=$(qtpaths6 --query QT_HOST_PREFIX 2>/dev/null) && [ -d "$prefix" ] \
    || { echo "no host Qt 6 (qtpaths6 of qt6-base-dev-tools)" >&2; return 1; }
  echo "$prefix"
}

# Its CMake folder, the one holding Qt6/Qt6Config.cmake.
host_qt_cmake_dir() {
  local config
  config=$(dpkg -L qt6-base-dev 2>/dev/null | grep '/cmake/Qt6/Qt6Config\.cmake$' | head -1)
  [ -n "$config" ] || { echo "no host Qt 6 CMake files (apt-get install qt6-base-dev)" >&2; return 1; }
  dirname "$(dirname "$config")"
}

# GoogleTest's sources as Debian installs them: the folder whose CMakeLists.txt
# builds both googletest and googlemock.
host_gtest_sources() {
  local list dir
  list=$(dpkg -L googletest 2>/dev/null | grep '/CMakeLists\.txt$') || true
  for dir in $(echo "$list" | xargs -r -n1 dirname | sort -u); do
    [ -f "$dir/googletest/CMakeLists.txt" ] && { echo "$dir"; return 0; }
  done
  echo "no GoogleTest sources (apt-get install googletest)" >&2
  return 1
}
