# Wine for the Windows build's tests, sourced after tests/e2e/lib.sh: a private WINEPREFIX in the
# temporary folder, one wineserver kept running for all programs (a program then starts in a
# tenth of a second), and the folders of the DLLs the test programs need. Wine hands a Unix
# variable WINEQT_X to the program as QT_X: it passes none that starts with QT_.
# The caller sets wine_dlls (Unix folders, ":"-separated) before start_wine.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winebrowser.exe=d" # no offer to install Mono or Gecko; no host browser opened
export WINEQT_FORCE_STDERR_LOGGING=1    # else Qt's messages go to the debugger's channel only
export WINEQT_QPA_PLATFORM=windows

# The Windows spelling of a Unix path (drive Z: is the Unix root).
winpath() { echo "Z:${1//\//\\}"; }

start_wine() {
  export WINEPREFIX="$work/wine"
  wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot could not make a prefix"; }
  wineserver -p || true # kept running until the prefix's last user has gone and cleanup ends it
  local p paths=()
  IFS=: read -r -a p <<<"${wine_dlls:-}"
  for d in "${p[@]}"; do paths+=("$(winpath "$d")"); done
  WINEPATH=$(IFS=';'; echo "${paths[*]}")
  export WINEPATH
}
stop_wine() { [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true; }

# The value of a key of the clock's settings in the registry, as reg prints it (empty: none).
reg_value() { # key
  wine reg query 'HKCU\Software\Morvantis\Morvantis\StartUp' /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v k="$1" '$1 == k && $2 == "REG_SZ" { sub(/^[ \t]*[^ \t]+[ \t]+REG_SZ[ \t]*/, ""); print; exit }'
}
reg_count() { # the values under StartUp
  wine reg query 'HKCU\Software\Morvantis\Morvantis\StartUp' 2>/dev/null | tr -d '\r' | grep -c 'REG_SZ' || true
}
# Settings written before a start, as the clock stores them: one string value per key.
reg_settings() { # NAME=value...
  wine reg delete 'HKCU\Software\Morvantis\Morvantis' /f >/dev/null 2>&1 || true
  for kv in "$@"; do
    wine reg add 'HKCU\Software\Morvantis\Morvantis\StartUp' /v "${kv%%=*}" /t REG_SZ /d "${kv#*=}" /f >/dev/null 2>&1 ||
      fail "reg add $kv failed"
  done
}
