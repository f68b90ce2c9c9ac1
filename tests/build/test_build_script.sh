#!/usr/bin/env bash
# Runs build.sh with stand-ins for the tools it calls (cmake, ctest, the
# package tools) and checks which targets each command builds.
set -euo pipefail
script="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/tree"
cp "$script" "$work/tree/build.sh"
log="$work/calls"
for tool in cmake ctest dpkg-query apt-get sudo nproc; do
  cat >"$work/bin/$tool" <<STUB
#!/bin/sh
echo "$tool \$*" >>"$log"
[ "$tool" = ctest ] && echo "ctest env ASAN_OPTIONS=\$ASAN_OPTIONS QT_QPA_PLATFORM=\$QT_QPA_PLATFORM" >>"$log"
case "$tool" in
  dpkg-query) printf 'install ok installed' ;;
  nproc) echo 2 ;;
esac
exit 0
STUB
  chmod +x "$work/bin/$tool"
done

tree="$work/tree"
# command | the cmake --build lines it must run, in order
cases=(
  "run|cmake --build $tree/build -j 2 --target kovo3000 receiver-sim"
  "test|cmake --build $tree/build -j 2;cmake --build $tree/build-sanitize -j 2;cmake --build $tree/build-fuzz -j 2 --target kovo_fuzzers"
  "fuzz|cmake --build $tree/build-fuzz -j 2 --target kovo_fuzzers"
)
failed=0
for entry in "${cases[@]}"; do
  command="${entry%%|*}"
  IFS=';' read -r -a expected <<<"${entry#*|}"
  : >"$log"
  PATH="$work/bin:$PATH" "$tree/build.sh" "$command" >/dev/null
  mapfile -t built < <(grep '^cmake --build' "$log")
  if [ "${built[*]}" != "${expected[*]}" ]; then
    echo "build.sh $command built:"
    printf '  %s\n' "${built[@]}"
    echo "expected:"
    printf '  %s\n' "${expected[@]}"
    failed=1
  fi
done
# The sanitizer tree holds the widget tests as well as the core, and its tests
# run offscreen with leak detection on.
: >"$log"
PATH="$work/bin:$PATH" "$tree/build.sh" test >/dev/null
san_configure=$(grep "^cmake -S .* -B $tree/build-sanitize " "$log" || true)
case "$san_configure" in
  *-DKOVO_SANITIZE=ON*) ;;
  *) echo "sanitizer tree not configured with KOVO_SANITIZE=ON: $san_configure"; failed=1 ;;
esac
case "$san_configure" in
  *-DKOVO_CORE_ONLY=ON*) echo "sanitizer tree leaves out the Qt side: $san_configure"; failed=1 ;;
esac
if ! grep -A1 "^ctest --test-dir $tree/build-sanitize " "$log" |
  grep -q '^ctest env ASAN_OPTIONS=.*detect_leaks=1.* QT_QPA_PLATFORM=offscreen$'; then
  echo "sanitizer tests do not run offscreen with leak detection:"
  grep -A1 "^ctest --test-dir $tree/build-sanitize " "$log" || true
  failed=1
fi
# "run" and "test" configure the ordinary tree alike, so that the second
# reuses what the first built instead of compiling everything again.
configure_of() {
  : >"$log"
  PATH="$work/bin:$PATH" "$tree/build.sh" "$1" >/dev/null
  grep "^cmake -S .* -B $tree/build " "$log" || true
}
run_configure=$(configure_of run)
test_configure=$(configure_of test)
if [ -z "$run_configure" ] || [ "$run_configure" != "$test_configure" ]; then
  echo "run and test configure build/ differently:"
  printf '  run:  %s\n  test: %s\n' "$run_configure" "$test_configure"
  failed=1
fi
exit $failed
