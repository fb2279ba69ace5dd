#!/usr/bin/env python3
"""Samples the idle cost of Linux processes (Wine processes and wineservers) over a time span and
prints wake-ups, CPU and resident memory side by side, with the gaps between the reports each
display log records in that span. run_idle_bench.sh calls it; the first two processes named are
compared (program, then floor).

Usage: idle_sample.py SECONDS NAME=PID... [--logs PROGRAM_LOG FLOOR_LOG]
A PID of 0 is shown as missing."""
import datetime
import os
import re
import sys
import time


def read_threads(pid):
    """{tid: (name, voluntary, involuntary, cpu_ns)} for every live thread of pid."""
    threads = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return threads
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                status = f.read()
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                cpu_ns = int(f.read().split()[0])
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
        except OSError:
            continue  # ended while being read
        vol = int(re.search(r"^voluntary_ctxt_switches:\s+(\d+)", status, re.M).group(1))
        invol = int(re.search(r"^nonvoluntary_ctxt_switches:\s+(\d+)", status, re.M).group(1))
        threads[tid] = (name, vol, invol, cpu_ns)
    return threads


def memory_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            status = f.read()
    except OSError:
        return 0, 0
    rss = re.search(r"^VmRSS:\s+(\d+)", status, re.M)
    hwm = re.search(r"^VmHWM:\s+(\d+)", status, re.M)
    return (int(rss.group(1)) if rss else 0), (int(hwm.group(1)) if hwm else 0)


def thread_deltas(before, after):
    """Per thread over the span: (name, wake-ups, involuntary, cpu_ns); threads born meanwhile
    count from zero, threads that ended meanwhile are lost (their number is returned too)."""
    deltas = {}
    for tid, (name, vol, invol, cpu) in after.items():
        _, vol0, invol0, cpu0 = before.get(tid, (name, 0, 0, 0))
        deltas[tid] = (name, vol - vol0 + invol - invol0, invol - invol0, cpu - cpu0)
    ended = len(set(before) - set(after))
    return deltas, ended


def report_gaps(path, start_utc, end_utc):
    """Gaps in ms between consecutive temperature reports logged within the span."""
    pattern = re.compile(r"^(\S+ \S+) UTC\s+([\d.]+) ms .* set .* bytes 07 ff ff")
    stamps = []
    try:
        with open(path, errors="replace") as f:
            for line in f:
                m = pattern.match(line)
                if not m:
                    continue
                utc = datetime.datetime.strptime(m.group(1), "%Y-%m-%d %H:%M:%S.%f")
                if start_utc <= utc <= end_utc:
                    stamps.append(float(m.group(2)))
    except OSError:
        pass
    return [b - a for a, b in zip(stamps, stamps[1:])]


def main():
    args = sys.argv[1:]
    logs = []
    if "--logs" in args:
        at = args.index("--logs")
        logs = args[at + 1 :]
        args = args[:at]
    seconds = float(args[0])
    processes = [tuple(item.rsplit("=", 1)) for item in args[1:]]

    start_utc = datetime.datetime.utcnow()
    before = {name: read_threads(pid) for name, pid in processes if pid != "0"}
    time.sleep(seconds)
    after = {name: read_threads(pid) for name, pid in processes if pid != "0"}
    end_utc = datetime.datetime.utcnow()

    totals = {}
    print(f"{'':28} {'wake-ups/s':>10} {'(invol.)':>9} {'CPU ms':>8} {'% core':>7} {'RSS MiB':>8} {'peak MiB':>9}")
    for name, pid in processes:
        if pid == "0":
            print(f"{name:28} not found")
            continue
        deltas, ended = thread_deltas(before[name], after[name])
        wakeups = sum(d[1] for d in deltas.values())
        invol = sum(d[2] for d in deltas.values())
        cpu_ms = sum(d[3] for d in deltas.values()) / 1e6
        rss, hwm = memory_kib(pid)
        totals[name] = (wakeups / seconds, cpu_ms, rss, deltas)
        note = f"  ({ended} threads ended meanwhile, not counted)" if ended else ""
        print(
            f"{name:28} {wakeups / seconds:10.2f} {invol / seconds:9.2f} {cpu_ms:8.1f} "
            f"{cpu_ms / seconds / 10:7.3f} {rss / 1024:8.1f} {hwm / 1024:9.1f}{note}"
        )

    names = [name for name, _ in processes]
    if len(names) >= 4 and all(n in totals for n in names[:4]):
        program, floor, program_server, floor_server = names[:4]
        p, f = totals[program], totals[floor]
        ps, fs = totals[program_server], totals[floor_server]
        print(
            f"program / floor: wake-ups {p[0]:.2f} / {f[0]:.2f} per s, CPU {p[1] / max(f[1], 1e-9):.2f}x, "
            f"resident {(p[2] - f[2]) / 1024:+.1f} MiB"
        )
        print(
            f"the program's wineserver beyond the floor's: {ps[0] - fs[0]:+.2f} wake-ups/s, "
            f"{ps[1] - fs[1]:+.1f} ms CPU; program threads plus that: {p[0] + ps[0] - fs[0]:.2f} wake-ups/s"
        )
        print(
            f"with their wineservers: wake-ups {p[0] + ps[0]:.2f} / {f[0] + fs[0]:.2f} per s, CPU "
            f"{(p[1] + ps[1]) / max(f[1] + fs[1], 1e-9):.2f}x"
        )

    for label, path in zip(("program", "floor"), logs):
        gaps = report_gaps(path, start_utc, end_utc)
        if not gaps:
            print(f"{label} report gaps: no reports in the span")
            continue
        outside = sum(1 for g in gaps if abs(g - 1000) > 50)
        print(
            f"{label} report gaps: {len(gaps)} gaps, min {min(gaps):.1f} ms, mean {sum(gaps) / len(gaps):.1f} ms, "
            f"max {max(gaps):.1f} ms, {outside} outside 1000 +- 50 ms"
        )

    for name in names[:2]:
        if name not in totals:
            continue
        print(f"{name} threads (wake-ups/s, CPU ms):")
        for tid, (comm, wakeups, _, cpu) in sorted(totals[name][3].items(), key=lambda t: -t[1][1]):
            print(f"  {tid:>8} {comm:16} {wakeups / seconds:7.2f} {cpu / 1e6:8.1f}")


if __name__ == "__main__":
    main()
