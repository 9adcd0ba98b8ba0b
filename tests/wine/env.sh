# Sourced by the Wine helpers: where Wine is and how every Wine call is made.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's i386 PE DLLs (see tools/setup.sh) let wine64 run 32-bit programs in WoW64 mode.
export WINEDLLPATH=${MIXARRO_WINE_I386:-/var/cache/mixarro/wine-i386}
export WINEARCH=win64
