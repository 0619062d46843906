#!/usr/bin/env bash
# Installs the Debian packages the build needs, and nothing when all are there.
#
#   scripts/install-deps.sh            build and test dependencies
#   scripts/install-deps.sh fuzz       ... plus clang and its sanitizer runtime
#   scripts/install-deps.sh docs       ... plus doxygen
#   scripts/install-deps.sh format     ... plus clang-format
#   scripts/install-deps.sh bench      ... plus the parsers the benchmarks compare with
#
# Silent and unchanging when everything is present. Installing needs root (or
# sudo); "apt-get update" runs first, only when something must be installed.
set -euo pipefail

packages=(g++ cmake make pkg-config libxml2-dev uuid-dev libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libxml2-utils)
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    docs) packages+=(doxygen) ;;
    format) packages+=(clang-format) ;;
    tsan) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(libexpat1-dev libpugixml-dev) ;;
    *) echo "install-deps.sh: unknown group '$extra' (known: fuzz, docs, format, tsan, bench)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "installed" ]; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps.sh: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
