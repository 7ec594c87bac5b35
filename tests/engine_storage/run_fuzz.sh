#!/bin/sh
# A short bounded libFuzzer run over the store's readers, seeded with the corpus in
# tests/data/pictures. Builds fuzz/ with clang++ in a build folder of its own.
# Usage: run_fuzz.sh <source dir> <build dir> [seconds]. Exit 77 (skipped) without clang.
set -eu
src=$1
bin=$2
secs=${3:-20}
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ is not installed: fuzz run skipped (scripts/deps.sh test installs it)"
    exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' > "$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
    echo "clang++ cannot link libFuzzer (libclang-rt-14-dev missing?): fuzz run skipped"
    exit 77
fi
cmake -S "$src" -B "$bin" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSX_FUZZ=ON -DSX_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build "$bin" --target fuzz_picture_file -j2 >/dev/null
# New inputs go to a scratch folder; the seed corpus stays as committed.
mkdir -p "$probe/new"
ASAN_OPTIONS=detect_leaks=1 "$bin/fuzz/fuzz_picture_file" -max_total_time="$secs" -timeout=10 -rss_limit_mb=1536 \
    -print_final_stats=1 "$probe/new" "$src/tests/data/pictures"
