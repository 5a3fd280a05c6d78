# Sourced after wine-env.sh by the demo and the end-to-end tests: a CD image
# as drive D: of the Wine prefix. The image is mounted read-only with fuseiso
# at a mount point of its own beside it (disc.iso at disc.mnt) and D: is
# linked there; the prefix declares D: a CD-ROM drive (wine_prefix_settings).
# Every mount point is unmounted by its own path; whatever a run that died
# left mounted below the project's build folder is unmounted first.

# 0 when images can be mastered and mounted here; else 1 with CD_DRIVE_REASON
# saying why in one line. `root` is the project folder.
cd_drive_usable() {
  local root=$1 tool
  if [ ! -e /dev/fuse ]; then
    CD_DRIVE_REASON="no /dev/fuse on this machine: disc images cannot be mounted"
    return 1
  fi
  for tool in genisoimage fuseiso fusermount; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      CD_DRIVE_REASON="$tool is not installed (scripts/install-deps installs it)"
      return 1
    fi
  done
  # A folder of its own: the emulated build's suite probes beside another's.
  local probe
  mkdir -p "$root/build"
  probe=$(mktemp -d "$root/build/.cd-probe.XXXXXX")
  mkdir -p "$probe/disc"
  echo probe >"$probe/disc/probe.txt"
  if ! genisoimage -quiet -J -r -input-charset utf-8 -o "$probe/disc.iso" "$probe/disc" 2>/dev/null \
     || ! cd_mount "$probe/disc.iso" 2>/dev/null \
     || [ "$(cat "$probe/disc.mnt/probe.txt" 2>/dev/null)" != probe ]; then
    cd_unmount "$probe/disc.mnt"
    rm -rf "$probe"
    CD_DRIVE_REASON="fuseiso cannot mount a disc image here (FUSE refused it)"
    return 1
  fi
  cd_unmount "$probe/disc.mnt"
  rm -rf "$probe"
}

# The mount point of an image: disc.iso is mounted at disc.mnt.
cd_mount_point() {
  printf '%s.mnt' "${1%.iso}"
}

# Mounts IMAGE read-only at its mount point.
cd_mount() {
  local image=$1 dir
  dir=$(cd_mount_point "$image")
  cd_unmount "$dir"
  mkdir -p "$dir"
  fuseiso "$image" "$dir" -o ro
}

# Unmounts DIR by its own mount point when something is mounted there. A disc
# that a process still holds (its current folder lies on it) is detached once
# it is no longer busy, as a drive's tray opens whatever a program holds.
cd_unmount() {
  local dir=$1 i
  mountpoint -q "$dir" 2>/dev/null || return 0
  for i in $(seq 1 5); do
    fusermount -u "$dir" 2>/dev/null && return 0
    sleep 0.1
  done
  fusermount -u -z "$dir"
}

# Unmounts every disc image still mounted below ROOT/build, or below FOLDER
# when one is given (a run that died leaves its mounts behind; a suite run
# clears its own build tree only, as another build's may run beside it).
cd_unmount_stale() {
  local root=$1 below=${2:-$1/build} dir
  [ -r /proc/mounts ] || return 0
  while IFS= read -r dir; do
    cd_unmount "$(printf '%b' "$dir")"
  done < <(awk -v below="${below%/}/" '$3 == "fuse.fuseiso" && index($2, below) == 1 { print $2 }' /proc/mounts)
}

# Takes the disc in drive D: out, if there is one, and puts IMAGE in.
cd_drive_insert() {
  local image=$1
  cd_drive_eject
  cd_mount "$image"
  ln -sfn "$(cd_mount_point "$image")" "$WINEPREFIX/dosdevices/d:"
}

# Takes the disc in drive D: out, if there is one; D: is then linked to
# FOLDER when one is given, else it stays an empty drive.
cd_drive_eject() {
  local folder=${1:-} in_drive
  in_drive=$(readlink "$WINEPREFIX/dosdevices/d:" 2>/dev/null || true)
  [ -n "$in_drive" ] && cd_unmount "$in_drive"
  if [ -n "$folder" ]; then
    ln -sfn "$folder" "$WINEPREFIX/dosdevices/d:"
  fi
}
