#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#   ./test.sh           the normal build (build/)
#   ./test.sh --asan    with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)
#   further arguments go to ctest (for example -R Serial)
cd "$(dirname "$0")"
source scripts/common.sh
ensure_packages
dir=build
args=()
if [ "${1:-}" = "--asan" ]; then
  shift
  dir=build-asan
  args=(-DSTRIDE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Faults are translated into exceptions by the program itself.
  export ASAN_OPTIONS="handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:detect_leaks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
build "$dir" "${args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@"
