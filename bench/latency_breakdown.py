#!/usr/bin/env python3
"""Where a press's time goes: joins the latency probe's log (press time, first changed pixel) with
a tracing build's stamps (cmake -DSPOTLEX_LATENCY_TRACE=ON) and prints the median and p95 of
every step, then the slowest 5% of the presses step by step, and what became of each press that
showed nothing. Both clocks are CLOCK_MONOTONIC_RAW in 100 ns ticks.
    latency_breakdown.py PROBE_LOG TRACE_FILE"""
import sys

STEPS = ["hook", "woken", "delivered", "named", "sounded", "placed", "sized", "region built",
         "region set", "shown", "painted", "handled"]
# Each row: its caption, the step it starts at and the step it ends at ("pressed" is the probe's
# X key press, "pixel" the first changed pixel it saw).
ROWS = [
    ("X event to hook procedure", "pressed", "hook"),
    ("hook to user-interface thread", "hook", "delivered"),
    ("  of which until the wake-up was posted", "hook", "woken"),
    ("filter, settings reads and naming", "delivered", "named"),
    ("stored place read, previous text put away", "named", "placed"),
    ("font, text measured, SetWindowPos", "placed", "sized"),
    ("region build (path to region)", "sized", "region built"),
    ("SetWindowRgn", "region built", "region set"),
    ("raise and show (SetWindowPos)", "region set", "shown"),
    ("first paint", "shown", "painted"),
    ("sound start (after the picture)", "painted", "sounded"),
    ("rest of the handler", "sounded", "handled"),
    ("window system's own work, to the first pixel", "handled", "pixel"),
    ("total: X event to first changed pixel", "pressed", "pixel"),
]
CLICK_ROWS = [
    ("X event to hook procedure", "pressed", "hook"),
    ("hook to user-interface thread", "hook", "delivered"),
    ("tray test and colour read", "delivered", "named"),
    ("place and size (SetWindowPos)", "named", "sized"),
    ("region build", "sized", "region built"),
    ("SetWindowRgn", "region built", "region set"),
    ("raise and show (SetWindowPos)", "region set", "shown"),
    ("sound start and rest of the handler", "shown", "handled"),
    ("window system's own work, to the first pixel", "handled", "pixel"),
    ("  of which until the first paint ran", "handled", "painted"),
    ("total: X event to first changed pixel", "pressed", "pixel"),
]


def pct(values, fraction):
    v = sorted(values)
    return v[min(int(fraction * len(v)), len(v) - 1)] if v else float("nan")


def main(probe_log, trace_file):
    presses = {"key": [], "click": []}
    with open(probe_log) as f:
        for line in f:
            kind, index, t0, ms = line.split()
            if int(index) >= 0:
                presses[kind].append((float(t0), float(t0) + float(ms) * 1e4 if float(ms) >= 0 else None))
    events = {"key": [], "click": []}
    with open(trace_file) as f:
        for line in f:
            parts = line.split()
            if parts[0] in events:
                events[parts[0]].append(dict(zip(STEPS, (float(x) for x in parts[1:]))))
    for kind, rows in (("key", ROWS), ("click", CLICK_ROWS)):
        # Each counted press meets the first hook stamp within 300 ms after it.
        joined, unseen = [], []
        for t0, pixel in presses[kind]:
            match = [e for e in events[kind] if 0 <= e["hook"] - t0 < 3e6]
            e = dict(min(match, key=lambda e: e["hook"])) if match else {}
            e["pressed"] = t0
            if pixel is None:
                unseen.append(e)
            elif match:
                e["pixel"] = pixel
                joined.append(e)
        if not joined and not unseen:
            continue
        print(f"{kind} presses traced: {len(joined)} of {len(presses[kind])}")
        print(f"  {'step':48} {'median ms':>10} {'p95 ms':>10}")
        for caption, start, end in rows:
            d = [(e[end] - e[start]) / 1e4 for e in joined if e.get(start) and e.get(end)]
            if d:
                print(f"  {caption:48} {pct(d, 0.5):10.3f} {pct(d, 0.95):10.3f}   ({len(d)})")
        # The tail, press by press: one column per step, in ms.
        steps = [(caption.strip(), start, end) for caption, start, end in rows if not caption.startswith("  ")]
        slowest = sorted(joined, key=lambda e: e["pixel"] - e["pressed"])[-max(1, -(-len(joined) // 20)):]
        print(f"  slowest {len(slowest)} {kind} presses, ms per step:")
        for caption, _, _ in steps:
            print(f"    {caption:46}" + "".join(
                f"{(e[end] - e[start]) / 1e4 if e.get(start) and e.get(end) else float('nan'):8.2f}"
                for e in slowest for c2, start, end in steps if c2 == caption))
        # A press that showed nothing: how far it got.
        for e in unseen:
            last = [s for s in ["pressed"] + STEPS if e.get(s)]
            print(f"  {kind} press not seen at {e['pressed'] / 1e7:.3f} s: reached {last[-1]}")




if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
