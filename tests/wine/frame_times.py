#!/usr/bin/python3
"""Counts the frames a program shows on the X display, from outside it.

  /usr/bin/python3 frame_times.py SECONDS

Watches every window of $DISPLAY's screen through the DAMAGE extension
(Debian's python3-xlib) for SECONDS, and groups the damage the server
reports into updates: the requests of one update reach the server within a
few milliseconds, and frames are 30 ms apart or more. The times are the
server's own, so neither this script's nor the program's scheduling moves
them. Prints key=value lines; the scenario judges them:

  updates  updates seen
  fps      the cadence: updates a second while none is dropped (see cadence)
  runs     runs of updates without a drop
  largest  requests in one update
"""
import select
import statistics
import sys
import time

from Xlib import X, display
from Xlib.ext import damage

GAP_MS = 6


def main():
    seconds = float(sys.argv[1])
    d = display.Display()
    d.damage_query_version()
    # Damage on the root covers what is drawn into every window on it.
    d.screen().root.damage_create(damage.DamageReportRawRectangles)
    d.sync()
    events = []
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        select.select([d], [], [], left)
        for _ in range(d.pending_events()):
            e = d.next_event()
            if e.type == d.extension_event.DamageNotify:
                events.append(e.timestamp)
    updates, sizes = [], []
    for t in events:
        if updates and 0 <= t - updates[-1][-1] <= GAP_MS:
            updates[-1].append(t)
        else:
            updates.append([t])
    starts = [u[0] for u in updates]
    period, runs = cadence(starts)
    print(f"updates={len(updates)}")
    print(f"fps={1000.0 / period if period else 0:.2f}")
    print(f"runs={runs}")
    print(f"largest={max((len(u) for u in updates), default=0)}")


def cadence(starts):
    """The frame period in ms, and the runs of frames it was fitted over.

    Frames are due on a lattice of the period. One drawn late keeps its
    place on it; one dropped starts the lattice anew, and a gap of one and a
    half periods or more ends a run. The slope of a least-squares line through
    each run's times, pooled, is the period, so that neither a late frame
    nor a dropped one moves it.
    """
    gaps = [b - a for a, b in zip(starts, starts[1:])]
    if not gaps:
        return 0, 0
    typical = statistics.median(gaps)
    num = den = 0.0
    runs, run = 0, [starts[0]]
    for t in starts[1:] + [None]:
        if t is not None and t - run[-1] < 1.5 * typical:
            run.append(t)
            continue
        if len(run) >= 3:
            runs += 1
            mid, mean = (len(run) - 1) / 2, statistics.fmean(run)
            num += sum((i - mid) * (x - mean) for i, x in enumerate(run))
            den += sum((i - mid) ** 2 for i in range(len(run)))
        run = [t]
    return (num / den if den else 0), runs

if __name__ == "__main__":
    main()
