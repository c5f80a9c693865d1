#!/usr/bin/env bash
# cedevice install from the shell: a fresh device gets the built program and its data, the program sees them
# through the platform's files, modules and registry, a second install refreshes the links and keeps what the
# program wrote, and bad input changes nothing.
# Arguments: the cedevice binary, the build folder and a device program that checks the installation.
set -u
cedevice=$1
build=$2
probe=$(realpath "$3")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/device
app="$root/fs/Program Files/Skyvane"

source "$(dirname "$0")/../support/checks.sh"

# probe FILE...: the installed files as the program reads them; prints the probe's exit code.
probe() {
    "$cedevice" run "$root" '\Windows\probe.exe' "$@"
}

expect_code 3 "$cedevice" install "$scratch/missing"
"$cedevice" init "$root" --kind smartphone >/dev/null || fail "init"
mkdir -p "$root/fs/Windows" && ln -s "$probe" "$root/fs/Windows/probe.exe"
[ "$(probe)" = 2 ] || fail "a device without the program has an install folder"

expect_code 2 "$cedevice" install "$root" --build
expect_code 2 "$cedevice" install "$root" --frobnicate
expect_code 1 "$cedevice" install "$root" --build "$scratch"
[ ! -e "$app" ] || fail "a refused install left files behind"

"$cedevice" install "$root" >"$scratch/out" || fail "install into a new device"
grep -q '^installed [0-9]* files' "$scratch/out" || fail "install does not say what it did: $(cat "$scratch/out")"
[ "$("$cedevice" reg "$root" get 'HKLM\SOFTWARE\Apps\Quillon Software Skyvane' InstallDir)" = '\Program Files\Skyvane' ] ||
    fail "install folder not in the registry"
for name in Pictorra.dll CityDB.dat MapDB.dat Loc/loc.txt Loc/loc.0409.txt Loc/loc.0407.txt; do
    [ -L "$app/$name" ] || fail "$name is not linked"
done
[ "$(ls "$app/Loc")" = "$(cd "$build/data/Loc" && ls ./*.txt | cut -c3-)" ] || fail "Loc holds other than the language files"
[ -d "$app" ] && [ ! -L "$app" ] && [ -d "$app/Loc" ] && [ ! -L "$app/Loc" ] ||
    fail "install folders are links: the program would write into the build"
[ "$(probe Pictorra.dll CityDB.dat MapDB.dat 'Loc\loc.0409.txt' 'LOC\LOC.0407.TXT')" = 0 ] ||
    fail "installed files do not resolve for the program"
for name in Skyvane.exe Dawnlet.dll Lanternet.dll; do
    if grep -q "^$name=." "$build/device-install.txt" && [ -e "$(sed -n "s/^$name=//p" "$build/device-install.txt")" ]; then
        [ "$(probe "$name")" = 0 ] || fail "$name built but not installed"
        if [ "$name" != Skyvane.exe ]; then
            [ -L "$root/fs/Windows/$name" ] || fail "$name is not in \\Windows, where the start screen loads it"
        fi
    else
        grep -q "not built yet: $name" "$scratch/out" || fail "install is silent about the missing $name"
    fi
done
for pak in "$build"/data/Data/*.pak; do
    [ -e "$pak" ] || continue
    [ "$(probe "Data\\$(basename "$pak")")" = 0 ] || fail "$(basename "$pak") not installed"
done
if [ -f "$build/data/Data/rasterize.xml" ]; then
    [ -f "$app/Data/rasterize.xml" ] && [ ! -L "$app/Data/rasterize.xml" ] ||
        fail "rasterize.xml is deleted after use: it must be the device's own copy"
fi
for template in "$build"/data/HomeXML/*.xml; do
    [ -e "$template" ] || continue
    copy="$root/fs/Temp/HomeXML/$(basename "$template")"
    [ -f "$copy" ] && [ ! -L "$copy" ] && cmp -s "$template" "$copy" || fail "$(basename "$template") not copied"
done

# What the program wrote stays; links that point elsewhere are put right.
printf 'cities' >"$app/Cities.dat"
mkdir -p "$app/Cache" && printf 'forecast' >"$app/Cache/XXXX0001.xml"
rm "$app/MapDB.dat" && ln -s /nowhere "$app/MapDB.dat"
"$cedevice" install "$root" --build "$build" >/dev/null || fail "second install"
[ "$(cat "$app/Cities.dat")" = cities ] && [ "$(cat "$app/Cache/XXXX0001.xml")" = forecast ] ||
    fail "a second install lost what the program wrote"
[ "$(probe MapDB.dat Pictorra.dll)" = 0 ] || fail "a second install did not refresh a link"
[ -z "$(find "$app" -name '*.tmp')" ] || fail "install left temporary files"
echo "cedevice install: all checks passed"
