#!/usr/bin/env bash
# Settings files of another version, with a stray "Dum.ini", unchanged
# files with saving off, and nonsense in every numeric key.
set -u
source "$(dirname "$0")/../editor/e2e_lib.sh"

# Another version: the editor starts from its defaults; "Dum.ini" is not read.
printf '%s\r\n' '[Version]' 'Version=Other' '[Size0]' 'xDotMap=64' >"$DW_INI"
printf '%s\r\n' '[Size0]' 'xDotMap=99' >"$DW_WINDIR/Dum.ini"
dw_start || dw_finish
dw_close; code=$?
dw_expect "exit code (other version)" 0 "$code"
dw_expect "xDotMap back to its default" 32 "$(ini_get Size0 xDotMap)"
dw_expect "version now current" "Color Dotwerk Editor  5.3.61" "$(ini_get Version Version)"
rm -f "$DW_WINDIR/Dum.ini"
cp "$DW_INI" "$DW_ARTIFACTS/dotwerk_full.ini"

# Saving switched off: the file is left exactly as it was.
printf '%s\r\n' '[Version]' 'Version=Color Dotwerk Editor  5.3.61' '[Menu]' 'SaveSettings=0' \
  '[Size0]' 'xDotMap=48' >"$DW_INI"
cp "$DW_INI" "$DW_ARTIFACTS/dotwerk_nosave.before.ini"
dw_start || dw_finish
dw_close; code=$?
dw_expect "exit code (saving off)" 0 "$code"
if cmp -s "$DW_INI" "$DW_ARTIFACTS/dotwerk_nosave.before.ini"; then dw_ok "file unchanged"; else dw_fail "file changed"; fi

# Zeros, negatives and huge numbers in every numeric key of a full file
# (saving stays on, so the run writes every key back).
i=0
awk -v seed=7 'BEGIN { split("0 -5 2147483647 99999999999 -2147483648 1", v, " ") }
  { sub(/\r$/, "") }
  /^\[Version\]/ || /^Version=/ || /^SaveSettings=/ { print; next }
  /^[^[].*=-?[0-9]+$/ { n++; k = index($0, "="); print substr($0, 1, k) v[(n % 6) + 1]; next }
  { print }' "$DW_ARTIFACTS/dotwerk_full.ini" | sed 's/$/\r/' >"$DW_INI"
cp "$DW_INI" "$DW_ARTIFACTS/dotwerk_nonsense.ini"
dw_start || dw_finish
dw_shot dotwerk_badini_nonsense
dw_expect "main window visible" 1 "$(drv_get visible info ColorDotwerkEditor)"
dw_close; code=$?
dw_expect "exit code (nonsense)" 0 "$code"
cp "$DW_INI" "$DW_ARTIFACTS/dotwerk_nonsense.after.ini"
result=$(wine "$DW_INICHECK" "$(winepath -w "$DW_INI" 2>/dev/null)" 2>/dev/null | tr -d '\r')
echo "$result" | grep -v '^checked\|^bad' | head -20
dw_expect "values out of range after the run" "bad=0" "$(echo "$result" | grep '^bad=')"
dw_finish
