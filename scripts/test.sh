#!/usr/bin/env bash
# Installs what is needed, builds with warnings as errors, and runs every test;
# then builds the tests labelled "sanitized" (core libraries, main window, help)
# with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# Core code never draws a window: no source outside a ui/ folder, app/,
# tests/, tools/ and bench/ includes a ui/ header or a Qt Widgets header.
widgets="$(qtpaths6 --query QT_INSTALL_HEADERS)/QtWidgets"
patterns=$(mktemp)
trap 'rm -f "$patterns"' EXIT
{ printf '%s\n' '/ui/' '"ui/' '<QtWidgets'; ls "$widgets" | sed 's/.*/<&>/'; } >"$patterns"
mapfile -t core < <(git ls-files '*.cpp' '*.h' | grep -Ev '(^|/)ui/|^(app|tests|tools|bench)/')
if grep -n '^[[:space:]]*#[[:space:]]*include' "${core[@]}" | grep -F -f "$patterns"; then
  echo "core sources above include window code" >&2
  exit 1
fi

# The repository's formatting (cmake --build build --target format applies it).
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVESTRIN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
bash scripts/package-check.sh build

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKALVESTRIN_SANITIZE=ON -DKALVESTRIN_BENCHMARKS=OFF \
      -DKALVESTRIN_WERROR=ON >/dev/null
sanitized=$(ctest --test-dir build -L sanitized -N | sed -n 's/^ *Test *#[0-9]*: *//p')
# shellcheck disable=SC2086
cmake --build build-asan -j"$jobs" --target $sanitized
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -L sanitized
