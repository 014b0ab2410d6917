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
  fps      updates a second over runs of 10, the median run, so that a
           frame late under load does not count against the cadence
  largest  requests in one update
"""
import select
import statistics
import sys
import time

from Xlib import X, display
from Xlib.ext import damage

GAP_MS = 6
RUN = 10


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
    runs = [RUN * 1000.0 / (starts[i + RUN] - starts[i]) for i in range(len(starts) - RUN)
            if starts[i + RUN] > starts[i]]
    print(f"updates={len(updates)}")
    print(f"fps={statistics.median(runs) if runs else 0:.2f}")
    print(f"largest={max((len(u) for u in updates), default=0)}")


if __name__ == "__main__":
    main()
