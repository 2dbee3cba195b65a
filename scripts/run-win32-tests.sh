#!/usr/bin/env bash
# Runs the cross-compiled tests and the end-to-end scripts under Wine + Xvfb.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start
status=0
for exe in build/win32/tests/*_tests.exe; do
  [ -e "$exe" ] || continue
  echo "--- $(basename "$exe")"
  timeout 900 wine "$exe" --gtest_brief=1 || status=1
done
for t in tests/e2e/*.sh; do
  [ -e "$t" ] || continue
  echo "--- $(basename "$t")"
  timeout 600 bash "$t" || status=1
done
exit $status
