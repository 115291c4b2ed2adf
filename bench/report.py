#!/usr/bin/env python3
"""Markdown tables from rezydo-bench JSON output.

report.py RESULT.json [UNINDEXED.json]: the figures of each program benchmark
beside its bare query and the ratio; with a second file (a run with
REZYDO_BENCH_INDEXES=0) also the program figures without the indexes.

A run with the server (REZYDO_BENCH_SERVER=1) has NAME/server and
NAME/serverbare beside NAME/program and NAME/bare: the table then has both
engines' columns. The server does its work in a process of its own, so the
CPU time of the benchmark program says little there: the server's ratios are
of wall-clock time."""
import json
import sys


def load(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    # With --benchmark_repetitions the median of the repetitions stands for
    # the benchmark; a single run stands for itself.
    out = {}
    medians = {}
    for r in runs:
        name = r["run_name"].split("/iterations:")[0].replace("/real_time", "")
        case, _, side = name.rpartition("/")
        kind = r.get("run_type", "iteration")
        if r.get("error_occurred"):
            continue
        if kind == "iteration":
            out.setdefault(case, {})[side] = r
        elif kind == "aggregate" and r.get("aggregate_name") == "median":
            medians.setdefault(case, {})[side] = r
    for case, sides in medians.items():
        out.setdefault(case, {}).update(sides)
    return out


def ms(r, key):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r["time_unit"]]
    return r[key] * scale


def fmt(v):
    return f"{v:.3f}" if v < 1 else f"{v:.1f}" if v < 100 else f"{v:.0f}"


def ratio(a, b, key):
    return f"{ms(a, key) / ms(b, key):.2f}" if a and b else ""


def times(r):
    return [fmt(ms(r, "real_time")), fmt(ms(r, "cpu_time"))] if r else ["", ""]


def rows_of(r):
    if not r:
        return ""
    rows = ""
    for key in ("rows", "lines", "months", "persons", "free_rooms", "pages", "statements",
                "in_main_ms"):
        if key in r:
            rows = r[key]
            break
    return f"{rows:.0f}" if isinstance(rows, float) else str(rows)


def one_engine(data, before):
    head = "| benchmark | program real ms | program CPU ms | bare real ms | bare CPU ms | CPU ratio | rows |"
    if before:
        head += " CPU ms without indexes |"
    print(head)
    print("|" + "---|" * (head.count("|") - 1))
    for case, sides in data.items():
        p = sides.get("program")
        b = sides.get("bare")
        if not p:
            continue
        # A whole process is timed by the clock: the parent's CPU says nothing.
        key = "real_time" if case == "Startup" else "cpu_time"
        row = [case] + times(p) + (times(b) + [ratio(p, b, key)] if b else ["", "", ""])
        row.append(rows_of(p))
        if before:
            q = before.get(case, {}).get("program")
            row.append(fmt(ms(q, "cpu_time")) if q else "")
        print("| " + " | ".join(row) + " |")


def both_engines(data):
    head = ("| benchmark | file program real | file program CPU | file bare real | file bare CPU "
            "| file CPU ratio | server program real | server program CPU | server bare real "
            "| server bare CPU | server real ratio | server / file, program real | rows |")
    print(head)
    print("|" + "---|" * (head.count("|") - 1))
    for case, sides in data.items():
        p, b = sides.get("program"), sides.get("bare")
        s, sb = sides.get("server"), sides.get("serverbare")
        if not (p or s):
            continue
        key = "real_time" if case == "Startup" else "cpu_time"
        row = [case] + times(p) + times(b) + [ratio(p, b, key)]
        row += times(s) + times(sb) + [ratio(s, sb, "real_time"), ratio(s, p, "real_time")]
        row.append(rows_of(p or s))
        print("| " + " | ".join(row) + " |")


def main():
    data = load(sys.argv[1])
    before = load(sys.argv[2]) if len(sys.argv) > 2 else {}
    if any("server" in sides or "serverbare" in sides for sides in data.values()):
        both_engines(data)
    else:
        one_engine(data, before)


if __name__ == "__main__":
    main()
