#!/usr/bin/env bash
# Configures and builds the fuzz harnesses with clang in their own folder:
# scripts/build-fuzz.sh [DIR] (default build-fuzz/); harnesses in DIR/bin/fuzz_*.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$here/build-fuzz}
"$here/scripts/build.sh" "$dir" -DKAVREL_FUZZ=ON -DKAVREL_WERROR=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14
