#!/usr/bin/env bash
# Maps a fresh medium folder to drive D: of the test prefix, then runs the
# end-to-end tests: they start the real build/installer.exe from D:\setup.
# The medium starts as a copy of the sample medium with this build's own
# program, test game and stand-in DirectX setup on it (the sample holds the
# first tested build's); sample/ keeps an untouched copy for tests that
# restore the sample's control files. Tests that run from a disc image
# master the medium laid out on D: and mount it through cd_drive.sh; when
# images cannot be mounted here, E2E_CD_UNAVAILABLE tells them why and they
# are skipped. Run by ctest inside scripts/test (after wine_env_start):
#
#   run_e2e.sh BUILD_TREE NAME [GTEST_ARGUMENTS]
#
# NAME names the report (results/NAME.xml) and the run's work folder
# (e2e-work/NAME), where its media and discs lie: runs that take shares of
# the tests (GTEST_SHARD_INDEX) side by side, each in a Wine slot of its
# own, share nothing but the build.
set -e
build=$1
name=$2
shift 2
: "${WINEPREFIX:?run through scripts/test, or after wine_env_start}"
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/wine-env.sh"
wine_enter_slot
. "$root/scripts/lib/cd-drive.sh"
work="$build/e2e-work/$name"
medium="$work/medium"
sample="$work/sample"
# Discs a run that died left in the drive come out before anything is removed.
mkdir -p "$work"
cd_unmount_stale "$root" "$work"
rm -rf "$work"
mkdir -p "$sample" "$work/cd"
cp -r "$root/sample/medium/." "$sample/"
cp "$build/../installer.exe" "$sample/setup/installer.exe"
cp "$build/testgame.exe" "$sample/setup/game/testgame.exe"
cp "$build/dxsetup.exe" "$sample/DirectX/dxsetup.exe"
cp -r "$sample" "$medium"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"
# A relaunch test makes the temporary copy immutable and undoes it itself;
# undone here too, should a run have been killed in between.
chattr -i "$WINEPREFIX/drive_c/windows/temp/installer.exe" 2>/dev/null || true
export E2E_FOLDER_MEDIUM="$medium" E2E_WORK
E2E_WORK=$(wine_unix_to_dos "$work")
if cd_drive_usable "$root"; then
  unset E2E_CD_UNAVAILABLE
else
  export E2E_CD_UNAVAILABLE="$CD_DRIVE_REASON"
  echo "run_e2e: the disc image tests are skipped: $CD_DRIVE_REASON"
fi
trap 'cd_unmount_stale "$root" "$work"; ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"' EXIT
cd "$build/results"
wine_run "$build/test_e2e.exe" --gtest_output=xml:"$name.xml" "$@"
