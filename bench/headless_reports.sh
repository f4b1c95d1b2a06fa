#!/usr/bin/env bash
# Writes the headless report of every award kind (FT8 off and on, the start-up
# band set, a band set with a gap) and the NEEDED lists for each logbook, in
# JSON, text and CSV, into a folder, one file per run, so that two builds can
# be compared with `diff -r`.
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
        args=()
        [ -n "$ft8" ] && args+=("$ft8")
        [ "$bands" = gap ] && args+=(--bands "14.0,,28.0,7.0,,,50.0")
        tag="$name-$kind${ft8:+-ft8}-$bands"
        for what in report needed; do
          for format in json text csv; do
            file="$out/$tag-$what.$format"
            set +e
            "$bin/varkelchecker" --"$what" "$kind" --format "$format" "${args[@]}" "$log" >"$file" 2>"$file.err"
            echo "exit $?" >>"$file.err"
            set -e
          done
        done
      done
    done
  done
done
