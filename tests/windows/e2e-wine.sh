#!/usr/bin/env bash
# e2e-wine.sh QUORVIN-ZIP
#
# The packed Windows program end to end, under Wine on the current X display (run it inside
# scripts/with-test-env.sh): unpacked into a folder with a blank in its name, started on a real
# NFO, it must show the file's name as its caption and the art on the screen (the screenshot's
# pixels), copy the art to the clipboard, take a font size, start Notepad on its help text and
# webdial on its web and mail addresses (which Wine hands to the stand-in openers recorded
# here), keep the About window up while its sound plays, close on Escape and write its
# settings beside itself. Prints one line per check and a total; exits 1 when a check failed.
set -euo pipefail

if (($# != 1)); then
    echo "usage: $0 QUORVIN-ZIP" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvin-wine-e2e.XXXXXX")
program="$work/Quorvin test/Quorvin"
pid=
cleanup() {
    [[ -z "$pid" ]] || kill "$pid" 2>/dev/null || true
    "$root/scripts/with-wine.sh" --stop
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "PASS   : $what"
        passed=$((passed + 1))
    else
        echo "FAIL!  : $what"
        failed=$((failed + 1))
    fi
}
# Waits up to SECONDS for a command to succeed.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
windows_named() { xdotool search --onlyvisible --name "$1"; }
# The Windows name of a Unix path: Wine's drive Z: is the root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
same_bytes() { cmp -s "$1" <(printf '%b' "$2"); }
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }

unzip -q "$zip" -d "$work/Quorvin test"

# A real NFO where the samples are (beside the repository), else the example. The path has no
# blank: Wine quotes an argument with blanks, and the program takes the command line's quotes
# as part of the name, as Windows programs that read it raw do.
nfo=$root/../shared/samples/dcnfo__eea.nfo
[[ -f "$nfo" ]] || nfo=$root/examples/quorvin.nfo
mkdir -p "$work/art" "$work/bin"
cp "$nfo" "$work/art/Release.NFO"

# Wine hands web addresses to xdg-open and mail addresses to /usr/bin/open, which falls back
# to $BROWSER; these stand-ins record what they get.
for opener in xdg-open browser; do
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >"$work/bin/$opener"
    chmod +x "$work/bin/$opener"
done
export PATH="$work/bin:$PATH" BROWSER="$work/bin/browser"

(cd "$program" && exec "$root/scripts/with-wine.sh" ./quorvin.exe \
    "$(windows_path "$work/art/Release.NFO")") &
pid=$!
check "caption is the file's lower-cased name" \
    wait_for 90 windows_named '^release\.nfo - Quorvin$'
window=$(windows_named '^release\.nfo - Quorvin$' | head -n 1)
[[ -n "$window" ]] || exit 1
sleep 2

# The art: text colour (224, 224, 224) on black, well over a tenth of the window each.
import -window "$window" "$work/window.png"
share() { convert "$work/window.png" -fill white -opaque "$1" -fill black +opaque white \
    -format '%[fx:mean]' info:; }
art=$(share '#E0E0E0')
paper=$(share '#000000')
echo "         text colour $art, background $paper of the window"
check "the art is on the screen" awk -v a="$art" -v p="$paper" 'BEGIN { exit !(a > 0.1 && p > 0.2) }'

xdotool windowfocus --sync "$window"
xdotool key --delay 100 ctrl+Home ctrl+shift+End ctrl+c
# Bytes below 32 (but the line breaks) and 127 are copied as their code page 437 glyphs.
glyphs=(☺ ☻ ♥ ♦ ♣ ♠ • ◘ ○ ◙ ♂ ♀ ♪ ♫ ☼ ► ◄ ↕ ‼ ¶ § ▬ ↨ ↑ ↓ → ← ∟ ↔ ▲ ▼)
to_glyphs='s/\x7f/⌂/g'
for byte in {1..31}; do
    ((byte == 10 || byte == 13)) || to_glyphs+=$(printf ';s/\\x%02x/%s/g' "$byte" "${glyphs[byte - 1]}")
done
expected=$(iconv -f CP437 -t UTF-8 "$nfo" | tr -d '\r' | sed "$to_glyphs")
copied() { [[ "$(xclip -o -selection clipboard | tr -d '\r')" == "$expected" ]]; }
check "the art is copied as Unicode" wait_for 10 copied

# Options, Text, Font size: the fifth size, 14 points.
xdotool key --delay 200 alt+o t s Down Down Down Down Return
check "fontsize.ini holds 14" wait_for 10 same_bytes "$program/fontsize.ini" '14\r\n'

xdotool windowfocus --sync "$window"
xdotool key --delay 300 ctrl+w ctrl+e
opened() { grep -qx "$1" "$work/opened" 2>/dev/null; }
check "webdial opens the web page" wait_for 30 opened 'https://quorvin.example.org/'
check "webdial starts an e-mail" wait_for 30 opened 'mailto:team@quorvin.example.org'

# About: its window stays while howl.wav (1.5 s) plays, however long Wine takes to play it.
xdotool windowfocus --sync "$window"
before=$(visible_windows)
xdotool key ctrl+a
more_windows() { (($(visible_windows) > before)); }
wait_for 10 more_windows || true
started=$(date +%s%N)
while (($(visible_windows) > before)) && (($(date +%s%N) - started < 10000000000)); do
    sleep 0.05
done
shown=$((($(date +%s%N) - started) / 1000000))
echo "         About window shown for $shown ms"
check "About lasts as long as its sound" test "$shown" -ge 1200 -a "$shown" -lt 10000

xdotool windowfocus --sync "$window"
xdotool key ctrl+h
check "Notepad shows the help text" wait_for 30 windows_named '^contents\.txt - Notepad$'
# Notepad keeps the keyboard; it is ended (it was started for this test) to give it back.
notepad=$(windows_named '^contents\.txt - Notepad$' | head -n 1)
[[ -z "$notepad" ]] || kill "$(xdotool getwindowpid "$notepad")" || true
notepad_gone() { ! windows_named 'Notepad$'; }
wait_for 10 notepad_gone || true
# A click in the text makes Quorvin Wine's active window again.
xdotool mousemove --window "$window" 200 150 click 1
sleep 0.5
xdotool key Escape
ended() { ! kill -0 "$pid" 2>/dev/null; }
check "Escape ends the program" wait_for 20 ended
check "quorvin.ini is written beside the program, byte for byte" same_bytes \
    "$program/quorvin.ini" 'v1.19\r\nFC- 14737632 \r\nBC- 0 \r\nState- 0 \r\nTop-1500\r\nLeft-990\r\nNheight-5995\r\nNwidth-10005\r\nDheight-3000\r\nDwidth-6000\r\n'

echo "Windows end to end under Wine:"
echo "Totals: $passed passed, $failed failed"
((failed == 0))
