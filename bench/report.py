#!/usr/bin/env python3
"""Markdown tables from rezydo-bench JSON output.

report.py RESULT.json [UNINDEXED.json]: the figures of each program benchmark
beside its bare query and the ratio; with a second file (a run with
REZYDO_BENCH_INDEXES=0) also the program figures without the indexes."""
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


def main():
    data = load(sys.argv[1])
    before = load(sys.argv[2]) if len(sys.argv) > 2 else {}
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
        row = [case, fmt(ms(p, "real_time")), fmt(ms(p, "cpu_time"))]
        if b:
            # A whole process is timed by the clock: the parent's CPU says nothing.
            key = "real_time" if case == "Startup" else "cpu_time"
            row += [fmt(ms(b, "real_time")), fmt(ms(b, "cpu_time")),
                    f"{ms(p, key) / ms(b, key):.2f}"]
        else:
            row += ["", "", ""]
        rows = p.get("rows", p.get("months", p.get("pages", p.get("statements",
                                                                   p.get("in_main_ms", "")))))
        row.append(f"{rows:.0f}" if isinstance(rows, float) else str(rows))
        if before:
            q = before.get(case, {}).get("program")
            row.append(fmt(ms(q, "cpu_time")) if q else "")
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
