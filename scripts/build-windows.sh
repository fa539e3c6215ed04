#!/usr/bin/env bash
# build-windows.sh package | test
#
# Cross-builds Quorvin for 64-bit Windows with Debian's MinGW-w64 against a static Qt into
# build-windows/, so that the programs need no DLL beyond Windows' own.
#   package  quorvin.exe and webdial.exe with howl.wav and contents.txt beside them, checked
#            for their DLLs, and packed as build-windows/quorvin-VERSION-windows.zip
#   test     the in-process test programs, run under Wine by CTest (headless, minimal
#            platform), then the end-to-end run of the packed program under Wine on Xvfb
#            (tests/windows/e2e-wine.sh); run it inside scripts/with-test-env.sh
#
# Qt for Windows is looked for in $QT_MINGW_PREFIX, by default ~/.cache/quorvin/qt-mingw-6.4.2.
# When it is not there it is unpacked from a packed copy ($QT_MINGW_PACKED, by default
# ../shared/winqt/qt-mingw-6.4.2.tar.xz beside the repository, checked against the SHA256SUMS
# beside it; a few seconds), or else built from Debian's source with scripts/build-qt-mingw.sh
# (about 25 minutes on 2 cores).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
mode=${1:-package}
version=6.4.2
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorvin
qt=${QT_MINGW_PREFIX:-$cache/qt-mingw-$version}
packed=${QT_MINGW_PACKED:-$root/../shared/winqt/qt-mingw-$version.tar.xz}
build=$root/build-windows

step() { printf 'build-windows: %s\n' "$*"; }

ensure_qt() {
    [[ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]] && return 0
    mkdir -p "$cache"
    if [[ -f "$packed" ]]; then
        local sums started=$SECONDS
        sums=$(dirname "$packed")/SHA256SUMS
        if [[ -f "$sums" ]]; then
            (cd "$(dirname "$packed")" && grep " $(basename "$packed")\$" SHA256SUMS | sha256sum --quiet -c)
        fi
        step "unpacking $packed into $qt"
        local unpack
        unpack=$(mktemp -d "$cache/unpack.XXXXXX")
        tar -C "$unpack" -xJf "$packed"
        rm -rf "$qt"
        mv "$unpack/qt-mingw-$version" "$qt"
        rmdir "$unpack"
        step "unpacked in $((SECONDS - started)) s"
    else
        step "no packed Qt at $packed: building it into $qt (about 25 minutes)"
        PREFIX="$qt" "$root/scripts/build-qt-mingw.sh" "$cache/qt-mingw-work"
    fi
}

configure() {
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$qt/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUORVIN_BENCH=OFF \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/with-wine.sh" >/dev/null
}

# Every DLL a program imports must be one of Windows' own.
check_imports() {
    local exe=$1 dll bad=0
    while read -r dll; do
        if ! [[ "${dll,,}" =~ ^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|winmm|ws2_32|uxtheme|dwmapi|imm32|shlwapi|version|netapi32|userenv|setupapi|shcore|wtsapi32|mpr|authz|crypt32|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|winspool\.drv|msvcrt|ntdll|api-ms-win-[a-z0-9-]+)(\.dll)?$ ]]; then
            echo "build-windows: $exe imports $dll, which is not part of Windows" >&2
            bad=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }')
    ((bad == 0))
}

package() {
    local name pkg zip
    name=$(sed -n 's/^project(Quorvin VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
    pkg=$build/Quorvin
    zip=$build/quorvin-$name-windows.zip
    for exe in quorvin.exe webdial.exe; do
        check_imports "$build/$exe"
    done
    rm -rf "$pkg" "$zip"
    mkdir -p "$pkg"
    cp "$build/quorvin.exe" "$build/webdial.exe" "$build/howl.wav" "$build/contents.txt" "$pkg/"
    x86_64-w64-mingw32-strip "$pkg/quorvin.exe" "$pkg/webdial.exe"
    # What is built into the programs, and under which licences (CR LF, for Notepad).
    cp /usr/share/doc/fonts-pc/copyright "$pkg/LICENSE-fonts-pc.txt"
    cp /usr/share/doc/fonts-dejavu-core/copyright "$pkg/LICENSE-DejaVu.txt"
    sed -i 's/$/\r/' "$pkg/LICENSE-fonts-pc.txt" "$pkg/LICENSE-DejaVu.txt"
    sed 's/$/\r/' >"$pkg/README.txt" <<EOF
Quorvin $name for Windows: a viewer for .nfo and .diz text art in code page 437.

Unpack the folder anywhere you may write to and run quorvin.exe, or open a file with it.
Its settings, quorvin.ini and fontsize.ini, are written in this folder.

Built into quorvin.exe:
- the IBM EGA 8 x 14 ROM face, from "The Ultimate Oldschool PC Font Pack" by VileR
  (int10h.org), as Debian's fonts-pc converts it; CC BY-SA 4.0, see LICENSE-fonts-pc.txt.
  The 9-point letters are drawn from it.
- DejaVu Sans Mono, the letters at the other sizes; see LICENSE-DejaVu.txt.
- Qt $version (qtbase), linked statically; LGPL 3 (https://www.qt.io/licensing/).
EOF
    (cd "$build" && zip -qr "$zip" Quorvin)
    step "packed $zip ($(du -h "$zip" | cut -f1))"
}

ensure_qt
configure
case $mode in
package)
    cmake --build "$build" --target quorvin webdial -j"${JOBS:-$(nproc)}"
    package
    ;;
test)
    cmake --build "$build" -j"${JOBS:-$(nproc)}"
    package
    status=0
    ctest --test-dir "$build" --output-on-failure || status=$?
    "$root/tests/windows/e2e-wine.sh" "$build/quorvin-"*-windows.zip || status=$?
    "$root/scripts/with-wine.sh" --stop
    exit "$status"
    ;;
*)
    echo "usage: $0 package | test" >&2
    exit 2
    ;;
esac
