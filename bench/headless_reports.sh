#!/usr/bin/env bash
# Writes the headless JSON of every award kind (FT8 off and on, the start-up
# band set, a band set with a gap) and of the NEEDED lists for each logbook
# into a folder, one file per run, so that two builds can be compared with
# `diff -r`.
#   bench/headless_reports.sh BINDIR OUTDIR LOGBOOK...
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 BINDIR OUTDIR LOGBOOK..." >&2; exit 2; }
bin=$1 out=$2
shift 2
mkdir -p "$out"
for log in "$@"; do
  name=$(basename "$log" .mdb)
  for kind in QSO DXC WPX WAZ ITU WAC SQR; do
    for ft8 in "" --ft8; do
      for bands in startup gap; do
        args=(--format json)
        [ -n "$ft8" ] && args+=("$ft8")
        [ "$bands" = gap ] && args+=(--bands "14.0,,28.0,7.0,,,50.0")
        tag="$name-$kind${ft8:+-ft8}-$bands"
        for what in report needed; do
          set +e
          "$bin/varkelchecker" --"$what" "$kind" "${args[@]}" "$log" >"$out/$tag-$what.json" 2>"$out/$tag-$what.err"
          echo "exit $?" >>"$out/$tag-$what.err"
          set -e
        done
      done
    done
  done
done
