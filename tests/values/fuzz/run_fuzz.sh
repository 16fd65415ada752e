#!/usr/bin/env bash
# Builds one fuzz target of the number texts under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it for a bounded time: with libFuzzer
# when clang provides it, else with the seeded random driver.
# usage: run_fuzz.sh <build dir> <target> [seconds]
# FERIX_FUZZ_SECONDS sets the time; FERIX_FUZZ_DRIVER=random skips libFuzzer.
set -euo pipefail
build=$1
target=$2
seconds=${3:-${FERIX_FUZZ_SECONDS:-30}}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out="$build/fuzz/$target"
mkdir -p "$out/corpus"

sources=("$here/${target}_fuzz.cpp" "$root/runtime/values/number_text.cpp" "$root/runtime/values/using_engine.cpp")
flags=(-std=c++20 -O1 -g -I"$root" -fno-omit-frame-pointer -fno-sanitize-recover=all)
# Leak checks need ptrace, which many CI containers forbid; the engines
# allocate nothing but the output text.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if [ "${FERIX_FUZZ_DRIVER:-}" != random ] && command -v clang++ >/dev/null 2>&1 &&
   clang++ "${flags[@]}" -fsanitize=fuzzer,address,undefined "${sources[@]}" -o "$out/fuzzer" 2>"$out/build.log"; then
    echo "libFuzzer: $target for ${seconds}s"
    exec "$out/fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 -detect_leaks=0 \
        -dict="$here/$target.dict" -artifact_prefix="$out/" -print_final_stats=1 \
        "$out/corpus" "$here/regress_$target"
fi
[ -s "$out/build.log" ] && cat "$out/build.log"
compiler=$(command -v g++ || command -v clang++)
"$compiler" "${flags[@]}" -fsanitize=address,undefined "${sources[@]}" "$here/random_driver.cpp" -o "$out/driver"
echo "random driver: $target for ${seconds}s"
exec "$out/driver" "$seconds" "$here/regress_$target"
