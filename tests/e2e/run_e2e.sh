#!/bin/sh
# Maps a fresh medium folder to drive D: of the test prefix, then runs the
# end-to-end tests: they start the real build/installer.exe from D:\setup.
# Run by ctest inside scripts/test (after wine_env_start); the argument is
# the Windows build folder.
set -e
build=$1
shift
: "${WINEPREFIX:?run through scripts/test, or after wine_env_start}"
medium="$build/e2e-medium"
rm -rf "$medium"
mkdir -p "$medium/setup"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"
cd "$build/results"
exec wine "$build/test_e2e.exe" --gtest_output=xml:test_e2e.xml "$@"
