#!/usr/bin/env bash
# Runs the cross-compiled tests and the end-to-end scripts under Wine + Xvfb.
# Arguments are passed to every test executable (e.g. --gtest_filter=...).
# WIN32_BUILD (default build/win32, or build/win64 where Wine cannot run
# 32-bit code: see scripts/wine-arch.sh) and HOST_BUILD (default build/host, for
# rxsim) choose the build directories; RUN_DIR the scratch directory.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh
trap wine_env_stop EXIT
# A signal must end the run through the same cleanup, with a failing status.
trap 'exit 130' INT TERM HUP
wine_env_start || exit 1
status=0
ran=0
for exe in "$WIN32_BUILD"/tests/*_tests.exe; do
  [ -e "$exe" ] || continue
  ran=1
  echo "--- $(basename "$exe")"
  timeout -k 10 900 wine "$exe" --gtest_brief=1 "$@" || status=1
done
[ "$ran" -eq 1 ] || { echo "no test executables in $WIN32_BUILD/tests"; status=1; }
for t in tests/e2e/*.sh; do
  [ -e "$t" ] || continue
  echo "--- $(basename "$t")"
  timeout -k 10 600 bash "$t" || status=1
done
exit $status
