#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quorvin need, and only
# those that are missing: when everything is there it asks nothing of the network and returns
# at once. Runs as root, or through sudo when it is available.
#   install-deps.sh            what the Linux build and its tests need
#   install-deps.sh windows    that, and what cross-building for Windows and its tests need
set -euo pipefail

packages=(
    # Build tools, and the formatter that the format check runs
    cmake ninja-build g++ pkg-config clang-format
    # Qt 6 Widgets, Gui, Core and Test, with the OpenGL headers that Qt's CMake files ask for
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    # quorvin-render's PNGs
    libpng-dev
    # Sound: decoding (libsndfile) and synchronous playback (PulseAudio simple API)
    libsndfile1-dev libpulse-dev
    # A real sound server with a null sink for the tests, and its command-line clients
    pulseaudio pulseaudio-utils
    # Headless X display for the end-to-end tests and screenshots, and tools to drive it
    xvfb xauth x11-utils xdotool xclip imagemagick
    libxdamage-dev libx11-dev libxfixes-dev
    # Reads the clipboard in the end-to-end tests, as another program would
    xclip
    # The monospace font with full code page 437 coverage
    fonts-dejavu-core
    # The IBM PC ROM faces (CC BY-SA 4.0); the text area draws its 9-point letters from the EGA
    # face, and falls back to DejaVu Sans Mono without it
    fonts-pc
    # Installing for a user, checked by the tests: the desktop entry's validator and database,
    # the MIME database and the desktop's openers (xdg-utils with the MIME reader its generic
    # mode uses, and GLib's gio)
    desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl file libglib2.0-bin
    # Pictures of the art, checked by the install test: the desktop's thumbnail service (Tumbler)
    # on a private session bus (dbus-run-session), AppStream's validator for the metainfo, and
    # man for the renderer's page
    tumbler dbus dbus-daemon appstream man-db
    # Benchmarks; quorvin-render is timed against ansilove
    libbenchmark-dev ansilove
    # clang with its runtime libraries for libFuzzer
    clang libclang-rt-14-dev
    # The coverage report of `make coverage` (line and branch coverage from gcc's counters)
    gcovr
)

if [[ "${1:-}" == windows ]]; then
    packages+=(
        # The MinGW-w64 cross compiler (POSIX threads, as the static Qt for Windows was built
        # with) and its binutils, which also check the programs' DLL imports
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        # Wine runs the Windows programs for their tests; the packed Qt is xz, the package zip
        wine wine64 xz-utils zip unzip
    )
fi

# One dpkg-query for all of them; a package that dpkg has never heard of prints nothing.
declare -A installed=()
while read -r name status; do
    [[ "$status" == installed ]] && installed["${name%%:*}"]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)

missing=()
for package in "${packages[@]}"; do
    [[ -n "${installed[$package]:-}" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"

as_root=()
if ((EUID != 0)); then
    if command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
    else
        echo "install-deps: missing packages (${missing[*]}) and not root, with no sudo" >&2
        exit 1
    fi
fi

# Recommended packages come along too (the Qt platform plugins and themes, ImageMagick's
# coders), as on the machines where the build and the tests were checked.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
