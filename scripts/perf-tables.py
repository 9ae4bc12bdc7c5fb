#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Turns the output of scripts/perf.sh into the Markdown tables of docs/performance.md.

    scripts/perf.sh build-bench > perf.txt; scripts/perf-tables.py perf.txt
    scripts/perf-tables.py before.txt after.txt     # one scene per row, before beside after
"""
import re
import sys

SCENE = re.compile(r"^== scene (title|level \d), (headless|window)(, no culling)?")
WORK = re.compile(r"^work (\w+) +samples +(\d+) +median +([\d.]+) ms \( *([\d.]+)% of 33 ms\) +p99 +([\d.]+) ms "
                  r"\( *([\d.]+)%\) +max +([\d.]+) ms")
PACING = re.compile(r"^pacing +periods +(\d+) +mean +([\d.]+) ms +p99 \|period - 33 ms\| +([\d.]+) ms +max +([\d.]+)")
CPU = re.compile(r"^cpu +([\d.]+) ms per iteration")
START = re.compile(r"^start-up +launch->main (\S+)(?: ms)? +main->engine ([\d.]+) ms +->resources ([\d.]+) ms "
                   r"+->title ([\d.]+) ms +->(?:first frame shown|iteration 1 done) ([\d.-]+) ms")
MEMORY = re.compile(r"^memory +VmHWM (\d+) kB +VmRSS (\d+) kB")
LOAD = re.compile(r"^-- load: load average: ([\d.]+), ([\d.]+), ([\d.]+)")


def parse(lines):
    runs = []
    load = None
    current = None
    for line in lines:
        match = LOAD.match(line)
        if match:
            load = match.group(1)
            continue
        match = SCENE.match(line)
        if match:
            current = {"scene": match.group(1), "mode": match.group(2), "culling": not match.group(3),
                       "load": load}
            runs.append(current)
            continue
        if current is None:
            continue
        match = WORK.match(line)
        if match and (match.group(1) == "level") == current["scene"].startswith("level"):
            current["work"] = match.groups()[1:]
        elif PACING.match(line):
            current["pacing"] = PACING.match(line).groups()
        elif CPU.match(line):
            current["cpu"] = CPU.match(line).group(1)
        elif START.match(line):
            current["start"] = START.match(line).groups()
        elif MEMORY.match(line):
            current["memory"] = MEMORY.match(line).groups()
    return runs


def read(path):
    with open(path, encoding="utf-8") as source:
        return parse(source.read().splitlines())


def compare(before, after):
    print("| Scene | Mode | Median before → after | p99 before → after | Processor time before → after "
          "| Mean period before → after |")
    print("|---|---|---|---|---|---|")
    earlier = {(run["scene"], run["mode"]): run for run in before if "work" in run}
    for run in after:
        old = earlier.get((run["scene"], run["mode"]))
        if old is None or "work" not in run:
            continue
        print(f"| {run['scene']} | {run['mode']} | {old['work'][1]} → {run['work'][1]} ms | "
              f"{old['work'][3]} → {run['work'][3]} ms | {old.get('cpu', '?')} → {run.get('cpu', '?')} ms | "
              f"{old['pacing'][1]} → {run['pacing'][1]} ms |")


def main():
    if len(sys.argv) == 3:
        compare(read(sys.argv[1]), read(sys.argv[2]))
        return
    runs = read(sys.argv[1])
    print("| Scene | Mode | Samples | Median | p99 | Max | Share of 33 ms (median / p99) | Processor time | Load |")
    print("|---|---|---|---|---|---|---|---|---|")
    for run in runs:
        if "work" not in run:
            continue
        samples, median, median_share, p99, p99_share, largest = run["work"]
        mode = run["mode"] + ("" if run["culling"] else ", no culling")
        print(f"| {run['scene']} | {mode} | {samples} | {median} ms | {p99} ms | {largest} ms | "
              f"{median_share}% / {p99_share}% | {run.get('cpu', '?')} ms | {run['load']} |")
    print()
    print("| Scene | Mode | Periods | Mean period | p99 of \\|period − 33 ms\\| | Max deviation |")
    print("|---|---|---|---|---|---|")
    for run in runs:
        if "pacing" in run:
            periods, mean, p99, largest = run["pacing"]
            print(f"| {run['scene']} | {run['mode']} | {periods} | {mean} ms | {p99} ms | {largest} ms |")
    print()
    print("| Scene | Mode | launch → main | → engine started | → resources | → title | → first frame shown "
          "(headless: iteration 1 done) | VmHWM | VmRSS |")
    print("|---|---|---|---|---|---|---|---|---|")
    for run in runs:
        if "start" in run and "memory" in run:
            launch, engine, resources, title, first = run["start"]
            hwm, rss = run["memory"]
            launch = launch if launch.endswith("ms") or launch == "n/a" else launch + " ms"
            print(f"| {run['scene']} | {run['mode']} | {launch} | {engine} ms | {resources} ms | {title} ms | "
                  f"{first} ms | {int(hwm) / 1024:.1f} MiB | {int(rss) / 1024:.1f} MiB |")


if __name__ == "__main__":
    main()
