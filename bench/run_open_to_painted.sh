#!/bin/sh
# Times Quorvin against the bare Qt baseline viewer from process start to the window painted,
# on all six generated inputs, 7 interleaved runs each (RUNS overrides), on a private Xvfb.
# Build first:  cmake --build build -j2 --target quorvin baseline_viewer open_to_painted
# Extra arguments go to open_to_painted before the files (e.g. -v).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${RUNS:-7}
inputs=$build/bench-inputs

for program in "$build/quorvin" "$build/bench/baseline_viewer" "$build/bench/open_to_painted"; do
    if [ ! -x "$program" ]; then
        echo "run_open_to_painted: $program is missing; build it with" >&2
        echo "  cmake --build $build -j2 --target quorvin baseline_viewer open_to_painted" >&2
        exit 1
    fi
done

python3 "$root/bench/gen_inputs.py" "$inputs"

# Every start runs from a fresh program directory (a copy of the program and its companion
# files), so no settings file or lock of an earlier run is seen; every run ends with SIGKILL.
exec "$build/bench/open_to_painted" -n "$runs" --fresh-dir "$@" \
    --file "$inputs/art-1000-crlf.nfo" \
    --file "$inputs/art-20000-crlf.nfo" \
    --file "$inputs/art-64000-crlf.nfo" \
    --file "$inputs/art-64000-lf.nfo" \
    --file "$inputs/art-64000-nobreak.nfo" \
    --file "$inputs/art-64000-utf8.nfo" \
    -- "$build/quorvin" -- "$build/bench/baseline_viewer"
