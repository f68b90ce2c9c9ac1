#!/usr/bin/env bash
# ./build.sh run   — install what is missing, build the program and the receiver
#                    simulator, start KOVO3000 (demo mode)
# ./build.sh test  — install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
BUILD="$ROOT/build"
BUILD_SAN="$ROOT/build-sanitize"
JOBS=$(nproc 2>/dev/null || echo 2)
# Warnings are errors in the test build, so none slips into main.
WERROR=OFF

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-dejavu-core dbus-daemon nlohmann-json3-dev
  ser2net libhamlib-utils
  libpulse-dev libsndfile1-dev pulseaudio pulseaudio-utils
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures the build tree and builds the targets named (everything without one).
configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVO_WERROR="$WERROR"
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$BUILD" -j "$JOBS" ${targets[@]+"${targets[@]}"}
}

build_sanitized_core() {
  cmake -S "$ROOT" -B "$BUILD_SAN" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKOVO_CORE_ONLY=ON -DKOVO_SANITIZE=ON -DKOVO_BENCH=OFF -DKOVO_WERROR="$WERROR"
  cmake --build "$BUILD_SAN" -j "$JOBS"
}

case "${1:-}" in
  test)
    install_packages
    WERROR=ON
    configure_and_build
    build_sanitized_core
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir "$BUILD_SAN" --output-on-failure -j "$JOBS"
    ;;
  run)
    install_packages
    # Only what is started: no test or benchmark waits to compile first.
    configure_and_build kovo3000 receiver-sim
    shift
    if [ -x "$BUILD/src/app/kovo3000" ]; then
      exec "$BUILD/src/app/kovo3000" --demo "$@"
    else
      echo "KOVO3000 is not built yet; it would start: $BUILD/src/app/kovo3000 --demo"
    fi
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
