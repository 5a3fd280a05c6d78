#!/usr/bin/env bash
# The demo's journey as a test: the sample medium, mastered and mounted as
# the CD-ROM drive D: (or the folder where FUSE is missing), installed from,
# run and uninstalled by the UI robot inside a Wine virtual desktop, as
# scripts/demo plays it, with a payload just big enough to be a copy. Lean:
# no pictures but the one of the screen when a step fails, which the failure
# names with Wine's output. Run by ctest inside scripts/test (after
# wine_env_start); the argument is the Windows build's tree. Reports one case
# in results/demo_journey.xml.
set -euo pipefail
build=$1
: "${WINEPREFIX:?run through scripts/test, or after wine_env_start}"
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/wine-env.sh"
wine_enter_slot
. "$root/scripts/lib/cd-drive.sh"
. "$root/scripts/lib/demo-journey.sh"
results="$build/results"
mkdir -p "$results"
report="$results/demo_journey.xml"
failed_png="$results/demo-journey-failed.png"
wine_log="$results/demo-journey-wine.log"
DEMO_FAILURE_FILE="$results/demo-journey-failure.txt"
rm -f "$report" "$DEMO_FAILURE_FILE"
started=$SECONDS

# One case, passed or failed with the journey's failure line.
write_report() {
  local status=$1 failure=""
  if [ "$status" -ne 0 ]; then
    [ -s "$DEMO_FAILURE_FILE" ] || echo "demo_journey: the set-up before the journey failed (exit $status)" >"$DEMO_FAILURE_FILE"
    failure="<failure message=\"$(sed 's/&/\&amp;/g; s/</\&lt;/g; s/"/\&quot;/g' "$DEMO_FAILURE_FILE" | tr '\n' ' ')\"/>"
  fi
  cat >"$report" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="1" failures="$([ "$status" -eq 0 ] && echo 0 || echo 1)" name="demo_journey">
  <testsuite name="DemoJourney" tests="1" failures="$([ "$status" -eq 0 ] && echo 0 || echo 1)">
    <testcase name="FromTheDiscInAWineDesktopAsTheDemoPlaysIt" status="run" result="completed" time="$((SECONDS - started))" classname="DemoJourney">$failure</testcase>
  </testsuite>
</testsuites>
EOF
}

medium="$build/demo-journey-medium"
image="$build/demo-journey.iso"
d_before=$(readlink "$WINEPREFIX/dosdevices/d:" || true)
finish() {
  local status=$?
  cd "$root"
  cd_unmount "$(cd_mount_point "$image")"
  ln -sfn "$d_before" "$WINEPREFIX/dosdevices/d:"
  if [ "${DEMO_PROGRAMS_MADE:-0}" = 1 ]; then
    wine_run reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
      /v Programs /f >/dev/null 2>&1 || true
  fi
  write_report "$status"
  [ "$status" -eq 0 ] && echo "demo_journey: passed in $((SECONDS - started)) s"
  exit "$status"
}
trap finish EXIT

run_journey() {
  # The sample medium with this build's programs (the sample holds the first
  # tested build's) and 8 files of 256 KiB.
  demo_medium "$root" "$medium" 8 256
  cp "$build/../installer.exe" "$medium/setup/installer.exe"
  cp "$build/testgame.exe" "$medium/setup/game/testgame.exe"
  cp "$build/dxsetup.exe" "$medium/DirectX/dxsetup.exe"
  cd_unmount_stale "$root"
  if cd_drive_usable "$root"; then
    "$root/scripts/master-medium" "$medium/setup" "$image" >/dev/null
    cd_drive_insert "$image"
    cd "$(cd_mount_point "$image")/setup"
  else
    echo "demo_journey: $CD_DRIVE_REASON; the program runs from the medium's folder instead"
    ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"
    cd "$medium/setup"
  fi
  demo_clean_start
  DEMO_NAME=demo_journey
  demo_journey "" "$failed_png" "$wine_log" 1
}
run_journey
