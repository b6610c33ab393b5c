#!/usr/bin/python3
"""The same work with ezdxf for comparison: read the drawing and flatten every
entity the reader turns into figures (0.01 mm sagitta, about what the
reader's segment lengths give). CPU time of the process, as the reader's
benchmark measures it.

    /usr/bin/python3 bench/dxf/ezdxf_read.py DRAWING.dxf
"""
import os
import sys
import time

import ezdxf

SAGITTA = 0.01


def flatten(e):
    kind = e.dxftype()
    if kind == "LINE":
        return 2
    if kind in ("CIRCLE", "ARC", "ELLIPSE", "SPLINE"):
        return sum(1 for _ in e.flattening(SAGITTA))
    if kind in ("LWPOLYLINE", "POLYLINE"):
        count = 0
        for piece in e.virtual_entities():
            count += 2 if piece.dxftype() == "LINE" else sum(1 for _ in piece.flattening(SAGITTA))
        return count
    return 0


def main():
    path = sys.argv[1]
    start = time.process_time()
    doc = ezdxf.readfile(path)
    read = time.process_time()
    points = 0
    entities = 0
    for e in doc.modelspace():
        n = flatten(e)
        if n:
            entities += 1
            points += n
    done = time.process_time()
    megabytes = os.path.getsize(path) / 1e6
    print(f"file {megabytes:.1f} MB, {entities} entities, {points} points")
    print(f"ezdxf CPU time: read {read - start:.3f} s + flatten {done - read:.3f} s = {done - start:.3f} s, "
          f"{megabytes / (done - start):.1f} MB/s")


if __name__ == "__main__":
    main()
