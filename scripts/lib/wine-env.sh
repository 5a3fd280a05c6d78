# Sourced by the scripts that run Windows programs: a Wine prefix of the
# project's own under build/, the Japanese locale (GetACP() = 932), a display
# (Xvfb when there is none) and one wineserver kept alive for the whole run.
# Call wine_env_start first and wine_env_stop when done.

wine_env_start() {
  local root=$1
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$root/build/wineprefix}"
  export WINEDEBUG=-all
  export WINEARCH=win64
  export LC_ALL=ja_JP.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml="

  if [ -z "${DISPLAY:-}" ]; then
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$fdfile" ] && break
      sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi

  if [ ! -f "$WINEPREFIX/.project-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Without a window manager every closing box stalls while Wine waits for
    # one; unmanaged windows close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.project-ready"
  fi
  wineserver -p
  # The first program of a server's life starts Wine's background services;
  # start them here with no pipe attached, or they would hold the pipes of
  # whatever runs next open until the server ends.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    unset XVFB_PID
  fi
}
