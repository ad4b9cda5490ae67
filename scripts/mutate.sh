#!/usr/bin/env bash
# Puts hand-made faults into the code one at a time and tells whether the
# tests catch each: apply one text change, rebuild, run the tests that cover
# the file, restore.
#
#   bash scripts/mutate.sh [mutations file]     (default: scripts/mutations.txt)
#
# Each line of the mutations file: file @@ text to find @@ text to put instead
# @@ ctest regular expression of the tests to run @@ what the fault is. The
# text must occur exactly once in the file, and the expression must name at
# least one test; a row that no longer does counts as a failure, as a missed
# fault does. Lines starting with # are skipped. Exits 1 unless every fault
# is caught. Needs a configured build/default (bash scripts/dev.sh test makes
# one, with python3).
set -uo pipefail
cd "$(dirname "$0")/.."
list=${1:-scripts/mutations.txt}
caught=0 failed=0 file=""
# Ctrl-C or a kill mid-row puts the file back as it was.
restore() { [ -n "$file" ] && [ -f "$file.unmutated" ] && mv "$file.unmutated" "$file" && touch "$file"; }
trap 'restore; exit 130' INT TERM
while IFS= read -r line; do
  [[ -z "${line// }" || "$line" == \#* ]] && continue
  file=${line%% @@ *} rest=${line#* @@ }
  find=${rest%% @@ *} rest=${rest#* @@ }
  put=${rest%% @@ *} rest=${rest#* @@ }
  tests=${rest%% @@ *} what=${rest#* @@ }
  cp "$file" "$file.unmutated"
  if ! python3 - "$file" "$find" "$put" <<'PY'
import sys
path, find, put = sys.argv[1:4]
text = open(path).read()
if text.count(find) != 1:
    sys.exit(f"'{find}' occurs {text.count(find)} times in {path}")
open(path, "w").write(text.replace(find, put))
PY
  then
    echo "STALE (the text no longer matches):$what"; rm -f "$file.unmutated"; failed=$((failed + 1)); continue
  fi
  if [ "$(ctest --preset default -N -R "$tests" | grep -c 'Test *#')" -eq 0 ]; then
    echo "STALE (no test matches $tests):$what"; restore; failed=$((failed + 1)); continue
  fi
  if ! cmake --build --preset default >/dev/null 2>&1; then
    result="BROKEN (does not build; not counted)"
  elif ctest --preset default -R "$tests" -j2 >/dev/null 2>&1; then
    result="MISSED"
  else
    result="CAUGHT"
  fi
  mv "$file.unmutated" "$file" && touch "$file" # newer than what the fault built
  case $result in MISSED) failed=$((failed + 1)) ;; CAUGHT) caught=$((caught + 1)) ;; esac
  echo "$result:$what  [$file; $tests]"
done <"$list"
file=""
cmake --build --preset default >/dev/null 2>&1
echo "caught $caught of $((caught + failed)) (missed or stale: $failed)"
[ "$failed" -eq 0 ]
