# The demonstration set-up shared by scripts/run and scripts/screenshots: the driver
# installer's registry key with an installation folder holding our own README documents, and
# the simulated driver with one ORVEX unit. Source it after wine-env.sh, with the prefix
# initialised and a wineserver running.

QS_DEMO_KEY='HKLM\Software\Classes\CLSID\{5E2B7C41-3D90-4f6a-B8C2-7A15D04E9F36}\KZID0410'
QS_DEMO_FOLDER_WIN='C:\Program Files\Quillmere\ORVEX Driver'
QS_DEMO_VERSION='1.4.2'
QS_DEMO_COPYRIGHT='Copyright (C) 2026 Quillmere Audio'

# The locale whose user interface language Wine then picks, for a short language name.
qs_locale_of() {
  case "$1" in
    en) echo en_US.UTF-8 ;; de) echo de_DE.UTF-8 ;; es) echo es_ES.UTF-8 ;;
    fr) echo fr_FR.UTF-8 ;; it) echo it_IT.UTF-8 ;; ja) echo ja_JP.UTF-8 ;;
    nl) echo nl_NL.UTF-8 ;; pt) echo pt_PT.UTF-8 ;;
    *) return 1 ;;
  esac
}
QS_LANGUAGES=(en de es fr it ja nl pt)

qs_reg_set() {  # key, value name (empty: the default value), text
  if [ -z "$2" ]; then
    qs_wine reg add "$1" /ve /t REG_SZ /d "$3" /f >/dev/null 2>&1
  else
    qs_wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1
  fi
}

# The driver's key, as its installer would leave it, and the README documents in the folder.
qs_demo_driver_key() {
  local folder="$WINEPREFIX/drive_c/Program Files/Quillmere/ORVEX Driver"
  mkdir -p "$folder"
  rm -rf "$folder/Readme"
  cp -r "$QS_ROOT/scripts/demo/Readme" "$folder/Readme"
  qs_reg_set "$QS_DEMO_KEY" "" "$QS_DEMO_FOLDER_WIN" &&
    qs_reg_set "$QS_DEMO_KEY" version "$QS_DEMO_VERSION" &&
    qs_reg_set "$QS_DEMO_KEY" copyright "$QS_DEMO_COPYRIGHT"
}

qs_orvexsim() { qs_wine "$QS_BUILD/bin/orvexsim.exe" "$@"; }

# One unit with the default record (Light Load off), the SET answers given as arguments.
qs_demo_one_unit() {
  qs_orvexsim reset >/dev/null && qs_orvexsim plug 1 >/dev/null || return 1
  if [ $# -gt 0 ]; then qs_orvexsim set-statuses 1 "$@" >/dev/null; fi
}

# Waits (at most about 30 s) for a visible X window whose name contains the text; prints its id.
qs_wait_x_window() {
  local id
  for _ in $(seq 1 300); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"" | grep -F -- "$1" | grep -v '0x0+0+0' |
         awk '{print $1}' | head -n1)
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits (at most 10 s) for the process to end and reaps it; 1 when it still runs.
qs_wait_ended() {
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && return 1
  wait "$1" || true
}
