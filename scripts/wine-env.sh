# Shared Wine environment for the project's scripts and for ctest's wrapper.
# Source it with QS_BUILD set to the build folder (default: <repo>/build).
# Everything runs in a prefix the project owns, never in ~/.wine.

QS_ROOT=${QS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
QS_BUILD=${QS_BUILD:-$QS_ROOT/build}
export WINEPREFIX="$QS_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Call the 64-bit loader directly: /usr/bin/wine prefers a 32-bit loader when one is installed.
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
QS_WINE=$WINELOADER
QS_DISPLAY_NUM=${QS_DISPLAY_NUM:-97}

qs_wine() { "$QS_WINE" "$@"; }

# Starts an Xvfb on :$QS_DISPLAY_NUM unless one already answers there.
qs_xvfb_start() {
  export DISPLAY=":$QS_DISPLAY_NUM"
  if xdpyinfo >/dev/null 2>&1; then return 0; fi
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QS_XVFB_PID=$!
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

qs_xvfb_stop() {
  if [ -n "${QS_XVFB_PID:-}" ]; then kill "$QS_XVFB_PID" 2>/dev/null; wait "$QS_XVFB_PID" 2>/dev/null; fi
  QS_XVFB_PID=
}

# A persistent server keeps the prefix's background services from holding ctest's pipes open.
qs_wineserver_start() {
  # Exits with 2 when a server already runs for this prefix (scripts/orvexsim leaves one).
  "$WINESERVER" -p 2>/dev/null || true
  qs_wine cmd /c exit >/dev/null 2>&1 || true
}

qs_wineserver_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}

# Creates the prefix once and sets it up for headless, unattended runs.
qs_prefix_init() {
  if [ ! -f "$WINEPREFIX/.quillset-ready" ]; then qs_prefix_create || return 1; fi
  qs_crash_dialog_off
}

qs_prefix_create() {
  mkdir -p "$WINEPREFIX"
  qs_wine wineboot -i >/dev/null 2>&1
  "$WINESERVER" -w
  # Without a window manager, managed windows get no caption and close slowly.
  qs_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Tahoma (for "MS Shell Dlg") ships with fonts-wine but outside the prefix's font folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*.ttf /usr/share/fonts/opentype/ipafont-gothic/*.ttf \
           /usr/share/fonts/truetype/fonts-japanese-gothic.ttf; do
    [ -e "$f" ] && ln -sf "$f" "$fonts/$(basename "$f")"
  done
  # Captions and message boxes then use a font that has Japanese glyphs.
  for v in CaptionFont SmCaptionFont MenuFont StatusFont MessageFont IconFont; do
    qs_wine reg delete 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$v" /f >/dev/null 2>&1 || true
  done
  # Under a Japanese locale "MS Shell Dlg" stands for "MS UI Gothic"; without a replacement Wine
  # falls back to the fixed-pitch IPAGothic, so Latin text in those dialogs looks typewritten.
  local ui
  for ui in "MS UI Gothic" "MS PGothic"; do
    qs_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$ui" /t REG_SZ /d IPAPGothic /f \
      >/dev/null 2>&1
  done
  qs_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Gothic" /t REG_SZ /d IPAGothic /f \
    >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.quillset-ready"
}

# A crashed program otherwise waits under winedbg's crash dialog until someone closes it, and
# ctest with it until its timeout. Without the dialog winedbg prints the backtrace on the
# crashed program's output and the process ends at once. Looked for in the saved registry on
# every call (cheap), so prefixes made before this setting get it too.
qs_crash_dialog_off() {
  if [ -f "$WINEPREFIX/user.reg" ] && awk '
      /^\[/ { inKey = index(tolower($0), "[software\\\\wine\\\\winedbg]") == 1 }
      inKey && tolower($0) ~ /^"showcrashdialog"=dword:0+$/ { found = 1 }
      END { exit !found }' "$WINEPREFIX/user.reg"; then
    return 0
  fi
  qs_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 || echo "warning: could not turn off Wine's crash dialog in $WINEPREFIX" >&2
}

# Installs the simulated ORVEX driver (build/bin/orvexsim.sys) as an auto-start kernel driver
# of the prefix and makes sure it runs under the current wineserver; see simulator/README.md.
# Idempotent. A changed .sys replaces the loaded one: stopped first, then renamed into place
# (never overwritten, since winedevice maps the old file).
qs_simulator_install() {
  local sys="$QS_BUILD/bin/orvexsim.sys" tool="$QS_BUILD/bin/orvexsim.exe"
  local dest="$WINEPREFIX/drive_c/windows/system32/drivers/orvexsim.sys"
  if [ ! -f "$sys" ] || [ ! -f "$tool" ]; then
    echo "qs_simulator_install: build orvexsim.sys and orvexsim.exe first" >&2
    return 1
  fi
  if ! cmp -s "$sys" "$dest"; then
    if [ -e "$dest" ]; then qs_wine "$tool" stop || return 1; fi
    mkdir -p "$(dirname "$dest")"
    cp "$sys" "$dest.new" && mv -f "$dest.new" "$dest" || return 1
  fi
  qs_wine "$tool" install 'C:\windows\system32\drivers\orvexsim.sys' >/dev/null
}
