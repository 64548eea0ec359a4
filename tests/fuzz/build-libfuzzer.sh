#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (clang 14, libclang-rt-14-dev) and,
# with "run", fuzzes each for a while starting from the committed corpus.
#
#   tests/fuzz/build-libfuzzer.sh [BUILD_DIR] [run [SECONDS]]
#
# BUILD_DIR is a configured CMake build of the project (for the generated Version.h);
# the fuzzers land in BUILD_DIR/fuzz/. New inputs go to BUILD_DIR/fuzz/corpus-*/, crashes
# to BUILD_DIR/fuzz/crash-*.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath "${1:-$root/build}")"
out="$build/fuzz"
mkdir -p "$out"
cxx="${CXX_FUZZ:-clang++-14}"
flags=(-g -O1 -std=c++20 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -DQT_FORCE_ASSERTS
       -I"$root/src" -I"$build/generated" $(pkg-config --cflags Qt6Core))
libs=($(pkg-config --libs Qt6Core))

"$cxx" "${flags[@]}" -o "$out/fuzz_icon" \
  "$root/tests/fuzz/fuzz_icon.cpp" "$root/src/auxiliary/icon/IconFormat.cpp" "$root/src/base/RegularFile.cpp" "${libs[@]}"
"$cxx" "${flags[@]}" -o "$out/fuzz_headerscan" \
  "$root/tests/fuzz/fuzz_headerscan.cpp" "$root/src/mpeg/HeaderScan.cpp" "$root/src/mpeg/SequenceHeader.cpp" \
  "$root/src/mpeg/StreamInfo.cpp" "$root/src/base/File64.cpp" "$root/src/base/TextUtils.cpp" \
  "$root/src/platform/MessageBox.cpp" "${libs[@]}"
seamless=()
for f in HeaderScan SequenceHeader MediaFile MpegClock ProgramStream VideoStream MpegAudio StreamDetails \
         SeamlessPlan SeamlessRewriter; do
  seamless+=("$root/src/mpeg/$f.cpp")
done
"$cxx" "${flags[@]}" -o "$out/fuzz_seamless" "$root/tests/fuzz/fuzz_seamless.cpp" "${seamless[@]}" \
  "$root/src/mpeg/StreamInfo.cpp" "$root/src/base/File64.cpp" "$root/src/base/TextUtils.cpp" \
  "$root/src/platform/MessageBox.cpp" "${libs[@]}"
echo "built $out/fuzz_icon, $out/fuzz_headerscan and $out/fuzz_seamless"

if [ "${2:-}" = "run" ]; then
  secs="${3:-60}"
  for t in icon headerscan seamless; do
    mkdir -p "$out/corpus-$t"
    # Seamless inputs are whole short streams (pack after pack, frame after frame).
    len=8192; [ "$t" = seamless ] && len=131072
    (cd "$out" && "./fuzz_$t" -max_total_time="$secs" -max_len="$len" -print_final_stats=1 \
        "corpus-$t" "$root/tests/fuzz/corpus/$t")
  done
fi
