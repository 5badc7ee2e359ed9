#!/usr/bin/env bash
# The Windows build, run by `scripts/lapforge-setup.sh windows` once the
# packages and sources are there: cross-builds build/windows/lapforge.exe
# and the unit tests with MinGW-w64, runs the tests and the sample job under
# Wine, compares every file of the job with the Linux build's and packs
# build/windows/lapforge-<version>-windows-x86_64.zip.
#   scripts/windows-build.sh PUGIXML_SOURCE SQUISH_SOURCE [CMAKE_ARGS...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
pugixml="$1"; squish="$2"; shift 2
jobs="$(nproc 2>/dev/null || echo 2)"
build=build/windows
started=$SECONDS

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake \
      -DLAPFORGE_PUGIXML_SOURCE="$pugixml" -DLAPFORGE_SQUISH_SOURCE="$squish" \
      -DLAPFORGE_BENCH=OFF -DLAPFORGE_FUZZ=OFF "$@"
cmake --build "$build" -j "$jobs"
exe="$build/cli/lapforge.exe"

# Only DLLs every Windows has: the runtime of the compiler is linked in.
dlls="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u | tr '\n' ' ')"
echo "lapforge.exe imports: $dlls"
for dll in $dlls; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | shell32.dll | user32.dll | advapi32.dll) ;;
    *) echo "lapforge.exe needs $dll, which Windows does not bring" >&2; exit 1 ;;
  esac
done

# Wine in a prefix of its own; its first start makes the prefix.
export WINEPREFIX="$here/$build/wine" WINEDEBUG=-all WINEARCH=win64
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "Making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
wrapper="$here/$build/lapforge-wine"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$here/$exe" > "$wrapper"
chmod +x "$wrapper"

# The unit tests, each program under Wine (the build's emulator).
ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The Linux program to compare with: the test build when it is there (CI
# runs the tests first), else a release build.
if [[ -x build/ci/cli/lapforge ]]; then
  linux_build=build/ci
else
  linux_build=build/release
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
        -DLAPFORGE_BENCH=OFF -DLAPFORGE_FUZZ=OFF "$@"
  cmake --build "$linux_build" --target lapforge -j "$jobs"
fi
cmake --build "$linux_build" --target ptf_compare -j "$jobs"

ASAN_OPTIONS=detect_leaks=0 bash scripts/windows-job.sh "$build/job-linux" "$here/$linux_build/cli/lapforge"
bash scripts/windows-job.sh "$build/job-windows" "$wrapper"

# Every file of the two jobs: PTF files number by number (tools/ptf_compare:
# doubles within 1e-12, the last bits in which the systems' sine and cosine
# differ), texts after CR LF is made LF (the console's text mode), the rest
# byte for byte.
# A text as compared: LF for CR LF, and no time the report measured.
as_text() { tr -d '\r' | sed -E 's/ In [0-9]+\.[0-9]+ seconds$/ In _ seconds/'; }
differ=0 files=0
while IFS= read -r -d '' f; do
  rel="${f#"$build/job-linux/"}"
  other="$build/job-windows/$rel"
  files=$((files + 1))
  if [[ ! -f "$other" ]]; then
    echo "missing under Wine: $rel"; differ=1; continue
  fi
  case "$rel" in
    *.ptf)
      if ! verdict="$("$linux_build/tools/ptf_compare" "$f" "$other")"; then
        echo "$rel: $verdict"; differ=1
      elif [[ "$verdict" != identical ]]; then
        echo "$rel: $verdict"
      fi ;;
    *.out | *.err | *.status | *.xml | *.svg | *.gltf | *.ini | *.scn | *.txt)
      if ! cmp -s <(as_text < "$f") <(as_text < "$other"); then
        echo "$rel differs:"; diff <(as_text < "$f") <(as_text < "$other") | head -10; differ=1
      fi ;;
    *)
      if ! cmp -s "$f" "$other"; then echo "$rel differs"; differ=1; fi ;;
  esac
done < <(find "$build/job-linux" -path "$build/job-linux/ex" -prune -o -type f -print0 | sort -z)
extra="$(cd "$build/job-windows" && find . -path ./ex -prune -o -type f -print | sort)"
if [[ "$extra" != "$(cd "$build/job-linux" && find . -path ./ex -prune -o -type f -print | sort)" ]]; then
  echo "the Wine job wrote other files than the Linux job"; differ=1
fi
grep -q '"uri":"piste-%C3%A9.bin"' "$build/job-windows/files/piste-é.gltf" ||
  { echo "the buffer of piste-é.gltf is not named by its UTF-8"; differ=1; }
echo "compared $files files of the sample job"

# What only Windows does: the settings under %APPDATA%, and the PNG map,
# which needs the desktop build.
appdata_ini="$(compgen -G "$WINEPREFIX/drive_c/users/*/AppData/Roaming/lapforge/lapforge.ini" || true)"
rm -f "$appdata_ini"
env -u LAPFORGE_CONFIG "$wrapper" options WriteN4PTF 0
appdata_ini="$(compgen -G "$WINEPREFIX/drive_c/users/*/AppData/Roaming/lapforge/lapforge.ini" || true)"
[[ -n "$appdata_ini" ]] || { echo "the settings did not go to %APPDATA%\\lapforge\\lapforge.ini"; differ=1; }
png_says="$("$wrapper" map examples/sample-circuit.xml "$build/map.png" 2>&1 || true)"
if [[ "$png_says" != *"needs the desktop build"* ]]; then
  echo "a PNG map does not say it needs the desktop build: $png_says"; differ=1
fi
((differ == 0)) || { echo "The Windows build differs from the Linux build"; exit 1; }

# The download: the program, the README, the licences of the libraries
# linked into it and the examples.
version="$(sed -n 's/^project(Lapforge VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
name="lapforge-$version-windows-x86_64"
stage="$build/package/$name"
rm -rf "$build/package"; mkdir -p "$stage/licences"
cp "$exe" README.md "$stage/"
cp -r examples "$stage/"
for lib in libpugixml-dev:pugixml libcli11-dev:CLI11 libtinygltf-dev:tinygltf nlohmann-json3-dev:nlohmann-json \
           libstb-dev:stb libsquish-dev:libsquish libeigen3-dev:Eigen mingw-w64-x86-64-dev:mingw-w64-runtime \
           gcc-mingw-w64-base:gcc-runtime; do
  cp "/usr/share/doc/${lib%%:*}/copyright" "$stage/licences/${lib#*:}.txt"
done
rm -f "$build/$name.zip"
(cd "$build/package" && zip -qr -9 "../$name.zip" "$name")
echo "packed $build/$name.zip ($(stat -c %s "$build/$name.zip") bytes) in $((SECONDS - started)) s"
