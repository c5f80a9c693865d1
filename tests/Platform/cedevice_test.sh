#!/usr/bin/env bash
# cedevice from the shell: init, reg set/get/list, ls, run, log, clock and notify, and the exit codes of bad
# input.
# Arguments: the cedevice binary and a device program to run.
set -u
cedevice=$1
program=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/device

source "$(dirname "$0")/../support/checks.sh"

"$cedevice" init "$root" --kind smartphone --screen 200x300 >/dev/null || fail "init"
grep -q 'kind *= *smartphone' "$root/device.ini" || fail "profile has no kind"
grep -q 'screen_width *= *200' "$root/device.ini" || fail "profile has no screen width"
[ -f "$root/registry.db" ] || fail "no registry"

# The messaging program stand-in is linked into \Windows; it records what it was handed.
[ "$("$cedevice" run "$root" '\Windows\tmail.exe' '-service "SMS" -body "Hi \"you\" \o/"')" = 0 ] || fail "tmail"
grep -qF '"service":"SMS","body":"Hi \"you\" \\o/"' "$root/log/messages.jsonl" || fail "tmail's record"
[ "$("$cedevice" run "$root" '\Windows\tmail.exe' '-body "no service"')" = 2 ] || fail "tmail took a bad line"
grep -q '"error"' "$root/log/messages.jsonl" || fail "tmail did not say what was wrong"
rm "$root/log/messages.jsonl"

listing=$("$cedevice" ls "$root" '\')
expected=$(printf '%s\n' 'Application Data\' 'My Documents\' 'Program Files\' 'Temp\' 'Windows\')
[ "$listing" = "$expected" ] || fail "ls of a new device: $listing"

"$cedevice" reg "$root" set 'HKCU\Software\Vane\Skyvane' Interval dword 0x2A || fail "set dword"
"$cedevice" reg "$root" set 'HKCU\Software\Vane\Skyvane' City sz 'Zürich, CH' || fail "set sz"
"$cedevice" reg "$root" set 'HKCU\Software\Vane\Skyvane' Key binary 00ff7e || fail "set binary"
[ "$("$cedevice" reg "$root" get 'hkcu\SOFTWARE\vane\skyvane' interval)" = 42 ] || fail "get dword"
[ "$("$cedevice" reg "$root" get 'HKCU\Software\Vane\Skyvane' City)" = 'Zürich, CH' ] || fail "get sz"
[ "$("$cedevice" reg "$root" get 'HKCU\Software\Vane\Skyvane' Key)" = 00ff7e ] || fail "get binary"
listing=$("$cedevice" reg "$root" list 'HKCU\Software')
[ "$listing" = 'Vane\' ] || fail "list of subkeys: $listing"
listing=$("$cedevice" reg "$root" list 'HKCU\Software\Vane\Skyvane')
expected=$(printf '%s\t%s\t%s\n' Interval dword 42 City sz 'Zürich, CH' Key binary 00ff7e)
[ "$listing" = "$expected" ] || fail "list of values: $listing"

mkdir -p "$root/fs/Windows" && ln -s "$program" "$root/fs/Windows/test.exe"
[ "$("$cedevice" run "$root" '\WINDOWS\Test.EXE' exit 5)" = 5 ] || fail "run gave no exit code 5"
listing=$("$cedevice" ls "$root" '\windows')
[ "${listing%%$'\t'*}" = test.exe ] || fail "ls of a folder: $listing"

printf '%s\n' '{"program":"\\Windows\\tmail.exe"}' >"$root/log/programs.jsonl"
[ "$("$cedevice" log "$root")" = 'programs: {"program":"\\Windows\\tmail.exe"}' ] || fail "log"
[ "$("$cedevice" log "$root" programs)" = '{"program":"\\Windows\\tmail.exe"}' ] || fail "log by name"

[ "$("$cedevice" clock "$root" set 2026-03-02T10:00:00Z)" = '2026-03-02T10:00:00Z virtual' ] || fail "clock set"
[ "$("$cedevice" clock "$root" advance 90m)" = '2026-03-02T11:30:00Z virtual' ] || fail "clock advance"
[ "$("$cedevice" clock "$root")" = '2026-03-02T11:30:00Z virtual' ] || fail "clock shared by the device's processes"
[ -z "$("$cedevice" notify "$root")" ] || fail "a new device has notifications"
"$cedevice" clock "$root" real | grep -q ' real$' || fail "clock back to real"

expect_code 2 "$cedevice"
expect_code 2 "$cedevice" clock "$root" set 2026-13-02T10:00
expect_code 2 "$cedevice" clock "$root" advance 5x
expect_code 1 "$cedevice" clock "$root" advance 5m
expect_code 2 "$cedevice" notify "$root" extra
expect_code 2 "$cedevice" frobnicate "$root"
expect_code 2 "$cedevice" init "$scratch/other" --kind tablet
expect_code 2 "$cedevice" init "$scratch/other" --screen 0x10
expect_code 1 "$cedevice" init "$root"
expect_code 3 "$cedevice" ls "$scratch/missing" '\'
expect_code 3 "$cedevice" reg "$scratch/missing" get 'HKLM\Software'
expect_code 4 "$cedevice" ls "$root" '\Nowhere'
expect_code 4 "$cedevice" ls "$root" '\..\..'
expect_code 4 "$cedevice" run "$root" '\Windows\none.exe'
expect_code 2 "$cedevice" reg "$root" set 'HKCU\Software' N dword 99999999999
expect_code 2 "$cedevice" reg "$root" set 'HKCU\Software' N binary abc
expect_code 2 "$cedevice" reg "$root" get 'HKXX\Software'
expect_code 1 "$cedevice" reg "$root" get 'HKCU\Software\Missing'
expect_code 1 "$cedevice" reg "$root" get 'HKCU\Software\Vane\Skyvane' Missing
[ ! -e "$scratch/other" ] || fail "a refused init left a folder behind"
echo "cedevice: all checks passed"
