#!/usr/bin/env bash
# Join benchmark: klivatarn-pack at every rate against `cat a b c > out` on the same three
# files, side by side in one run, rounds interleaved so that load on the machine hits
# every contender alike (each round starts with the next contender). Prints, per contender, the median wall and CPU time, the peak
# memory, and the ratio of its median wall time to cat's.
#
#   bench/join/run_join_bench.sh [BUILD_DIR] [WORK_DIR] [ROUNDS]
#
# BUILD_DIR defaults to ./build, WORK_DIR to /var/tmp/kt-join-bench (the sources, about
# 1.5 GiB, are made once and kept there), ROUNDS to 5. With BLOCKCOPY=1 the block-copy
# variants the join was tuned with (bench/join/blockcopy.cpp) run as well.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
WORK=${2:-/var/tmp/kt-join-bench}
ROUNDS=${3:-5}
PACK="$BUILD/bin/klivatarn-pack"
BLOCKCOPY_BIN="$BUILD/bench/blockcopy"
[ -x "$PACK" ] || { echo "no $PACK: build first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }

mkdir -p "$WORK"
cd "$WORK"
# Three sources of 350, 500 and 650 MiB of random bytes.
for size in 350 500 650; do
  if [ "$(stat -c %s "src$size.bin" 2>/dev/null || echo 0)" != $((size * 1024 * 1024)) ]; then
    head -c "${size}M" /dev/urandom > "src$size.bin"
  fi
done
SOURCES=(src350.bin src500.bin src650.bin)
cat "${SOURCES[@]}" > /dev/null # warm the page cache, as for every contender alike

declare -a NAMES=(cat slow normal fast ufast)
if [ "${BLOCKCOPY:-0}" = 1 ]; then
  NAMES+=("rw:1000000:0" "rw:1000000:17" "rw:100000:17" "chunked:1000000:0" "cfr:1000000:0" "cfr:100000:0")
fi

RESULTS=$(mktemp)
trap 'rm -f "$RESULTS" out.bin' EXIT

run_one() {
  local name=$1
  rm -f out.bin
  sync
  case $name in
    cat) /usr/bin/time -f "$name %e %U %S %M" sh -c 'cat "$@" > out.bin' sh "${SOURCES[@]}" ;;
    slow | normal | fast | ufast)
      /usr/bin/time -f "$name %e %U %S %M" "$PACK" --no-mpeg-check --rate "$name" -o out.bin "${SOURCES[@]}" \
        2> >(grep -v 'successfully packed' >&2) ;;
    *)
      IFS=: read -r method block offset <<< "$name"
      /usr/bin/time -f "$name %e %U %S %M" "$BLOCKCOPY_BIN" "$method" "$block" "$offset" out.bin "${SOURCES[@]}" \
        > /dev/null ;;
  esac
}

count=${#NAMES[@]}
for ((round = 0; round < ROUNDS; round++)); do
  # Each round starts with another contender, so no one always runs first.
  for ((i = 0; i < count; i++)); do
    run_one "${NAMES[(i + round) % count]}" 2>> "$RESULTS"
  done
done
# The last output must be exactly cat's bytes.
"$PACK" --no-mpeg-check -o out.bin --force "${SOURCES[@]}" 2> /dev/null
cmp out.bin <(cat "${SOURCES[@]}") && echo "klivatarn-pack output identical to cat's"

echo "sources: ${SOURCES[*]} ($(du -ch "${SOURCES[@]}" | tail -1 | cut -f1)), $ROUNDS rounds, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
awk '
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  NF == 5 && $2 ~ /^[0-9.]+$/ {
    if (!($1 in wall)) order[++count] = $1
    wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " ($3 + $4)
    if ($5 > rss[$1]) rss[$1] = $5
  }
  END {
    base = median(wall["cat"]); cbase = median(cpu["cat"])
    printf "%-18s %9s %9s %10s %11s %10s\n", "contender", "wall (s)", "cpu (s)", "wall/cat", "cpu/cat", "peak MiB"
    for (i = 1; i <= count; i++) {
      k = order[i]; w = median(wall[k]); c = median(cpu[k])
      printf "%-18s %9.3f %9.3f %10.2f %11.2f %10.1f\n", k, w, c, w / base, (cbase > 0 ? c / cbase : 0), rss[k] / 1024
    }
  }' "$RESULTS"
