#!/usr/bin/env bash
# ./build.sh run   — install what is missing, build the program and the receiver
#                    simulator, start KOVO3000 (demo mode)
# ./build.sh test  — install what is missing, build, run every test (and
#                    every fuzz target for a short while)
# ./build.sh fuzz [SECONDS] — build the fuzz targets and run each for SECONDS
#                    (600 unless given)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
BUILD="$ROOT/build"
BUILD_SAN="$ROOT/build-sanitize"
BUILD_FUZZ="$ROOT/build-fuzz"
JOBS=$(nproc 2>/dev/null || echo 2)
# A compiler cache (installed with the packages, so looked for only after
# them: every configure of a tree then names the same launcher) lets a second
# tree or a rebuild reuse what was compiled before.
LAUNCHER=()
find_launcher() {
  LAUNCHER=()
  command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  return 0
}
# Warnings are errors in the test build, so none slips into main.
WERROR=ON

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-dejavu-core dbus-daemon nlohmann-json3-dev
  ser2net libhamlib-utils libhamlib-dev
  clang-14 libclang-rt-14-dev clang-format
  libpulse-dev libsndfile1-dev pulseaudio pulseaudio-utils libopus-dev
  libsqlite3-dev sqlite3 qt6-charts-dev libqt6opengl6-dev
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev chromium
  qt6-l10n-tools qt6-tools-dev ccache
  libliquid-dev libfftw3-dev libvolk2-dev libsoapysdr-dev soapysdr-module-rtlsdr soapysdr-module-remote soapysdr-module-airspy soapysdr-module-hackrf
)
# The web page's browser tests run on Node.js; a Node.js from elsewhere
# (with its own npm) is kept rather than replaced.
command -v node >/dev/null && command -v npm >/dev/null || PACKAGES+=(nodejs npm)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  find_launcher
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  find_launcher
}

# Configures the build tree and builds the targets named (everything without one).
configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVO_WERROR="$WERROR" ${LAUNCHER[@]+"${LAUNCHER[@]}"}
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$BUILD" -j "$JOBS" ${targets[@]+"${targets[@]}"}
}

# The sanitizer tree: AddressSanitizer and UBSan over the program, the tools
# its tests start and every unit test, the widget tests included. Unoptimised
# with line tables only (-g1), since compiling is most of its time and the
# reports still name file and line.
build_sanitized() {
  cmake -S "$ROOT" -B "$BUILD_SAN" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DKOVO_UNIT_TESTS_ONLY=ON -DKOVO_SANITIZE=ON -DKOVO_BENCH=OFF -DKOVO_WERROR="$WERROR" \
    ${LAUNCHER[@]+"${LAUNCHER[@]}"}
  cmake --build "$BUILD_SAN" -j "$JOBS"
}

# Leak detection is on for the tests and for the programs they start (they
# inherit the options); any report fails the test that caused it.
# As in the ordinary tree, only the end-to-end tests (the program on a bus
# with its tools) get a second try.
run_sanitized_tests() {
  local asan=detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1
  local ubsan=print_stacktrace=1:halt_on_error=1
  ASAN_OPTIONS=$asan UBSAN_OPTIONS=$ubsan ctest --test-dir "$BUILD_SAN" --output-on-failure -j "$JOBS" -LE e2e
  ASAN_OPTIONS=$asan UBSAN_OPTIONS=$ubsan ctest --test-dir "$BUILD_SAN" --output-on-failure -j "$JOBS" \
    -L e2e --repeat until-pass:2
}

# The fuzz targets: clang with libFuzzer, AddressSanitizer and UBSan, over the
# toolkit-free layers.
build_fuzzers() {
  CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD_FUZZ" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVO_CORE_ONLY=ON -DKOVO_SANITIZE=ON -DKOVO_FUZZ=ON \
    -DKOVO_BENCH=OFF -DKOVO_WERROR="$WERROR"
  cmake --build "$BUILD_FUZZ" -j "$JOBS" --target kovo_fuzzers
}

# Runs every fuzz target for $1 seconds, two at a time; fails on a finding.
run_fuzzers() {
  rm -f "$BUILD_FUZZ/fuzz-findings/summary.txt"
  KOVO_FUZZ_SECONDS="$1" ctest --test-dir "$BUILD_FUZZ" -L fuzz --output-on-failure \
    -j "$JOBS" --timeout $(($1 + 300))
  [ -f "$BUILD_FUZZ/fuzz-findings/summary.txt" ] && cat "$BUILD_FUZZ/fuzz-findings/summary.txt"
  return 0
}

# Every C++ file keeps the project's .clang-format layout.
check_format() {
  local files
  files=$(cd "$ROOT" && { git ls-files '*.cpp' '*.h' 2>/dev/null ||
    find src tests tools bench fuzz recorder \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null; } || true)
  (cd "$ROOT" && echo "$files" | xargs -r clang-format --dry-run --Werror) ||
    { echo "Formatting differs from .clang-format (run clang-format -i on the files above)" >&2; return 1; }
}

case "${1:-}" in
  test)
    install_packages
    check_format
    configure_and_build
    build_sanitized
    build_fuzzers
    export QT_QPA_PLATFORM=offscreen
    # Unit and widget tests fail on their first failure. The end-to-end tests
    # (label "e2e") run real peers against wall-clock timing; on a loaded
    # machine one may miss its window, so only they get one more try.
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" -LE e2e
    ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" -L e2e --repeat until-pass:2
    run_sanitized_tests
    run_fuzzers 20
    ;;
  fuzz)
    install_packages
    build_fuzzers
    run_fuzzers "${2:-600}"
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
    echo "usage: $0 run|test|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
