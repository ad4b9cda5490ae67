#!/usr/bin/env bash
# Runs every benchmark of a build made with -DVELLOMAR_BUILD_BENCH=ON and
# prints one table, then the targets with the numbers measured.
#
#   bench/run.sh build/default [Google Benchmark options, e.g. --benchmark_filter=Gather]
set -euo pipefail
build=${1:?usage: bench/run.sh <build-dir> [benchmark options]}
shift
program="$build/bench-bin/vellomar_bench"
if [ ! -x "$program" ]; then
  echo "no $program: configure with -DVELLOMAR_BUILD_BENCH=ON and build first" >&2
  exit 1
fi
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(date -u '+%Y-%m-%d %H:%M UTC')"
exec "$program" "$@"
