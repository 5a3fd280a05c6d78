#!/usr/bin/env bash
# The end-to-end tests' CD-ROM drive, worked by a test program under Wine.
# Wine starts a Unix program for CreateProcess but hands back no process to
# wait for, so the outcome goes to a reply file, written whole when done:
# "ok", or "failed" and what went wrong.
#
#   cd_drive.sh REPLY master MEDIUM_DIR IMAGE [DISC_DIR IMAGE]...
#       scripts/master-medium, the publisher's command
#   cd_drive.sh REPLY insert IMAGE
#       takes the disc in D: out and puts IMAGE in
#   cd_drive.sh REPLY eject
#       takes the disc out; D: is the folder medium again (E2E_FOLDER_MEDIUM)
#
# Paths may be Windows paths of the prefix's drives (Z:\..., D:\...).
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/cd-drive.sh"

unix_path() {
  case $1 in
    [A-Za-z]:\\*)
      local letter drive rest
      letter=$(printf '%s' "${1:0:1}" | tr 'A-Z' 'a-z')
      drive=$(readlink -f "$WINEPREFIX/dosdevices/$letter:")
      rest=${1:3}
      realpath -m "$drive/${rest//\\//}" ;;
    *) printf '%s' "$1" ;;
  esac
}

reply=$(unix_path "$1")
command=$2
shift 2
args=()
for a in "$@"; do args+=("$(unix_path "$a")"); done

status=0
output=$(
  case $command in
    master) "$root/scripts/master-medium" "${args[@]}" ;;
    insert) cd_drive_insert "${args[0]}" ;;
    eject) cd_drive_eject "${E2E_FOLDER_MEDIUM:?}" ;;
    *) echo "unknown command $command"; false ;;
  esac 2>&1
) || status=$?
if [ "$status" -eq 0 ]; then
  printf 'ok\n%s\n' "$output" >"$reply.part"
else
  printf 'failed (%s)\n%s\n' "$status" "$output" >"$reply.part"
fi
mv "$reply.part" "$reply"
