#!/usr/bin/env bash
# Sets up a fresh Debian machine for Lapforge, builds it and runs one job:
#   scripts/lapforge-setup.sh sample   build a release and convert the bundled sample track into out/ (XML, PTF, rFactor)
#   scripts/lapforge-setup.sh test     build with AddressSanitizer and UndefinedBehaviorSanitizer and run every test
#   scripts/lapforge-setup.sh windows  cross-build lapforge.exe with MinGW-w64, run its tests and the sample job
#                                      under Wine, compare the job's files with the Linux build's and pack the zip
# Run as root (or with sudo available) so that missing packages can be installed.
set -euo pipefail

mode="${1:-sample}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

# The 3D preview and `lapforge render` draw with OpenGL 3.3 through Qt's OpenGL module; its tests run
# under xvfb-run, where Mesa's llvmpipe (libgl1-mesa-dri) draws without a graphics card.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libpugixml-dev libcli11-dev qt6-base-dev
          libqt6opengl6-dev libgl1-mesa-dri
          libgtest-dev libgmock-dev libbenchmark-dev libxml2-utils
          libtinygltf-dev assimp-utils ccache help2man nlohmann-json3-dev libstb-dev libsquish-dev libeigen3-dev
          xvfb xauth)

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc 2>/dev/null || echo 2)"
# Repeated builds on the same machine reuse earlier compilations.
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

case "$mode" in
  sample)
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
          -DLAPFORGE_TESTS=OFF -DLAPFORGE_BENCH=OFF -DLAPFORGE_FUZZ=OFF "${launcher[@]}"
    cmake --build build/release --target lapforge -j "$jobs"
    mkdir -p out
    build/release/cli/lapforge export xml examples/sample-circuit.xml out/sample-circuit.xml
    build/release/cli/lapforge export ptf examples/sample-circuit.xml out/sample-circuit.ptf
    build/release/cli/lapforge export rfactor examples/sample-circuit.xml out/rfactor
    ;;
  test)
    # The Khronos glTF validator, which a test runs on the exported sample
    # (that test is skipped without it).
    if ! command -v npm >/dev/null 2>&1; then
      echo "npm is not installed: the glTF validator test will be skipped"
    elif [[ ! -d "$(npm root -g)/gltf-validator" ]]; then
      "${sudo_cmd[@]}" npm install -g gltf-validator || echo "gltf-validator could not be installed: its test will be skipped"
    fi
    cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
          -DLAPFORGE_SANITIZE=ON -DLAPFORGE_BENCH=ON "${launcher[@]}"
    cmake --build build/ci -j "$jobs"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build/ci --output-on-failure -j "$jobs"
    ;;
  windows)
    windows_packages=(g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev zip)
    missing=()
    for p in "${windows_packages[@]}"; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
      echo "Installing: ${missing[*]}"
      export DEBIAN_FRONTEND=noninteractive
      "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
    # pugixml and libsquish are compiled from Debian's source packages,
    # fetched here (never kept in the repository); apt needs a deb-src
    # entry for Debian's archive for that.
    deps=build/windows-deps
    mkdir -p "$deps"
    for src in pugixml libsquish; do
      if ! compgen -G "$deps/$src-[0-9]*/" >/dev/null; then
        if ! grep -rqs "deb-src" /etc/apt/sources.list /etc/apt/sources.list.d/; then
          echo "Adding Debian's source archive to apt (for apt-get source)"
          . /etc/os-release
          printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$VERSION_CODENAME" "$VERSION_CODENAME" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
          "${sudo_cmd[@]}" apt-get update -q
        fi
        (cd "$deps" && apt-get source -q "$src")
      fi
    done
    pugixml_src="$(compgen -G "$deps/pugixml-[0-9]*/" | head -1)"
    squish_src="$(compgen -G "$deps/libsquish-[0-9]*/" | head -1)"
    bash scripts/windows-build.sh "$here/$pugixml_src" "$here/$squish_src" "${launcher[@]}"
    ;;
  *)
    echo "usage: $0 sample|test|windows" >&2
    exit 2
    ;;
esac
