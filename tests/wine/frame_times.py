#!/usr/bin/python3
"""Frames a second a program shows on $DISPLAY, measured from outside it.

  /usr/bin/python3 frame_times.py SECONDS

Under Wine each frame reaches the X server as one update. The DAMAGE
extension (Debian's python3-xlib) reports its requests, stamped with the
server's own clock; those within a few milliseconds are one update. Frames
are due on a lattice of the frame period. One drawn late keeps its place;
one dropped starts the lattice anew (a gap of 1.5 periods ends a run). Any
lateness only adds time, so the lower convex hull of each run's times lies
on the lattice, and its longest edge gives the period however busy the
machine. Prints updates=, span= (frames along that edge) and fps=.
"""
import select
import statistics
import sys
import time

from Xlib import display
from Xlib.ext import damage


def main():
    d = display.Display()
    d.damage_query_version()
    # Damage on the root covers what is drawn into every window on it.
    d.screen().root.damage_create(damage.DamageReportRawRectangles)
    d.sync()
    starts, last = [], None
    end = time.monotonic() + float(sys.argv[1])
    while (left := end - time.monotonic()) > 0:
        select.select([d], [], [], left)
        for _ in range(d.pending_events()):
            e = d.next_event()
            if e.type == d.extension_event.DamageNotify:
                if last is None or not 0 <= e.timestamp - last <= 6:
                    starts.append(e.timestamp)
                last = e.timestamp
    span, took = cadence(starts)
    print(f"updates={len(starts)}\nspan={span}\nfps={1000 * span / took if took else 0:.2f}")


def cadence(starts):
    """Frames and milliseconds of the longest stretch of the frame lattice."""
    gaps = [b - a for a, b in zip(starts, starts[1:])]
    typical = statistics.median(gaps) if gaps else 0
    best, run = (0, 0), starts[:1]
    for t in starts[1:] + [None]:
        if t is not None and t - run[-1] < 1.5 * typical:
            run.append(t)
            continue
        hull = []  # the lower convex hull of (index, time)
        for point in enumerate(run):
            while len(hull) >= 2 and cross(hull[-2], hull[-1], point) <= 0:
                hull.pop()
            hull.append(point)
        for (i, a), (j, b) in zip(hull, hull[1:]):
            best = max(best, (j - i, b - a))
        run = [t]
    return best


def cross(o, a, b):
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])

if __name__ == "__main__":
    main()
