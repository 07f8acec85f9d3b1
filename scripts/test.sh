#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test
# (the tests start their own private MariaDB, three-node Galera cluster and
# CUPS queue), then runs the tests again, but for the cluster's, in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-test}"
"$root/scripts/install-deps.sh"
# The consultants' locale for the whole run (each test also sets it itself;
# install-deps.sh generated it).
export LC_ALL=nl_NL.UTF-8 LANG=nl_NL.UTF-8

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDL_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-D_GLIBCXX_ASSERTIONS -DQT_FORCE_ASSERTS"
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure --timeout 900

if [[ "${DL_SKIP_SANITIZERS:-0}" != 1 ]]; then
  asan="$build-asan"
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDL_SANITIZE=ON
  cmake --build "$asan" -j2
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$asan" -j2 --output-on-failure --timeout 900 -LE cluster
fi
