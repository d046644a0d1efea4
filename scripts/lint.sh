#!/usr/bin/env bash
# Static checks: the code follows .clang-format, and clang-tidy (bugprone,
# performance and portability checks) and cppcheck find nothing in the
# library and the calculator.
#   scripts/lint.sh          check
#   scripts/lint.sh --fix    reformat the sources in place first
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh lint
build=${LINT_BUILD:-build-lint}

mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
fi
echo "== clang-format"
clang-format --dry-run --Werror "${sources[@]}"

echo "== clang-tidy"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF >/dev/null
mapfile -t product < <(git ls-files 'src/*.cpp')
clang-tidy -p "$build" --quiet --warnings-as-errors='*' \
  --checks='-*,bugprone-*,performance-*,portability-*,-bugprone-easily-swappable-parameters' \
  "${product[@]}" 2> >(grep -v 'warnings generated' >&2)

echo "== cppcheck"
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --std=c++20 \
  --inline-suppr -I include -I src/common -I src/lfx86_64 -I src/vexo_x86_64 src
echo "lint: clean"
