# Sourced by the scripts that run the Windows build: the Wine prefix the
# "windows" preset's tests use (build-windows/wine-prefix), made on first use,
# and its Wine server kept for a minute past its last program, so that a
# program never starts while the server is going away. Headless: Wine needs
# no display for console programs.
export WINEPREFIX=$PWD/build-windows/wine-prefix
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init > /dev/null 2>&1
  wineserver --wait
fi
# Refused (exit status 2) when a server of the prefix runs already.
wineserver --persistent=60 2> /dev/null || true
