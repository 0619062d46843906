#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time and fails on any crash,
# leak or timeout.
#
#   scripts/run-fuzzers.sh BUILD_DIR [SECONDS_PER_FUZZER]
#
# Each fuzzer starts from a corpus of its seeds (fuzz/seeds/<fuzzer>/, which
# also keeps every input that once failed; the document fuzzers also take the
# schema files or instance documents of the examples and the tests) and keeps
# what it finds in BUILD_DIR/corpus/<fuzzer>; crashing inputs land in
# BUILD_DIR/artifacts/. A seed folder that is missing or holds no seed fails
# the run, so a lost folder cannot silently weaken the fuzzing.
set -euo pipefail

build=${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
dictionary="$root/fuzz/dictionaries/zvxml.dict"
mkdir -p "$build/artifacts"

# Copies the files named PATTERN below FOLDER (relative to the repository)
# into CORPUS, each under a name made of its path, so that files of one name
# in different folders are all kept.
seed_from() {
  local corpus=$1 folder=$2 pattern=$3 found=0 file relative
  if [ ! -d "$root/$folder" ]; then
    echo "run-fuzzers.sh: seed folder $folder is missing" >&2
    exit 1
  fi
  while IFS= read -r -d '' file; do
    relative=${file#"$root"/}
    cp -n "$file" "$corpus/seed-${relative//\//-}"
    found=$((found + 1))
  done < <(find "$root/$folder" -type f -name "$pattern" -print0)
  if [ "$found" -eq 0 ]; then
    echo "run-fuzzers.sh: no seed ($pattern) in $folder" >&2
    exit 1
  fi
}

seed() {
  local name=$1 corpus=$2 folder
  mkdir -p "$corpus"
  seed_from "$corpus" "fuzz/seeds/$name" '*'
  case "$name" in
    schema_file_fuzzer)
      for folder in examples/schemas tests/schemaxml/data tests/tools/data; do
        seed_from "$corpus" "$folder" '*.zvschema.xml'
      done ;;
    instance_document_fuzzer|instance_round_trip_fuzzer)
      for folder in examples/instances tests/tools/data; do
        seed_from "$corpus" "$folder" '*.zvinstance.xml'
      done ;;
  esac
}

# Every fuzzer with seeds must have been built; one built without seeds
# fails in seed().
for folder in "$root"/fuzz/seeds/*/; do
  name=$(basename "$folder")
  if [ ! -x "$build/fuzz/$name" ]; then
    echo "run-fuzzers.sh: $name was not built in $build/fuzz" >&2
    exit 1
  fi
done

failed=()
shopt -s nullglob
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  seed "$name" "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -print_final_stats=1
           -artifact_prefix="$build/artifacts/$name-")
  case "$name" in
    schema_file_fuzzer|instance_document_fuzzer|instance_round_trip_fuzzer) options+=(-dict="$dictionary") ;;
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
