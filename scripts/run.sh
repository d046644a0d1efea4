#!/usr/bin/env bash
# Builds the program and computes a constant: by default 1000 hexadecimal
# digits of pi by Machin's formula. Any arguments replace that request.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target vexo_x86_64
if [ $# -eq 0 ]; then set -- 1000 pi 16 2; fi
exec build/vexo_x86_64 "$@"
