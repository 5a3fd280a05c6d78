# Sourced by every script that builds for Windows or runs Windows programs.
#
# Two Windows builds of the same sources exist: the shipping i686 program
# (build/installer.exe, its tree build/win) and its x86_64 twin
# (build/win64/installer.exe, its tree build/win64/win). The Wine suite runs
# on every build this machine can run, natively or under emulation, those
# that run natively first; the demo and the benches run on the first of them;
# WINDOWS_TESTS_BUILD (i686 or x86_64) forces one.
#
# wine_env_start then gives a Wine prefix of the project's own under build/
# for the chosen build and locale (WINE_LOCALE, ja_JP.UTF-8 by default, where
# GetACP() is 932), a display (Xvfb when there is none) and one wineserver
# kept alive for the whole run; wine_env_stop ends them. Every Wine call goes
# through wine_run, which starts the loader that fits the chosen build.

WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
# One server for a prefix, whichever loader starts a program in it: the
# 64-bit one, which serves 32-bit and 64-bit programs alike. Both loaders
# start /usr/lib/wine/wineserver when none runs, Debian's script that picks
# wineserver64 over wine32's wineserver32 (wine64 is always installed here);
# the scripts start and stop the same one by its name.
WINE_SERVER64=/usr/lib/wine/wineserver64

# Where the kernel refuses 32-bit code, scripts/install-deps registers QEMU's
# emulator for i386 programs here. binfmt_misc entries come before the
# kernel's own ELF loader, so while it is enabled every 32-bit program runs
# emulated, whatever the kernel could do.
BINFMT_DIR=/proc/sys/fs/binfmt_misc
I386_BINFMT_ENTRY=$BINFMT_DIR/qemu-i386

# Prints the state of the qemu-i386 entry: enabled, disabled or none.
i386_entry_state() {
  if [ -r "$I386_BINFMT_ENTRY" ]; then
    head -n1 "$I386_BINFMT_ENTRY"
  else
    echo none
  fi
}

# Starts a 96-byte i386 ELF program that only exits with code 42. Kernels
# without 32-bit emulation refuse it ("Exec format error"). The file lies in
# the project's build folder, since /tmp may be mounted noexec.
runs_32bit_code() {
  local root=$1 probe
  mkdir -p "$root/build"
  probe=$(mktemp "$root/build/.probe-i386.XXXXXX")
  # ELF header, one loadable segment at 0x08048000, then at 0x08048054:
  # mov eax, 1; mov ebx, 42; int 0x80 (exit(42)).
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'\
'\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'\
'\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'\
'\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'\
'\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000'\
'\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Sets I386_CODE: how this machine runs 32-bit code now, "native" (the
# kernel runs it), "emulated" (qemu-i386 runs it, through binfmt_misc) or
# "none".
probe_i386_code() {
  local root=$1
  if ! runs_32bit_code "$root"; then
    I386_CODE=none
  elif [ "$(i386_entry_state)" = enabled ]; then
    I386_CODE=emulated
  else
    I386_CODE=native
  fi
}

# Sets WINDOWS_BUILDS (the builds the Wine suite runs on, in order: those
# that run natively first) and WINDOWS_BUILD_REASON: both builds where this
# machine runs 32-bit code, natively (i686 first) or emulated (x86_64 first,
# then the emulated one), the x86_64 build alone where
# it runs none, or the one WINDOWS_TESTS_BUILD names. Fails, with WINDOWS_BUILD_REASON saying why, when WINDOWS_TESTS_BUILD
# is wrong or names i686 on a machine that cannot run it.
choose_windows_builds() {
  local root=$1
  probe_i386_code "$root"
  case "${WINDOWS_TESTS_BUILD:-}" in
    "")
      case "$I386_CODE" in
        native)
          WINDOWS_BUILDS="i686 x86_64"
          WINDOWS_BUILD_REASON="this machine runs 32-bit code natively" ;;
        emulated)
          WINDOWS_BUILDS="x86_64 i686"
          WINDOWS_BUILD_REASON="this kernel refuses 32-bit code: the i686 build runs emulated, after the x86_64 one" ;;
        *)
          WINDOWS_BUILDS=x86_64
          WINDOWS_BUILD_REASON="this machine runs no 32-bit code, natively or emulated" ;;
      esac ;;
    i686)
      WINDOWS_BUILDS=i686
      WINDOWS_BUILD_REASON="forced by WINDOWS_TESTS_BUILD"
      if [ "$I386_CODE" = none ]; then
        WINDOWS_BUILD_REASON="WINDOWS_TESTS_BUILD=i686, but this machine runs no 32-bit code, natively or emulated (scripts/install-deps sets up the emulation): the i686 build cannot be tested here"
        return 1
      fi ;;
    x86_64)
      WINDOWS_BUILDS=x86_64
      WINDOWS_BUILD_REASON="forced by WINDOWS_TESTS_BUILD" ;;
    *)
      WINDOWS_BUILD_REASON="WINDOWS_TESTS_BUILD must be i686 or x86_64, not '$WINDOWS_TESTS_BUILD'"
      return 1 ;;
  esac
}

# How a build's code runs here, in words, from I386_CODE: the x86_64 build
# runs natively on every machine that runs the suite.
windows_build_runs() {
  if [ "$1" != i686 ]; then
    echo "64-bit code, run natively"
  elif [ "${I386_CODE:-}" = emulated ]; then
    echo "32-bit code, run emulated by qemu-i386"
  elif [ "${I386_CODE:-}" = native ]; then
    echo "32-bit code, run natively"
  else
    echo "32-bit code, which this machine does not run"
  fi
}

# Sets WINDOWS_BUILD (i686 or x86_64), WINDOWS_BUILD_DIR (its CMake tree) and
# WINDOWS_PROGRAM_DIR (where its installer.exe lies) for one build.
select_windows_build() {
  local root=$1
  WINDOWS_BUILD=$2
  if [ "$WINDOWS_BUILD" = i686 ]; then
    WINDOWS_BUILD_DIR="$root/build/win"
    WINDOWS_PROGRAM_DIR="$root/build"
  else
    WINDOWS_BUILD_DIR="$root/build/win64/win"
    WINDOWS_PROGRAM_DIR="$root/build/win64"
  fi
  export WINDOWS_BUILD WINDOWS_BUILD_DIR WINDOWS_PROGRAM_DIR
}

# For the scripts that run one build (the demo, the benches): the first of
# WINDOWS_BUILDS, the shipping i686 build wherever it runs natively, else
# the x86_64 build.
choose_windows_build() {
  local root=$1
  choose_windows_builds "$root" || return 1
  select_windows_build "$root" "${WINDOWS_BUILDS%% *}"
  WINDOWS_BUILD_REASON="$(windows_build_runs "$WINDOWS_BUILD"); $WINDOWS_BUILD_REASON"
}

# The one place that starts Wine. Debian's `wine` starts the 32-bit loader
# whenever wine32 is installed, even for a 64-bit program, so the x86_64
# build calls the 64-bit loader itself.
wine_run() {
  if [ "${WINDOWS_BUILD:-x86_64}" = i686 ] || [ ! -x "$WINE64_LOADER" ]; then
    WINELOADER="$WINE32_LOADER" "$WINE32_LOADER" "$@"
  else
    wine_run64 "$@"
  fi
}

# Wine's own tools with the 64-bit loader, whichever build is under test: a
# 32-bit regedit would write HKLM settings into the 32-bit view, which Wine's
# 64-bit services never read.
wine_run64() {
  WINELOADER="$WINE64_LOADER" "$WINE64_LOADER" "$@"
}

# Bumped whenever the prefix's set-up changes, so older prefixes are remade.
WINE_PREFIX_VERSION=5

# Values every prefix of the project gets, as a registry file (written here
# in UTF-8, handed to regedit in UTF-16).
wine_prefix_settings() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

; Without a window manager every closing box stalls while Wine waits for one;
; unmanaged windows close at once.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

; The dialogs' Japanese faces, mapped to proportional faces of the same kind,
; so that texts take the room they take on Windows.
[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPA Pゴシック"
"ＭＳ ゴシック"="IPAゴシック"
"MS UI Gothic"="IPA Pゴシック"

; D: is the CD-ROM drive that the medium goes into (read when Wine's
; services start, so it is set before the server that runs the tests).
[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"d:"="cdrom"
EOF
}

# Starts an Xvfb display of its own and sets WINE_DISPLAY_STARTED to its
# name (":N"); its pid joins WINE_XVFB_PIDS, which wine_env_stop ends.
wine_display_start() {
  local fdfile i
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  WINE_XVFB_PIDS="${WINE_XVFB_PIDS:-} $!"
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  WINE_DISPLAY_STARTED=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

# What a made prefix's .project-ready holds: the set-up's version and Wine's
# (a newer Wine would update the DLLs a template shares with its copies).
wine_prefix_stamp() {
  printf '%s %s\n' "$WINE_PREFIX_VERSION" "$("$WINE64_LOADER" --version 2>/dev/null)"
}

# Makes the prefix PREFIX unless it is already made for this set-up and
# this Wine. Ends with no server running for it.
wine_prefix_make() (
  export WINEPREFIX=$1
  [ "$(cat "$WINEPREFIX/.project-ready" 2>/dev/null)" = "$(wine_prefix_stamp)" ] && exit 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wine_run64 wineboot --init >/dev/null 2>&1
  "$WINE_SERVER64" -w
  # A UTF-16 file, so that regedit reads the Japanese names the same way
  # under every locale.
  { printf '\xff\xfe'; wine_prefix_settings | iconv -f UTF-8 -t UTF-16LE; } >"$WINEPREFIX/project.reg"
  wine_run64 regedit /S "$(wine_unix_to_dos "$WINEPREFIX/project.reg")" >/dev/null 2>&1
  # Caption buttons are glyphs of Wine's Marlett face. Debian's Wine looks
  # for its own fonts under a data folder path with ".." in it, which the
  # file name conversion refuses, so Marlett is never found and the close
  # box falls back to a letter "r". The Windows Fonts folder is searched
  # first and has no such problem.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$WINE_SERVER64" -w
  wine_prefix_stamp >"$WINEPREFIX/.project-ready"
)

# Exports what every Wine program here runs with, under LOCALE.
wine_env_vars() {
  export LC_ALL=$1
  export WINEDEBUG=-all
  export WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# The template of LOCALE's prefixes.
wine_template_path() {
  printf '%s/build/wineprefix-template-%s' "$1" "${2%%.*}"
}

# Makes LOCALE's template unless it is made, in a process and on a display
# of its own, so that it may be made beside a build: wine_env_start finds it
# made then.
wine_template_make() (
  local root=$1 status=0
  wine_env_vars "$2"
  wine_display_start
  export DISPLAY=$WINE_DISPLAY_STARTED
  wine_prefix_make "$(wine_template_path "$root" "$2")" || status=$?
  kill $WINE_XVFB_PIDS 2>/dev/null
  exit "$status"
)

# Copies the made prefix FROM to TO afresh: Wine's own DLL folders, which
# nothing here writes, as hard links; the rest (registry, users, temporary
# folder) as files of its own.
wine_prefix_copy() {
  local from=$1 to=$2 dlls
  # A killed relaunch test may have left its temporary copy immutable.
  chattr -i "$to/drive_c/windows/temp/installer.exe" 2>/dev/null || true
  rm -rf "$to"
  mkdir -p "$to"
  tar -C "$from" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
    --exclude=./dosdevices/d: -cf - . | tar -C "$to" -xf - || return 1
  for dlls in system32 syswow64; do
    [ -d "$from/drive_c/windows/$dlls" ] && cp -al "$from/drive_c/windows/$dlls" "$to/drive_c/windows/"
  done
  return 0
}

# Starts the server of the prefix WINEPREFIX on DISPLAY and checks the
# prefix: 0 when it is ready for the tests.
wine_server_start() {
  # D: is the CD-ROM drive. Wine's services learn the drives and their types
  # when they start, so the letter must exist by then: with no disc in it,
  # it shows an empty folder until a medium is linked in.
  if [ ! -e "$WINEPREFIX/dosdevices/d:" ]; then
    mkdir -p "$WINEPREFIX/no-disc"
    ln -sfn "$WINEPREFIX/no-disc" "$WINEPREFIX/dosdevices/d:"
  fi
  "$WINE_SERVER64" -p
  # The first program of a server's life starts Wine's background services;
  # start them here with no pipe attached, or they would hold the pipes of
  # whatever runs next open until the server ends.
  wine_run cmd /c exit </dev/null >/dev/null 2>&1 || true
  wine_prefix_check || { echo "$WINE_PREFIX_PROBLEM" >&2; return 1; }
}

# A run's prefixes are fresh copies of a template made once for each locale
# (Wine writes the locale's code pages into a prefix when it makes it):
# every run starts from the same prefix, whatever an earlier run left, and
# no build meets the other's traces. WINEPREFIX_OVERRIDE names a prefix to
# use as it is instead (made there if need be).
#
# The Wine suite runs two test programs at a time on a machine of two cores
# or more: WINE_SLOTS (1 or 2) slots, each with a prefix, a server and a
# display of its own, so that no robot sees another slot's windows and no
# test another's records. Slot 0 is WINEPREFIX and DISPLAY; slot 1 is
# WINE_SLOT1_PREFIX on WINE_SLOT1_DISPLAY. A test program enters the slot
# ctest gave it through wine_enter_slot.
wine_env_start() {
  local root=$1
  if [ -z "${WINDOWS_BUILD:-}" ]; then
    choose_windows_build "$root" || { echo "$WINDOWS_BUILD_REASON" >&2; return 1; }
  fi
  wine_env_vars "${WINE_LOCALE:-ja_JP.UTF-8}"
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$root/build/wineprefix-$WINDOWS_BUILD-${LC_ALL%%.*}}"
  wine_prefix_xdg

  if [ -z "${DISPLAY:-}" ]; then
    wine_display_start
    export DISPLAY=$WINE_DISPLAY_STARTED WINE_DISPLAY_OWN=1
  fi
  WINE_PREFIX_SOURCE=$WINEPREFIX
  [ -z "${WINEPREFIX_OVERRIDE:-}" ] && WINE_PREFIX_SOURCE=$(wine_template_path "$root" "$LC_ALL")
  wine_prefix_make "$WINE_PREFIX_SOURCE"
  if [ "$WINE_PREFIX_SOURCE" != "$WINEPREFIX" ]; then
    wine_prefix_copy "$WINE_PREFIX_SOURCE" "$WINEPREFIX" ||
      { echo "the prefix $WINE_PREFIX_SOURCE could not be copied to $WINEPREFIX" >&2; return 1; }
  fi
  unset WINE_SLOT1_PREFIX WINE_SLOT1_DISPLAY
  local slot1=""
  if [ "${WINE_SLOTS:-1}" -ge 2 ]; then
    wine_prefix_copy "$WINE_PREFIX_SOURCE" "$WINEPREFIX-slot1" ||
      { echo "the prefix $WINE_PREFIX_SOURCE could not be copied for a second slot" >&2; return 1; }
    wine_display_start
    export WINE_SLOT1_PREFIX="$WINEPREFIX-slot1" WINE_SLOT1_DISPLAY=$WINE_DISPLAY_STARTED
    # Both slots' servers and services start at once.
    (
      export WINEPREFIX=$WINE_SLOT1_PREFIX DISPLAY=$WINE_SLOT1_DISPLAY
      wine_prefix_xdg
      wine_server_start
    ) &
    slot1=$!
  fi
  local status=0
  wine_server_start || status=1
  if [ -n "$slot1" ]; then
    wait "$slot1" || status=1
  fi
  return "$status"
}

# Wine's menu builder runs as it does for users (it opens each new shortcut
# for a moment); the menu entries it makes of the prefix's shortcuts go
# beside the prefix, not into the home folder.
wine_prefix_xdg() {
  export XDG_DATA_HOME="$WINEPREFIX-xdg/data" XDG_CONFIG_HOME="$WINEPREFIX-xdg/config"
}

# In a test program's run: the prefix and display of the slot ctest gave it.
# ctest hands out the slots of wine_slots_file's list (each test asks for one,
# RESOURCE_GROUPS wine:1) and says which in CTEST_RESOURCE_GROUP_0_WINE
# ("id:1,slots:1").
wine_enter_slot() {
  local given=${CTEST_RESOURCE_GROUP_0_WINE:-}
  if [ "${given%%,*}" = "id:1" ] && [ -n "${WINE_SLOT1_PREFIX:-}" ]; then
    export WINEPREFIX=$WINE_SLOT1_PREFIX DISPLAY=$WINE_SLOT1_DISPLAY
    wine_prefix_xdg
  fi
}

# Writes the ctest resource file of WINE_SLOTS slots to FILE.
wine_slots_file() {
  local file=$1 ids="" slot
  for slot in $(seq 0 $((${WINE_SLOTS:-1} - 1))); do
    ids+="${ids:+, }{\"id\": \"$slot\", \"slots\": 1}"
  done
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"wine": [%s]}]}\n' "$ids" >"$file"
}

# 0 when the running prefix is set up as the tests need it; else 1 with
# WINE_PREFIX_PROBLEM saying what is wrong, and the prefix it was made from
# is marked to be made again. D: must read as a CD-ROM drive to the build under test (the
# robot asks, where it is built); the drive setting must stand where Wine's
# 64-bit services read it.
wine_prefix_check() {
  local drives robot="${WINDOWS_BUILD_DIR:-}/robot.exe" type
  drives=$(wine_run64 reg query 'HKLM\Software\Wine\Drives' /v d: </dev/null 2>/dev/null | tr -d '\r')
  WINE_PREFIX_PROBLEM=""
  if ! printf '%s\n' "$drives" | grep -q 'd:.*REG_SZ.*cdrom'; then
    WINE_PREFIX_PROBLEM="the prefix $WINEPREFIX is half set up: HKLM\Software\Wine\Drives has no \"d:\"=\"cdrom\" where Wine's 64-bit services read it"
  elif [ -f "$robot" ]; then
    type=$(wine_run "$robot" drive --root 'D:\' </dev/null 2>/dev/null | tr -d '\r')
    [ "$type" = "type=5" ] ||
      WINE_PREFIX_PROBLEM="the prefix $WINEPREFIX is half set up: D: reads as drive ${type:-type=?} to the $WINDOWS_BUILD build, not as a CD-ROM drive (type=5)"
  fi
  [ -z "$WINE_PREFIX_PROBLEM" ] && return 0
  rm -f "${WINE_PREFIX_SOURCE:-$WINEPREFIX}/.project-ready"
  return 1
}

# A Unix path as Wine sees it through drive Z:.
wine_unix_to_dos() {
  printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"
}

wine_env_stop() {
  if [ -n "${WINE_SLOT1_PREFIX:-}" ]; then
    WINEPREFIX=$WINE_SLOT1_PREFIX "$WINE_SERVER64" -k 2>/dev/null || true
    unset WINE_SLOT1_PREFIX WINE_SLOT1_DISPLAY
  fi
  "$WINE_SERVER64" -k 2>/dev/null || true
  local pid
  for pid in ${WINE_XVFB_PIDS:-}; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  WINE_XVFB_PIDS=""
  # A display of our own goes with its Xvfb; the user's stays.
  if [ "${WINE_DISPLAY_OWN:-0}" = 1 ]; then
    unset DISPLAY WINE_DISPLAY_OWN
  fi
}
