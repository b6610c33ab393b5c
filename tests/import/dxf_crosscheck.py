#!/usr/bin/python3
"""Writes DXF drawings with ezdxf covering every entity kind the reader turns
into figures, with their options, and ezdxf's own results for each of them.

Usage: dxf_crosscheck.py OUTPUT_FOLDER

For every drawing NAME.dxf it writes NAME.ref, one line per entity in file
order: kind, bounding box (min x, min y, max x, max y in drawing units, from
ezdxf's flattening at 1e-5), length, the largest curvature of the curve (0 for
straight pieces only) and the largest chord of the reference's own vertices
when the reference is itself a polyline through curve points (else 0).
"""
import math
import os
import sys

try:
    import ezdxf
    from ezdxf.math import BSpline, Vec3
except ImportError:
    sys.stderr.write("ezdxf is not installed for /usr/bin/python3 (scripts/setup installs python3-ezdxf)\n")
    sys.exit(3)

FINE = 1e-5


def pieces_stats(entity):
    """Bounding box and length of a polyline from ezdxf's own LINE and ARC
    pieces of it (arcs flattened on the true circle)."""
    minx = miny = math.inf
    maxx = maxy = -math.inf
    length = 0.0
    for piece in entity.virtual_entities():
        pts = [piece.dxf.start, piece.dxf.end] if piece.dxftype() == "LINE" else list(piece.flattening(FINE))
        x0, y0, x1, y1, piece_length = polyline_stats(pts)
        minx, miny, maxx, maxy = min(minx, x0), min(miny, y0), max(maxx, x1), max(maxy, y1)
        length += piece_length
    return minx, miny, maxx, maxy, length


def polyline_stats(points):
    pts = [(p[0], p[1]) for p in points]
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    length = sum(math.dist(pts[i], pts[i + 1]) for i in range(len(pts) - 1))
    return min(xs), min(ys), max(xs), max(ys), length


def spline_curvature(tool, samples=4000):
    if not isinstance(tool, BSpline):
        return 0.0
    t0, t1 = tool.knots()[tool.order - 1], tool.knots()[tool.count]
    worst = 0.0
    for i in range(samples + 1):
        t = t0 + (t1 - t0) * i / samples
        _, d1, d2 = tool.derivative(t, 2)
        speed = math.hypot(d1.x, d1.y)
        if speed > 1e-12:
            worst = max(worst, abs(d1.x * d2.y - d1.y * d2.x) / speed ** 3)
    return worst


def bulge_curvature(pairs):
    """pairs: (start, end, bulge) of the segments that carry a bulge."""
    worst = 0.0
    for a, b, bulge in pairs:
        if bulge:
            chord = math.dist(a, b)
            radius = chord / (2 * math.sin(2 * math.atan(abs(bulge))))
            worst = max(worst, 1 / radius)
    return worst


def reference(e):
    kind = e.dxftype()
    ref_chord = 0.0
    if kind == "LINE":
        pts = [e.dxf.start, e.dxf.end]
        curvature = 0.0
    elif kind in ("CIRCLE", "ARC"):
        pts = list(e.flattening(FINE))
        curvature = 1 / e.dxf.radius
    elif kind == "ELLIPSE":
        pts = list(e.flattening(FINE))
        a = Vec3(e.dxf.major_axis).magnitude
        b = a * e.dxf.ratio
        curvature = a / (b * b)
    elif kind == "SPLINE":
        pts = list(e.flattening(FINE))
        curvature = spline_curvature(e.construction_tool())
    elif kind == "LWPOLYLINE":
        pts = None
        v = [(x, y, b) for x, y, _, _, b in e.get_points()]
        n = len(v)
        segs = [((v[i][0], v[i][1]), (v[(i + 1) % n][0], v[(i + 1) % n][1]), v[i][2])
                for i in range(n if e.closed else n - 1)]
        curvature = bulge_curvature(segs)
    elif kind == "POLYLINE":
        flags = e.dxf.flags
        if flags & 6:
            # A fitted polyline: ezdxf draws its fitted vertices; the frame
            # control points are not part of the curve.
            pts = [v.dxf.location for v in e.vertices if not v.dxf.flags & 16]
            if e.is_closed:
                pts.append(pts[0])
            ref_chord = max(math.dist(pts[i], pts[i + 1]) for i in range(len(pts) - 1))
            curvature = float(e.get_xdata("TRAZVIK")[0].value) if e.has_xdata("TRAZVIK") else 0.0
        else:
            pts = None if not e.is_3d_polyline else [v.dxf.location for v in e.vertices]
            v = [(x.dxf.location.x, x.dxf.location.y, x.dxf.bulge) for x in e.vertices]
            n = len(v)
            segs = [((v[i][0], v[i][1]), (v[(i + 1) % n][0], v[(i + 1) % n][1]), v[i][2])
                    for i in range(n if e.is_closed else n - 1)]
            curvature = bulge_curvature(segs)
    else:
        return None
    minx, miny, maxx, maxy, length = pieces_stats(e) if pts is None else polyline_stats(pts)
    return f"{kind} {minx!r} {miny!r} {maxx!r} {maxy!r} {length!r} {curvature!r} {ref_chord!r}"


def r12_drawing(msp, doc):
    msp.add_line((0, 0), (10, 5), dxfattribs={"color": 3})
    msp.add_line((-20.5, 7.25), (33.125, -14), dxfattribs={"layer": "LINE"})
    msp.add_circle((5, 5), 10, dxfattribs={"color": 1})
    msp.add_circle((-30, 2), 1)
    msp.add_circle((40, -8), 37.5, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((0, 0), 20, 0, 90)
    msp.add_arc((10, 10), 15, 350, 10, dxfattribs={"color": 5})
    msp.add_arc((-5, 3), 12, 30, 300)
    msp.add_arc((25, 15), 8, 20, 200, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((0, 0), 9, 10, 250, dxfattribs={"extrusion": (0.6, 0, 0.8)})
    # Classic 2-D polyline with bulges, open and closed.
    p = msp.add_polyline2d([(0, 0), (20, 0), (20, 10), (0, 10)], close=True)
    for vertex, bulge in zip(p.vertices, (0, 1, 0, -0.5)):
        vertex.dxf.bulge = bulge
    q = msp.add_polyline2d([(-40, -40), (-20, -35), (-25, -20)], dxfattribs={"extrusion": (0, 0, -1)})
    q.vertices[0].dxf.bulge = 0.4
    msp.add_polyline3d([(0, 0, 0), (5, 5, 2), (12, 3, 4), (15, 15, 1)])
    # A spline-fitted polyline: frame control points (16) and the fitted
    # vertices (8) on a circle of radius 30.
    fitted = msp.add_polyline2d([], dxfattribs={"flags": 4})
    for x, y in [(30, 0), (40, 30), (0, 45), (-40, 30), (-30, 0)]:
        fitted.append_vertex((x, y), dxfattribs={"flags": 16})
    for i in range(41):
        a = math.pi * i / 40
        fitted.append_vertex((30 * math.cos(a), 30 * math.sin(a)), dxfattribs={"flags": 8})
    fitted.set_xdata("TRAZVIK", [(1000, repr(1 / 30))])
    # A curve-fitted closed polyline: original vertices (0) and the vertices
    # curve fitting added (1), all on an ellipse.
    curve = msp.add_polyline2d([], dxfattribs={"flags": 2 | 1})
    for i in range(48):
        a = 2 * math.pi * i / 48
        curve.append_vertex((60 + 20 * math.cos(a), 10 * math.sin(a)), dxfattribs={"flags": 1 if i % 2 else 0})
    curve.set_xdata("TRAZVIK", [(1000, repr(20 / 100))])
    doc.appids.new("TRAZVIK")


def r2018_drawing(msp, doc):
    doc.appids.new("TRAZVIK")
    msp.add_line((1, 2), (3, 4))
    msp.add_text("LINE", dxfattribs={"layer": "CIRCLE", "height": 2.5}).set_placement((7, 7))
    msp.add_point((100, 100))
    msp.add_circle((0, 0), 25, dxfattribs={"color": 256})
    msp.add_arc((3, -4), 6, 200, 100)
    msp.add_ellipse((0, 0), major_axis=(30, 0), ratio=0.5)
    msp.add_ellipse((10, 20), major_axis=(12, 16), ratio=0.3, start_param=0.5, end_param=4.0, dxfattribs={"color": 2})
    msp.add_ellipse((-10, 5), major_axis=(15, 5), ratio=0.6, start_param=5.5, end_param=1.0)
    msp.add_ellipse((-30, -30), major_axis=(10, 0), ratio=0.5, start_param=0, end_param=math.pi,
                    dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_lwpolyline([(0, 0), (30, 0), (30, 30), (0, 30)], close=True)
    msp.add_lwpolyline([(0, 0, 0, 0, 1), (10, 0, 0, 0, 1), (10, 10, 0, 0, 1), (0, 10, 0, 0, 1)],
                       format="xyseb", close=True, dxfattribs={"color": 6})
    msp.add_lwpolyline([(5, 5, 0, 0, -0.3), (25, 8, 0, 0, 0), (40, -2, 0, 0, 2.5), (45, 20)], format="xyseb",
                       dxfattribs={"const_width": 0.5})
    msp.add_lwpolyline([(-5, -5, 0, 0, 0.7), (-25, -8), (-20, -30)], format="xyseb",
                       dxfattribs={"extrusion": (0, 0, -1)})
    # Splines: clamped cubic, plain Bezier segment, rational, quadratic,
    # closed (unclamped knots), a chain of Bezier segments with a corner, and
    # one made from fit points the way CAD programs do.
    msp.add_spline(dxfattribs={"color": 4}).set_open_uniform(
        [(0, 0), (10, 20), (25, -5), (40, 15), (50, 0), (60, 30)], degree=3)
    msp.add_open_spline([(0, 0), (10, 30), (30, 30), (40, 0)], degree=3)
    msp.add_rational_spline([(0, 0), (20, 0), (20, 20), (40, 25), (45, 5)], weights=[1, 0.5, 3, 1, 2], degree=3)
    msp.add_open_spline([(0, 0), (5, 10), (15, -10), (20, 0), (30, 5)], degree=2)
    ring = [(0, 0), (20, -5), (30, 15), (10, 25), (-5, 12)]
    closed = msp.add_spline()
    closed.dxf.degree = 3
    closed.control_points = ring + ring[:3]  # unclamped uniform knots
    closed.knots = list(range(len(ring) + 3 + 4))
    chain = msp.add_spline()
    chain.dxf.degree = 3
    chain.control_points = [(0, 0), (5, 10), (10, 10), (15, 0), (15, 0), (20, -10), (25, -10), (30, 0),
                            (30, 0), (32, 8), (38, 8), (40, 0)]
    chain.knots = [0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3]
    msp.add_cad_spline_control_frame([(0, 0), (10, 8), (20, 3), (30, 12), (42, 0)])
    block = doc.blocks.new("PART")
    block.add_circle((0, 0), 3)
    msp.add_blockref("PART", (50, 50))
    msp.add_mtext("SPLINE", dxfattribs={"layer": "ARC"})


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, version, build in (("r12", "R12", r12_drawing), ("r2018", "R2018", r2018_drawing)):
        doc = ezdxf.new(version)
        build(doc.modelspace(), doc)
        path = os.path.join(out, name + ".dxf")
        doc.saveas(path)
        # Read the file back: the reference is what ezdxf makes of the file.
        doc = ezdxf.readfile(path)
        lines = [r for r in (reference(e) for e in doc.modelspace()) if r]
        with open(os.path.join(out, name + ".ref"), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
