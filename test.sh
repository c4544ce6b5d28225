#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#   ./test.sh           the normal build (build/)
#   ./test.sh --asan    with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --fuzz [seconds]
#                       builds the fuzz targets of tests/fuzz/ with clang, libFuzzer and
#                       both sanitizers (build-fuzz/) and runs each for the given time
#                       (default 60 s) from the seeds the build wrote
#   further arguments go to ctest (for example -R Serial)
cd "$(dirname "$0")"
source scripts/common.sh

if [ "${1:-}" = "--fuzz" ]; then
  seconds="${2:-60}"
  ensure_packages clang libclang-rt-14-dev
  dir=build-fuzz
  configure "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSTRIDE_FUZZ=ON -DSTRIDE_SANITIZE=ON -DSTRIDE_TESTS=OFF \
    "-DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link" "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link"
  cmake --build "$dir" -j "$JOBS" --target stride_fuzz
  export QT_QPA_PLATFORM=offscreen
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  failed=()
  for exe in "$dir"/bin/*_fuzz; do
    name=$(basename "$exe" _fuzz)
    corpus="$dir/fuzz-corpus/$name"
    findings="$dir/fuzz-findings/$name"
    mkdir -p "$corpus" "$findings"
    echo "== $name: $seconds s"
    if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$findings/" "$corpus" 2>"$findings/log.txt"; then
      failed+=("$name")
      tail -n 40 "$findings/log.txt"
    else
      grep -E "^(stat::number_of_executed_units|stat::new_units_added|#[0-9]+ +DONE)" "$findings/log.txt" || true
    fi
  done
  if ((${#failed[@]})); then
    echo "Fuzz findings in: ${failed[*]} (inputs under $dir/fuzz-findings/)"
    exit 1
  fi
  echo "No findings."
  exit 0
fi

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
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
fi
# Continuous integration builds with every warning an error.
if [ "${CI:-}" = "true" ]; then
  args+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
fi
build "$dir" "${args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@" || exit 1
# Every test binary passes with all of its tests in one process, in a random
# order, as well (tests must not depend on a fresh process each). Run side by
# side; skipped when only some tests were asked for.
if [ "$#" -eq 0 ]; then
  mkdir -p shuffle-logs
  failed=$(find bin -maxdepth 1 -name 'test_*' -type f -perm -u+x ! -name '*_child' -print |
    xargs -r -P "$(nproc)" -I{} sh -c \
      'log="shuffle-logs/$(basename "$1").log"; timeout 900 "$1" --gtest_shuffle >"$log" 2>&1 || echo "$1"' _ {})
  if [ -n "$failed" ]; then
    for exe in $failed; do
      echo "== $exe --gtest_shuffle failed:"
      grep -iE "^\[  FAILED  \]|with a seed of" "shuffle-logs/$(basename "$exe").log" | head -n 40 || true
      tail -n 20 "shuffle-logs/$(basename "$exe").log" || true
    done
    exit 1
  fi
  echo "Every test binary also passed with --gtest_shuffle in one process."
fi
