#!/usr/bin/env bash
# Maps a fresh medium folder to drive D: of the test prefix, then runs the
# end-to-end tests: they start the real build/installer.exe from D:\setup.
# The medium starts as a copy of the sample medium (with the built test game
# and stand-in DirectX setup); e2e-sample keeps an untouched copy for tests
# that restore the sample's control files. Run by ctest inside scripts/test
# (after wine_env_start); the argument is the Windows build's tree.
set -e
build=$1
shift
: "${WINEPREFIX:?run through scripts/test, or after wine_env_start}"
root=$(cd "$(dirname "$0")/../.." && pwd)
medium="$build/e2e-medium"
sample="$build/e2e-sample"
rm -rf "$medium" "$sample"
mkdir -p "$sample"
cp -r "$root/sample/medium/." "$sample/"
cp "$build/testgame.exe" "$sample/setup/game/testgame.exe"
mkdir -p "$sample/DirectX"
cp "$build/dxsetup.exe" "$sample/DirectX/dxsetup.exe"
cp -r "$sample" "$medium"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"
# A relaunch test makes the temporary copy immutable and undoes it itself;
# undone here too, should a run have been killed in between.
chattr -i "$WINEPREFIX/drive_c/windows/temp/installer.exe" 2>/dev/null || true
cd "$build/results"
. "$root/scripts/lib/wine-env.sh"
wine_run "$build/test_e2e.exe" --gtest_output=xml:test_e2e.xml "$@"
