#!/usr/bin/env bash
# Cross-builds the libraries of the Windows build from Debian's source
# packages: Qt (qtbase), libmdb (mdbtools), SQLite, libxlsxwriter and
# GoogleTest, for x86_64-w64-mingw32 (posix threads). They land in a prefix
# cached outside the repository; a finished prefix is reused as it is.
#
#   tools/windows/deps.sh            install the build's Debian packages, build
#                                    what is missing, print the prefix
#   tools/windows/deps.sh --prefix   only print the prefix's path
#   tools/windows/deps.sh PART...    build only these parts (qt mdb sqlite xlsx gtest)
#   tools/windows/deps.sh --unpack   only unpack the ready prefix (below) if the
#                                    cache lacks one; fails when none applies
#   tools/windows/deps.sh --country-file
#                                    only fetch the country file the packages
#                                    carry and print its folder (below)
#
# The country file is hamradio-files' cty.csv (MIT, with its copyright file):
# the one Debian installed on this machine in /usr/share/hamradio-files, else
# the one of the package's .deb, downloaded and unpacked. It is copied into
# the cache's folder hamradio-files-<version>, which build.sh reads.
#
# VARKEL_WIN_CACHE moves the cache (default ~/.cache/varkelchecker).
# A ready prefix made by this script, ../shared/windows-prefix/<prefix name>.tar.xz
# beside the repository with its checksum in the README there, is unpacked
# instead of building, when its name carries this script's versions.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/host-tools.sh"

QT_VERSION=6.4.2
MDB_VERSION=1.0.1
SQLITE_VERSION=3.40.1
XLSX_VERSION=1.1.4
GTEST_VERSION=1.12.1
# trixie's mdbtools .dsc is not always served, so the tarball is checked here.
MDB_SHA256=750cbf793bf5b7e296fdc359124393a0aef89ee663b7741ba4b1ca2ce30b3b37

cache=${VARKEL_WIN_CACHE:-$HOME/.cache/varkelchecker}
prefix=$cache/mingw64-qt$QT_VERSION-mdb$MDB_VERSION-sqlite$SQLITE_VERSION-xlsx$XLSX_VERSION-gtest$GTEST_VERSION
src=$cache/src
work=$cache/work
triple=x86_64-w64-mingw32
jobs=$(nproc)

if [ "${1:-}" = "--prefix" ]; then echo "$prefix"; exit 0; fi

# Unpacks the ready prefix into the cache, moved from the folder it was made
# in to this one (its text files name their folder: pkg-config, CMake, qmake).
unpack_shared_prefix() {
  local shared archive sum old tmp
  shared=$(cd "$here/../../.." && pwd)/shared/windows-prefix
  archive=$shared/$(basename "$prefix").tar.xz
  [ -f "$prefix/.complete" ] && return 0
  if [ ! -f "$archive" ]; then
    echo "deps.sh: no ready prefix for these versions in $shared ($(ls "$shared" 2>/dev/null | grep '\.tar\.xz$' | tr '\n' ' '))" >&2
    return 1
  fi
  sum=$(sed -n 's/^ *sha256: *\([0-9a-f]\{64\}\) *$/\1/p' "$shared/README.md" 2>/dev/null | head -1)
  if [ -z "$sum" ] || ! echo "$sum  $archive" | sha256sum -c --quiet - >&2; then
    echo "deps.sh: $archive does not match the sha256 of $shared/README.md: not used" >&2
    return 1
  fi
  echo "== unpacking $archive"
  mkdir -p "$cache"
  tmp=$(mktemp -d "$cache/unpack.XXXXXX")
  if ! tar -C "$tmp" -xJf "$archive" || [ ! -f "$tmp/$(basename "$prefix")/.complete" ]; then
    rm -rf "$tmp"
    echo "deps.sh: $archive does not hold a finished $(basename "$prefix")" >&2
    return 1
  fi
  old=$(sed -n 's/^prefix=//p' "$tmp/$(basename "$prefix")/lib/pkgconfig/sqlite3.pc")
  if [ -n "$old" ] && [ "$old" != "$prefix" ]; then
    grep -rlIF -- "$old" "$tmp/$(basename "$prefix")" | while read -r f; do
      sed -i "s|$old|$prefix|g" "$f"
    done
  fi
  rm -rf "$prefix"
  mv "$tmp/$(basename "$prefix")" "$prefix"
  rmdir "$tmp"
}
if [ "${1:-}" = "--unpack" ]; then unpack_shared_prefix; echo "$prefix"; exit 0; fi

# Copies hamradio-files' cty.csv and its copyright into the cache; prints the folder.
fetch_country_file() {
  local version from tmp folder
  version=$(dpkg-query -W -f='${Status} ${Version}' hamradio-files 2>/dev/null | sed -n 's/^install ok installed //p')
  if [ -n "$version" ] && [ -f /usr/share/hamradio-files/cty.csv ]; then
    from=/usr/share
  else
    tmp=$(mktemp -d)
    (cd "$tmp" && apt-get download hamradio-files >/dev/null) || { rm -rf "$tmp"; echo "deps.sh: hamradio-files could not be downloaded" >&2; return 1; }
    version=$(dpkg-deb -f "$tmp"/hamradio-files_*.deb Version)
    dpkg-deb -x "$tmp"/hamradio-files_*.deb "$tmp/root"
    from=$tmp/root/usr/share
  fi
  folder=$cache/hamradio-files-$version
  if [ ! -f "$folder/cty.csv" ]; then
    mkdir -p "$folder.tmp"
    cp "$from/hamradio-files/cty.csv" "$folder.tmp/cty.csv"
    cp "$from/doc/hamradio-files/copyright" "$folder.tmp/copyright"
    rm -rf "$folder"
    mv "$folder.tmp" "$folder"
  fi
  [ -z "${tmp:-}" ] || rm -rf "$tmp"
  # A country file has a line per DXCC entity: Mauritius among them.
  grep -q '^3B8,Mauritius,165,' "$folder/cty.csv" || { echo "deps.sh: $folder/cty.csv is no country file" >&2; return 1; }
  echo "$folder"
}
if [ "${1:-}" = "--country-file" ]; then mkdir -p "$cache"; fetch_country_file; exit 0; fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
                  cmake ninja-build pkg-config make autoconf automake libtool gettext autopoint
                  bison flex tcl dpkg-dev xz-utils qt6-base-dev qt6-base-dev-tools libgtest-dev
                  patch wine64 fonts-wine nsis zip unzip hamradio-files)
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Source packages need deb-src entries: for the Debian archive this machine
# installs its packages from (its own apt sources, whatever mirror they name),
# bookworm's and, for mdbtools only, trixie's (bookworm's mdbtools tarball is
# not served).
add_source_entries() {
  local list=/etc/apt/sources.list.d/varkelchecker-src.sources uris keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  [ -f "$list" ] && return 0
  uris=$(apt-get indextargets --format '$(REPO_URI)' 'Origin: Debian' 'Label: Debian' 'Target-Of: deb' | sort -u | tr '\n' ' ')
  uris=${uris% }
  [ -n "$uris" ] || { echo "deps.sh: the apt sources of this machine name no Debian archive to fetch sources from" >&2; return 1; }
  {
    echo "Types: deb-src"
    echo "URIs: $uris"
    echo "Suites: bookworm trixie"
    echo "Components: main"
    [ ! -f "$keyring" ] || echo "Signed-By: $keyring"
  } | as_root tee "$list" >/dev/null
  as_root apt-get update
}

fetch_sources() {
  mkdir -p "$src"
  cd "$src"
  if ! ls qt6-base_${QT_VERSION}*.orig.tar.xz libxlsxwriter_${XLSX_VERSION}.orig.tar.gz \
       sqlite3_${SQLITE_VERSION}.orig.tar.xz sqlite3_${SQLITE_VERSION}-*.debian.tar.xz \
       mdbtools_${MDB_VERSION}.orig.tar.gz >/dev/null 2>&1; then
    add_source_entries
    ls qt6-base_${QT_VERSION}*.orig.tar.xz >/dev/null 2>&1 || apt-get source --download-only qt6-base/bookworm
    ls libxlsxwriter_${XLSX_VERSION}.orig.tar.gz >/dev/null 2>&1 || apt-get source --download-only libxlsxwriter/bookworm
    ls sqlite3_${SQLITE_VERSION}.orig.tar.xz sqlite3_${SQLITE_VERSION}-*.debian.tar.xz >/dev/null 2>&1 \
      || apt-get source --download-only sqlite3/bookworm
    ls mdbtools_${MDB_VERSION}.orig.tar.gz >/dev/null 2>&1 || apt-get source --download-only mdbtools/trixie || true
  fi
  echo "$MDB_SHA256  mdbtools_${MDB_VERSION}.orig.tar.gz" | sha256sum -c --quiet -
  # The .dsc files that did arrive carry the checksums of their tarballs
  # (the upstream ones and Debian's patches).
  local dsc
  for dsc in qt6-base_${QT_VERSION}*.dsc libxlsxwriter_${XLSX_VERSION}*.dsc sqlite3_${SQLITE_VERSION}*.dsc; do
    awk '/^Checksums-Sha256:/{on=1;next} /^[^ ]/{on=0} on && /(orig|debian)/ {print $1"  "$3}' "$dsc" | sha256sum -c --quiet -
  done
}

unpack() { # tarball directory
  mkdir -p "$work"
  rm -rf "${work:?}/$2"
  tar -C "$work" -xf "$src/$1"
}

toolchain="$here/mingw64.cmake"
cmake_cross() { # source build [args]
  local s=$1 b=$2; shift 2
  cmake -S "$s" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVARKEL_WIN_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  cmake --build "$b" -j"$jobs"
  cmake --install "$b"
}

stamp() { [ -f "$prefix/.built-$1" ]; }
done_part() { touch "$prefix/.built-$1"; }
# The pkg-config file of a static library built into the prefix:
# file name, Name, Description, Version, Libs after -L.
write_pc() {
  mkdir -p "$prefix/lib/pkgconfig"
  cat > "$prefix/lib/pkgconfig/$1.pc" <<EOF
prefix=$prefix
Name: $2
Description: $3
Version: $4
Libs: -L\${prefix}/lib $5
Cflags: -I\${prefix}/include
EOF
}

build_sqlite() {
  stamp sqlite && return 0
  unpack sqlite3_${SQLITE_VERSION}.orig.tar.xz sqlite3-${SQLITE_VERSION}
  local d=$work/sqlite3-${SQLITE_VERSION}
  [ -d "$d" ] || d=$(find "$work" -maxdepth 1 -type d -name 'sqlite*' | head -1)
  # Debian's patches (fixes of the query planner among them) and compile
  # options (debian/rules and its configure switches), so that SQL behaves as
  # in the Linux build's libsqlite3: the same functions, limits and results.
  tar -C "$d" -xf "$(ls "$src"/sqlite3_${SQLITE_VERSION}-*.debian.tar.xz | tail -1)"
  local p
  while read -r p; do
    [ -z "$p" ] || patch -p1 --quiet -d "$d" < "$d/debian/patches/$p"
  done < "$d/debian/patches/series"
  # The amalgamation is generated with host tools, then compiled for Windows.
  (cd "$d" && ./configure --disable-tcl >/dev/null && make -j"$jobs" sqlite3.c >/dev/null)
  mkdir -p "$prefix/lib" "$prefix/include" "$prefix/lib/pkgconfig"
  ${triple}-gcc-posix -O2 -fno-strict-aliasing -c "$d/sqlite3.c" -o "$d/sqlite3-win.o" \
      -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA \
      -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 \
      -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY \
      -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ALLOW_ROWID_IN_VIEW \
      -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_ENABLE_LOAD_EXTENSION -DSQLITE_ENABLE_JSON1 \
      -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS3_TOKENIZER=1 \
      -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_ENABLE_PREUPDATE_HOOK \
      -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
      -DSQLITE_ENABLE_MATH_FUNCTIONS -DSQLITE_TEMP_STORE=1
  rm -f "$prefix/lib/libsqlite3.a"
  ${triple}-gcc-ar-posix rcs "$prefix/lib/libsqlite3.a" "$d/sqlite3-win.o"
  cp "$d/sqlite3.h" "$d/sqlite3ext.h" "$prefix/include/"
  write_pc sqlite3 SQLite "SQL database engine (static, MinGW)" "$SQLITE_VERSION" "-lsqlite3"
  done_part sqlite
}

build_xlsx() {
  stamp xlsx && return 0
  unpack libxlsxwriter_${XLSX_VERSION}.orig.tar.gz libxlsxwriter-RELEASE_${XLSX_VERSION}
  local d
  d=$(find "$work" -maxdepth 1 -type d -name 'libxlsxwriter*' | head -1)
  # libxlsxwriter opens its files through UTF-16 names (_wfopen, minizip's
  # Win32 file functions) for MSVC only; MinGW builds would take names in the
  # ANSI code page. The same code serves MinGW, so that the program hands it
  # UTF-8 names on every system. tmpfile() of msvcrt.dll writes into the
  # root of the drive, which users may not write to: tmpfileplus uses %TMP%.
  sed -i '/^#ifdef __MINGW32__$/{N;N;/#undef _WIN32/d}' "$d/src/packager.c" "$d/src/utility.c"
  sed -i 's/^    if(MSVC)$/    if(WIN32)/' "$d/CMakeLists.txt"
  ! grep -q '#undef _WIN32' "$d/src/packager.c" "$d/src/utility.c" && grep -q '^    if(WIN32)$' "$d/CMakeLists.txt" \
    || { echo "deps.sh: libxlsxwriter's MinGW file-name switches not found" >&2; return 1; }
  cmake_cross "$d" "$d/build-win" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
      -DUSE_STANDARD_TMPFILE=OFF -DZLIB_LIBRARY=/usr/$triple/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$triple/include
  # zlib goes in statically: with MinGW's libz.a in the prefix, pkg-config's
  # -L finds it before the import library of zlib1.dll.
  cp "/usr/$triple/lib/libz.a" "$prefix/lib/libz.a"
  write_pc xlsxwriter libxlsxwriter "xlsx writer (static, MinGW)" "$XLSX_VERSION" "-lxlsxwriter -lz"
  done_part xlsx
}

build_mdb() {
  stamp mdb && return 0
  unpack mdbtools_${MDB_VERSION}.orig.tar.gz mdbtools-${MDB_VERSION}
  local d=$work/mdbtools-${MDB_VERSION}
  # mdb_handle_from_stream made visible, names converted into UTF-8 without
  # iconv as iconv does it (the patch says why).
  patch -p1 --quiet -d "$d" < "$here/mdbtools-${MDB_VERSION}-mingw.patch"
  # Only libmdb: no glib (its own small replacement), no iconv (the reader
  # converts Jet texts itself). configure's "-D_spawnv=spawnv" for MinGW
  # clashes with current MinGW-w64 headers and concerns only the tools, so make
  # gets CFLAGS without it; MinGW's locale type is _locale_t.
  (cd "$d" && { [ -x configure ] || autoreconf -fi; } \
     && ./configure --host=$triple CC=${triple}-gcc-posix --prefix="$prefix" \
          --disable-glib --disable-iconv --disable-shared --enable-static --disable-man >/dev/null \
     && sed -i 's/^typedef locale_t mdb_locale_t;/typedef _locale_t mdb_locale_t;/' include/mdbtools.h \
     && grep -q '^typedef _locale_t mdb_locale_t;' include/mdbtools.h \
     && make -C src/libmdb -j"$jobs" CFLAGS="-O2 -Wall" && make -C src/libmdb install && make -C include install)
  write_pc libmdb libmdb "mdbtools' Jet reader (static, MinGW, no glib, no iconv)" "$MDB_VERSION" "-lmdb"
  done_part mdb
}

build_gtest() {
  stamp gtest && return 0
  local sources
  sources=$(host_gtest_sources)
  rm -rf "$work/googletest"
  cp -r "$sources" "$work/googletest"
  cmake_cross "$work/googletest" "$work/googletest/build-win" -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
  done_part gtest
}

build_qt() {
  stamp qt && return 0
  unpack qt6-base_${QT_VERSION}+dfsg.orig.tar.xz qtbase-everywhere-src-${QT_VERSION}
  local d=$work/qtbase-everywhere-src-${QT_VERSION} qt_prefix qt_cmake
  qt_prefix=$(host_qt_prefix)
  qt_cmake=$(host_qt_cmake_dir)
  # OpenGL, tablet events (Wintab), SQL, network and D-Bus stay out; the
  # third-party libraries come bundled, as nothing of the host may leak in.
  cmake_cross "$d" "$d/build-win" \
      -DQT_HOST_PATH="$qt_prefix" -DQT_HOST_PATH_CMAKE_DIR="$qt_cmake" \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
      -DFEATURE_dynamicgl=OFF -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF \
      -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
      -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
      -DFEATURE_system_doubleconversion=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF \
      -DFEATURE_sql=OFF -DFEATURE_concurrent=ON -DFEATURE_testlib=ON \
      -DFEATURE_printsupport=ON -DFEATURE_widgets=ON
  done_part qt
}

install_packages
mkdir -p "$cache"
fetch_country_file >/dev/null
# A finished prefix is reused as it is.
if [ -f "$prefix/.complete" ] && [ $# -eq 0 ]; then
  echo "$prefix"
  exit 0
fi
[ $# -eq 0 ] && unpack_shared_prefix && { echo "$prefix"; exit 0; }
fetch_sources
mkdir -p "$prefix"
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(sqlite xlsx mdb gtest qt)
for part in "${parts[@]}"; do
  echo "== $part ($(date +%T))"
  "build_$part"
done
if stamp sqlite && stamp xlsx && stamp mdb && stamp gtest && stamp qt; then
  touch "$prefix/.complete"
fi
echo "$prefix"
