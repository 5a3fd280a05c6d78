#!/usr/bin/env bash
# The end-to-end tests' CD-ROM drive, worked by a test program under Wine
# (through run_unix, which collects what it prints and its exit status).
#
#   cd_drive.sh master MEDIUM_DIR IMAGE [DISC_DIR IMAGE]...
#       scripts/master-medium, the publisher's command
#   cd_drive.sh insert IMAGE
#       takes the disc in D: out and puts IMAGE in
#   cd_drive.sh eject
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

command=$1
shift
args=()
for a in "$@"; do args+=("$(unix_path "$a")"); done
case $command in
  master) "$root/scripts/master-medium" "${args[@]}" ;;
  insert) cd_drive_insert "${args[0]}" ;;
  eject) cd_drive_eject "${E2E_FOLDER_MEDIUM:?}" ;;
  *) echo "unknown command $command" >&2; exit 2 ;;
esac
