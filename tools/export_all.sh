#!/usr/bin/env bash
# Exports one description to every format into a folder and prints a
# checksum per file written, so that two builds can be compared byte for
# byte:  tools/export_all.sh LAPFORGE IN.xml OUTDIR > sums.txt
set -uo pipefail
lf="$1"; in="$2"; out="$3"
rm -rf "$out"; mkdir -p "$out"
run() { "$lf" "$@" >/dev/null 2>>"$out.log" || echo "failed: $*" >&2; }
run export xml "$in" "$out/track.xml"
mkdir -p "$out/ptf"; run export ptf "$in" "$out/ptf/track.ptf" --force
run export gltf "$in" "$out/track.glb" --force
mkdir -p "$out/gltf"; run export gltf "$in" "$out/gltf/track.gltf" --force
for f in rfactor mts gtr gtr2 gtl; do run export "$f" "$in" "$out/$f" --force; done
run export 3ds "$in" "$out/track.3ds" --short-names no --force
mkdir -p "$out/3se"; run export 3se "$in" "$out/3se/track.3se" --force
run map "$in" "$out/map.svg"
(cd "$out" && find . -type f | LC_ALL=C sort | xargs sha256sum)
