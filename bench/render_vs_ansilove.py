#!/usr/bin/env python3
"""Times quorvin-render against Debian's ansilove, from process start to the PNG written.

Usage: render_vs_ansilove.py QUORVIN_RENDER [ROUNDS]

Inputs (always the same bytes, written to a temporary folder):
  text-1k.nfo    1 KB of plain release-note text, CR LF lines
  art-8k.nfo     8 KB of block, shade and line art (gen_inputs.py's art)
  art-64k.nfo    64 KB of the same art
Each round runs every input with both programs, in alternating order, so that both meet the
same machine load; each run's wall time is from fork to exit (both exit once the PNG is
written), and its CPU time is the child's user + system time. Prints the medians as a
Markdown table with the ratio ansilove / quorvin-render, and the PNG sizes.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_inputs import art  # noqa: E402


def text(size):
    words = (b"release notes for the crew greets all members and couriers "
             b"install run the setup program then copy the files ").split()
    out = bytearray()
    line = bytearray()
    i = 0
    while len(out) < size:
        word = words[i % len(words)]
        i += 1
        if len(line) + len(word) + 1 > 70:
            out += line + b"\r\n"
            line = bytearray()
        line += word + b" "
    return bytes(out[:size - 2] + b"\r\n")


def run(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        raise SystemExit(f"failed: {' '.join(command)}")
    return wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000


def main():
    if len(sys.argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    renderer = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) == 3 else 31
    with tempfile.TemporaryDirectory() as folder:
        inputs = {"text-1k.nfo": text(1024), "art-8k.nfo": art(8192, b"\r\n"),
                  "art-64k.nfo": art(65536, b"\r\n")}
        tools = {
            "quorvin-render": lambda i, o: [renderer, i, o],
            "ansilove": lambda i, o: ["ansilove", "-q", "-o", o, i],
        }
        times = {(name, tool): ([], []) for name in inputs for tool in tools}
        for name, data in inputs.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        for r in range(rounds):
            for name in inputs:
                order = list(tools) if r % 2 == 0 else list(reversed(tools))
                for tool in order:
                    path = os.path.join(folder, name)
                    out = os.path.join(folder, f"{tool}-{name}.png")
                    wall, cpu = run(tools[tool](path, out))
                    times[(name, tool)][0].append(wall)
                    times[(name, tool)][1].append(cpu)
        print(f"{rounds} interleaved rounds; medians, quorvin-render / ansilove\n")
        print("| Input | Wall, ms | ansilove / quorvin-render | CPU, ms | PNG bytes |")
        print("| --- | --- | --- | --- | --- |")
        for name in inputs:
            q_wall, q_cpu = (statistics.median(v) for v in times[(name, "quorvin-render")])
            a_wall, a_cpu = (statistics.median(v) for v in times[(name, "ansilove")])
            sizes = [os.path.getsize(os.path.join(folder, f"{t}-{name}.png")) for t in tools]
            print(f"| {name} | {q_wall:.1f} / {a_wall:.1f} | {a_wall / q_wall:.2f} "
                  f"| {q_cpu:.1f} / {a_cpu:.1f} | {sizes[0]} / {sizes[1]} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
