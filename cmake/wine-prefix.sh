#!/usr/bin/env bash
# start: creates the private Wine prefix (once) and keeps one wineserver running for all tests,
# detached from ctest's output pipes so that each test ends as soon as its program does.
# stop: ends that wineserver.
set -u
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot </dev/null >/dev/null 2>&1
    if [ ! -f "$WINEPREFIX/.win10" ]; then
      wine winecfg /v win10 </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.win10"
    fi
    # Windows ships Arial, Tessel's default face; Wine has none, so controls would draw no text.
    # The installed Open Sans stands in for it.
    # No window manager runs on the test display. Managed windows would make Wine wait about 2 s
    # for a window manager's answer whenever a shown window goes away; unmanaged, Wine handles
    # placement, focus and the system move loop itself.
    if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.unmanaged"
    fi
    if [ ! -f "$WINEPREFIX/.arial" ]; then
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Open Sans' /f \
        </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.arial"
    fi
    exit 0 ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1
    exit 0 ;;
esac
exit 2
