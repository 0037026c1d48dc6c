#!/usr/bin/env python3
"""Draws the lesson pictures of the "Speed building" course (install/lessons/speed).

Each picture is a speedometer whose needle rises from lesson to lesson above a row of
keys. Written as SVG and turned into a small palette PNG by ImageMagick's `convert`:

    course/tools/make_speed_pictures.py install/lessons/speed
"""
import math
import os
import subprocess
import sys
import tempfile

PAPER = "#fdfbf6"
EDGE = "#e9e2d2"
INK = "#233340"
ACCENT = "#1f6f8b"
ACCENT_DARK = "#123c52"
AMBER = "#f2b134"
LESSONS = 10
W, H = 220, 160


def polyline(points, colour, width):
    # Separate segments: ImageMagick's own renderer closes open paths.
    return "\n".join(
        f'<line x1="{a[0]:.1f}" y1="{a[1]:.1f}" x2="{b[0]:.1f}" y2="{b[1]:.1f}" '
        f'stroke="{colour}" stroke-width="{width}" stroke-linecap="round"/>'
        for a, b in zip(points, points[1:]))


def picture(lesson):
    cx, cy, r = 110, 84, 60
    # The dial runs from 200 degrees (slow) to -20 degrees (fast).
    def at(angle, radius):
        a = math.radians(angle)
        return cx + radius * math.cos(a), cy - radius * math.sin(a)

    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}">',
             f'<rect x="1" y="1" width="{W - 2}" height="{H - 2}" rx="14" fill="{PAPER}" '
             f'stroke="{EDGE}" stroke-width="2"/>']
    arc = [at(200 - 240 * i / 60, r) for i in range(61)]
    parts.append(polyline(arc, EDGE, 12))
    done = [at(200 - 240 * i / 60, r) for i in range(int(60 * lesson / LESSONS) + 1)]
    parts.append(polyline(done, ACCENT, 12))
    for t in range(11):
        a = 200 - 24 * t
        parts.append(polyline([at(a, r - 12), at(a, r - 20 if t % 5 else r - 26)], INK, 2))
    needle = 200 - 240 * (lesson - 0.5) / LESSONS
    parts.append(polyline([at(needle + 180, 10), at(needle, r - 16)], AMBER, 5))
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="8" fill="{ACCENT_DARK}"/>')
    # A row of keys under the dial; the lesson's share of them lit.
    for k in range(8):
        x = 22 + k * 23
        lit = k < max(1, round(8 * lesson / LESSONS))
        parts.append(f'<rect x="{x}" y="{H - 34}" width="19" height="19" rx="4" '
                     f'fill="{AMBER if lit else PAPER}" stroke="{ACCENT_DARK}" stroke-width="1.5"/>')
    parts.append(f'<circle cx="{W - 28}" cy="28" r="17" fill="{ACCENT}"/>')
    parts.append(f'<text x="{W - 28}" y="34" font-family="DejaVu Sans" font-weight="bold" '
                 f'font-size="17" fill="{PAPER}" text-anchor="middle">{lesson}</text>')
    parts.append("</svg>")
    return "\n".join(parts)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    with tempfile.TemporaryDirectory() as tmp:
        for lesson in range(1, LESSONS + 1):
            svg = os.path.join(tmp, f"lesson{lesson:02d}.svg")
            with open(svg, "w") as f:
                f.write(picture(lesson))
            png = os.path.join(out, f"lesson{lesson:02d}.png")
            subprocess.run(["convert", svg, "-strip", "-colors", "48", "PNG8:" + png], check=True)


if __name__ == "__main__":
    main()
