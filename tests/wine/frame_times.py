#!/usr/bin/python3
"""Frames a second a program shows on $DISPLAY: frame_times.py SECONDS.

Each frame reaches the X server as one update: DAMAGE events (python3-xlib)
within a few ms, by the server's clock. Frames are due on a lattice of the
period; lateness only adds time (a dropped frame starts a new run), so the
longest edge of a run's lower convex hull lies on the lattice, however busy
the machine; 40 frames along it end the watch before SECONDS. Prints
updates=, span= (frames along that edge) and fps=.
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
    while (left := end - time.monotonic()) > 0 and cadence(starts)[0] < 40:
        select.select([d], [], [], min(left, 0.5))
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
        for i, t_i in enumerate(run):
            while len(hull) >= 2 and (hull[-1][0] - hull[-2][0]) * (t_i - hull[-2][1]) <= \
                    (hull[-1][1] - hull[-2][1]) * (i - hull[-2][0]):
                hull.pop()
            hull.append((i, t_i))
        for (i, a), (j, b) in zip(hull, hull[1:]):
            best = max(best, (j - i, b - a))
        run = [t]
    return best


if __name__ == "__main__":
    main()
