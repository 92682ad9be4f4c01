#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build (GUI tests under a
# virtual X server), the AddressSanitizer + UBSan build (window tests included), the
# ThreadSanitizer build of the threaded tests, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install.sh

jobs=$(nproc)

echo "== normal build"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
xvfb-run -a -s "-screen 0 1400x900x24" \
  ctest --test-dir build/default --output-on-failure -j "$jobs"

echo "== the program on the simulated board builds (scripts/run.sh --simulated)"
bash scripts/run.sh --simulated --build-only >/dev/null
test -x build/default/bin/VR3526Kits && test -f build/default/testboard/libmpusbapi.so

echo "== AddressSanitizer + UndefinedBehaviorSanitizer (the window tests too)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE 'gui|fuzz'
# The toolkit's own leaks are suppressed, nothing else. The real USB library's program test
# stays in the normal build: umockdev's preload and the sanitizer runtime cannot both come first.
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-gui.supp" xvfb-run -a -s "-screen 0 1400x900x24" \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -L gui -E '^RealLibraryProgram'

echo "== ThreadSanitizer (threaded tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build/tsan --output-on-failure -j "$jobs" -L threaded

echo "== fuzz targets (bounded)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --test-dir build/fuzz --output-on-failure -j "$jobs" -L fuzz
