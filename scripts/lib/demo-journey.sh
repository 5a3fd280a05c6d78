# Sourced after wine-env.sh by scripts/demo and by the suite's run of the
# same journey (tests/e2e/demo_journey.sh): the sample medium with a payload,
# and the journey the UI robot plays from it inside a Wine virtual desktop.

DEMO_CAPTION="サンプルゲーム"

# demo_medium ROOT DIR FILES KIB: the sample medium as the build left it (the
# program, the test game, the DirectX stand-in) in DIR, with a splash picture
# where python3 is, and FILES payload files of KIB KiB each in its game folder; the option's
# size word says what the game folder holds, in whole megabytes.
demo_medium() {
  local root=$1 medium=$2 files=$3 kib=$4 i bytes
  rm -rf "$medium"
  mkdir -p "$medium"
  cp -r "$root/sample/medium/." "$medium/"
  # The splash picture is painted where python3 is (the demo installs it).
  if command -v python3 >/dev/null 2>&1; then
    python3 "$root/scripts/gen/make_splash.py" "$medium/setup/installer.bmp"
  fi
  for i in $(seq -w 1 "$files"); do
    head -c $((kib * 1024)) /dev/zero >"$medium/setup/game/data$i.bin"
  done
  bytes=$(find "$medium/setup/game" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
  sed -i "s/\", 1, \"/\", $(( (bytes + 1048575) / 1048576 )), \"/" "$medium/setup/filelist0.txt"
}

demo_robot() { wine_run "$WINDOWS_BUILD_DIR/robot.exe" "$@"; }

# No record or install folder of an earlier run, and a Start-menu Programs
# folder for the shortcuts (made here when the prefix names none; then
# DEMO_PROGRAMS_MADE=1).
demo_clean_start() {
  DEMO_PROGRAMS_MADE=0
  wine_run reg delete 'HKCU\software\SampleSoft' /f >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX/drive_c/Program Files/SampleSoft"
  if ! demo_robot reg --key 'Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
       --value Programs >/dev/null 2>&1; then
    mkdir -p "$WINEPREFIX/drive_c/demo-start-menu/Programs"
    wine_run reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
      /v Programs /t REG_SZ /d 'C:\demo-start-menu\Programs' /f >/dev/null 2>&1
    DEMO_PROGRAMS_MADE=1
  fi
}

# demo_journey SHOTS FAILED WINE_LOG [PLAIN]: plays the journey from
# D:\setup: the disc opened in Explorer and the launcher started from it,
# options dialog, folder question, a copy in progress, the DirectX question,
# the installed launcher, running the game, starting again, uninstalling;
# then nothing of the install may be left. Saves one picture per step in the
# folder SHOTS, unless PLAIN is 1 (the suite's lean run: no pictures, no
# pauses for them). Every Wine program's output goes to WINE_LOG. At the
# first step that fails it saves the screen as FAILED, prints a line that
# starts with DEMO_NAME and names both files, and exits 1. DEMO_STEPS counts
# the steps.
demo_journey() {
  DEMO_SHOTS=$1 DEMO_FAILED=$2 DEMO_WINE_LOG=$3 DEMO_PLAIN=${4:-0} DEMO_STEPS=0
  rm -f "$DEMO_FAILED"
  mkdir -p "$(dirname "$DEMO_FAILED")" "$(dirname "$DEMO_WINE_LOG")"
  : >"$DEMO_WINE_LOG"
  [ "$DEMO_PLAIN" = 1 ] || mkdir -p "$DEMO_SHOTS"
  demo_steps
}

# The failure line goes to the standard error, and also into the file
# DEMO_FAILURE_FILE when one is named.
demo_fail() {
  local line="$DEMO_NAME: $*; the screen then: ${DEMO_FAILED#"$root/"}; Wine's output: ${DEMO_WINE_LOG#"$root/"}"
  echo "$line" >&2
  [ -z "${DEMO_FAILURE_FILE:-}" ] || echo "$line" >"$DEMO_FAILURE_FILE"
  import -window root "$DEMO_FAILED" 2>/dev/null || true
  demo_end_keeper
  exit 1
}

# Lets the newest window paint, then saves the Wine desktop as NN-name.png.
demo_shot() {
  DEMO_STEPS=$((DEMO_STEPS + 1))
  [ "$DEMO_PLAIN" = 1 ] && return 0
  sleep 0.5
  import -window root -crop 800x600+0+0 +repage "$DEMO_SHOTS/$(printf %02d "$DEMO_STEPS")-$1.png"
}

demo_end_keeper() {
  [ -z "${DEMO_KEEPER:-}" ] || kill "$DEMO_KEEPER" 2>/dev/null || true
  DEMO_KEEPER=""
}

demo_on_desktop() {
  local command=$1
  shift
  demo_robot "$command" --desktop demo "$@" >/dev/null 2>>"$DEMO_WINE_LOG" \
    || demo_fail "robot $command $* failed"
}

demo_start_launcher() {
  wine_run explorer /desktop=demo,800x600 'D:\setup\installer.exe' >>"$DEMO_WINE_LOG" 2>&1 &
  demo_robot wait --desktop demo --caption "$DEMO_CAPTION" --class '#32770' --timeout 60000 \
    >/dev/null 2>>"$DEMO_WINE_LOG" || demo_fail "the launcher did not open"
}

# Waits for a message box whose text holds TEXT; leaves it open for its
# picture, then answers.
demo_box() {
  local name=$1 answer=$2 text=$3 seen
  seen=$(demo_robot box --desktop demo --timeout 30000 --answer 0 2>>"$DEMO_WINE_LOG") \
    || demo_fail "no message box came for step $name"
  case $seen in
    *"text=$text"*) ;;
    *) demo_fail "step $name: the box said $(printf '%s' "$seen" | tr -d '\r' | sed -n 's/ hex=.*//; s/^text=//p')" ;;
  esac
  demo_shot "$name"
  demo_on_desktop box --answer "$answer"
}

# What the install left behind (one a line; empty when nothing): any file in
# the brand's folder but the game's own record of its start, and the maker's
# Start-menu folder.
demo_leftovers() {
  local programs
  programs=$(demo_robot reg --key 'Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    --value Programs 2>/dev/null | tr -d '\r' | sed -n 's/^value=\(.*\) hex=.*/\1/p')
  programs=${programs#[Cc]:\\}
  find "$WINEPREFIX/drive_c/Program Files/SampleSoft" -type f ! -name testgame.log 2>/dev/null || true
  [ ! -e "$WINEPREFIX/drive_c/${programs//\\//}/サンプル工房" ] || echo "C:\\$programs\\サンプル工房"
}

demo_steps() {
  local caption=$DEMO_CAPTION
  # The disc as Explorer shows it (the optical drive, read-only folders), and
  # the launcher started from it.
  wine_run explorer /desktop=demo,800x600 explorer.exe 'D:\' >>"$DEMO_WINE_LOG" 2>&1 &
  # Wine's workaround (docs/limits.md): threads of another program on the
  # desktop, so that Wine does not count it empty while programs run there.
  demo_robot keep --desktop demo --timeout 300000 >>"$DEMO_WINE_LOG" 2>&1 &
  DEMO_KEEPER=$!
  demo_on_desktop wait --class ExplorerWClass --timeout 60000
  demo_start_launcher
  demo_shot launcher-from-disc
  demo_on_desktop close --class ExplorerWClass
  demo_on_desktop press --caption "$caption" --id 1001
  demo_on_desktop wait --caption "${caption}のインストール" --timeout 30000
  demo_shot options
  demo_on_desktop press --caption "${caption}のインストール" --id 1005
  demo_box create-folder 6 "フォルダ"
  demo_on_desktop wait --caption "ファイルをコピーしています" --timeout 30000
  [ "$DEMO_PLAIN" = 1 ] || sleep 1
  demo_shot copying
  demo_box directx 6 "DirectXをインストールしますか？"
  # The stand-in setup runs for 1.5 s; the launcher then shows the installed
  # state (a press posted before then waits for it).
  [ "$DEMO_PLAIN" = 1 ] || sleep 2
  demo_shot installed
  demo_on_desktop press --caption "$caption" --id 1002
  demo_box run-game 1 ""
  [ "$DEMO_PLAIN" = 1 ] || sleep 1
  demo_start_launcher
  demo_shot started-again
  demo_on_desktop press --caption "$caption" --id 1003
  demo_box uninstall 6 "${caption}をアンインストールします。"
  demo_box uninstalled 1 "アンインストールしました。"
  demo_shot not-installed
  demo_on_desktop close --caption "$caption"
  demo_end_keeper
  local left
  left=$(demo_leftovers)
  [ -z "$left" ] || demo_fail "the uninstall left $(printf '%s' "$left" | tr '\n' ' ')"
}
