#!/usr/bin/env bash
# with-wine.sh PROGRAM.exe [ARG...]
#
# Runs a Windows program under Wine, as the Windows tests do (CMake's
# CMAKE_CROSSCOMPILING_EMULATOR for build-windows/). The Wine prefix is Quorvin's own, in the
# user's cache ($QUORVIN_WINEPREFIX, by default ~/.cache/quorvin/wine), made on first use.
# Wine's own messages are silenced and it is kept from offering to install Mono and Gecko.
# Exits with the program's status. The Wine server stays up for a few seconds after the last
# program; `with-wine.sh --stop` ends it at once.
set -euo pipefail

export WINEPREFIX=${QUORVIN_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvin/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

if (($# == 0)); then
    echo "usage: $0 PROGRAM.exe [ARG...] | --stop" >&2
    exit 2
fi
if [[ "$1" == --stop ]]; then
    wineserver -k 2>/dev/null || true
    exit 0
fi

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    mkdir -p "$WINEPREFIX"
    # Made once, under a lock, so that tests started together do not make it twice.
    (
        flock 9
        [[ -f "$WINEPREFIX/system.reg" ]] || wineboot -i >/dev/null 2>&1 || true
    ) 9>"$WINEPREFIX.lock"
fi

# Debian's wine64 is reached through its loader directly: /usr/bin/wine would first complain
# that the 32-bit half is missing, which 64-bit programs do not need.
wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || wine=wine
exec "$wine" "$@"
