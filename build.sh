#!/usr/bin/env bash
# Set-up, build and start of the shift planner on Debian.
#   ./build.sh run     install what is missing, build the optimised program, start it
#   ./build.sh test    install what is missing, build with sanitizers, run every test
#   ./build.sh bench   install what is missing, build optimised, run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

# Every Debian package the build, the tests and the program need, in one place.
PACKAGES=(
  cmake ninja-build g++
  libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev fonts-dejavu-core
  liblpsolve55-dev libsuitesparse-dev
  xvfb openbox xdotool x11-utils
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installiere: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Es fehlen Pakete. Bitte als root ausführen:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

jobs() { local n; n=$(nproc 2>/dev/null || echo 2); echo "$n"; }

configure() { # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

case "${1:-}" in
  run)
    install_missing
    configure build/release -DCMAKE_BUILD_TYPE=Release -DVARN_TESTS=OFF
    cmake --build build/release -j "$(jobs)" --target varn4
    shift
    # The start-up directory is the program directory: the installed files lie beside the binary.
    cd build/release/app
    exec ./varn4 "$@"
    ;;
  test)
    install_missing
    configure build/test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DVARN_SANITIZE=ON -DVARN_BENCH=ON
    cmake --build build/test -j "$(jobs)"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build/test --output-on-failure -j "$(jobs)" --timeout 600
    ;;
  bench)
    install_missing
    configure build/release -DCMAKE_BUILD_TYPE=Release -DVARN_TESTS=OFF -DVARN_BENCH=ON
    cmake --build build/release -j "$(jobs)"
    for b in build/release/bench/*; do
      [ -x "$b" ] && [ -f "$b" ] && { echo "== $(basename "$b")"; "$b"; }
    done
    ;;
  *)
    echo "Aufruf: $0 run | test | bench" >&2
    exit 2
    ;;
esac
