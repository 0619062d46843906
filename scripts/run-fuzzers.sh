#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time and fails on any crash,
# leak or timeout.
#
#   scripts/run-fuzzers.sh BUILD_DIR [SECONDS_PER_FUZZER]
#
# Each fuzzer starts from a corpus of its seeds (fuzz/seeds/<fuzzer>/, which
# also keeps every input that once failed, plus
# the example and test files for the document fuzzers) and keeps what it
# finds in BUILD_DIR/corpus/<fuzzer>; crashing inputs land in
# BUILD_DIR/artifacts/.
set -euo pipefail

build=${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
dictionary="$root/fuzz/dictionaries/zvxml.dict"
mkdir -p "$build/artifacts"

seed() {
  local name=$1 corpus=$2
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/seeds/$name" ]; then
    cp -n "$root/fuzz/seeds/$name"/* "$corpus"/ 2>/dev/null || true
  fi
  case "$name" in
    schema_file_fuzzer)
      find "$root/examples" "$root/tests/schemaxml/data" -name '*.zvschema.xml' -exec cp -n {} "$corpus"/ \; ;;
    instance_document_fuzzer)
      find "$root/examples" "$root/tests/instancexml/data" -name "*.xml" -not -name "*.zvschema.xml" \
        -exec cp -n {} "$corpus"/ \; ;;
  esac
}

failed=()
for fuzzer in "$build"/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  seed "$name" "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -print_final_stats=1
           -artifact_prefix="$build/artifacts/$name-")
  case "$name" in
    schema_file_fuzzer|instance_document_fuzzer) options+=(-dict="$dictionary") ;;
  esac
  echo "== $name for ${seconds}s =="
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
       "$fuzzer" "${options[@]}" "$corpus" > "$build/$name.log" 2>&1; then
    tail -40 "$build/$name.log"
    failed+=("$name")
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$name.log" | tr '\n' ' '
    echo
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzers that failed: ${failed[*]} (inputs in $build/artifacts/)"
  exit 1
fi
