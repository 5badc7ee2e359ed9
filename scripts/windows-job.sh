#!/usr/bin/env bash
# The sample job that the Windows build is compared on: every export of the
# bundled sample circuit, a re-export over the files written, check, the SVG
# map, the import of the exported PTF, inspect and its write-back, and the
# settings in a file of the job's own, each command's output and status
# kept in OUT (all names relative, so that messages read the same wherever
# the job runs).
#   scripts/windows-job.sh OUT LAPFORGE [WORDS...]   (the command, e.g. a Wine wrapper)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$1"; shift
lf=("$@")
rm -rf "$out"; mkdir -p "$out"
cp -r "$here/examples" "$out/ex"
cd "$out"
mkdir -p files/ptf files/gltf files/3se log settings
in=ex/sample-circuit.xml
export LAPFORGE_CONFIG=settings/lapforge.ini

# run NAME ARGS...: one command, its stdout, stderr and exit status in log/.
run() {
  local name="$1"; shift
  "${lf[@]}" "$@" > "log/$name.out" 2> "log/$name.err"
  echo $? > "log/$name.status"
}

run export-xml export xml "$in" files/track.xml
run export-ptf export ptf "$in" files/ptf/track.ptf --force
run export-ptf-again export ptf "$in" files/ptf/track.ptf --force
run export-glb export gltf "$in" files/track.glb --force
run export-gltf export gltf "$in" files/gltf/track.gltf --force
for f in rfactor mts gtr gtr2 gtl; do run "export-$f" export "$f" "$in" "files/$f" --force; done
run export-3ds export 3ds "$in" files/track.3ds --short-names no --force
run export-3se export 3se "$in" files/3se/track.3se --force
# Names outside ASCII: the buffer's URI is the name's UTF-8, percent-encoded.
run export-cyrillic export gltf "$in" "files/трасса.gltf" --force
run export-accent export gltf "$in" "files/piste-é.gltf" --force
run check check "$in"
run check-json check --json "$in"
run map map "$in" files/map.svg
run import-ptf import ptf files/ptf/track.ptf files/imported.xml
run inspect inspect files/ptf/track.ptf
run rewrite inspect --rewrite files/ptf/track.ptf files/rewritten.ptf
run options-set options TSOXYZ 1
run options-text options --any-name Note "été, лето"
run options-get options TSOXYZ
run options-list options
cp settings/lapforge.ini files/settings.ini
