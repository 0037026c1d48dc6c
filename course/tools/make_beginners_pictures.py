#!/usr/bin/env python3
"""Draws the lesson pictures of the "Touch typing for beginners" course
(install/lessons/beginners/lessonNN.png): a US keyboard with the keys learnt before the
lesson in blue, the lesson's new keys in amber and the bumps of F and J. Written as SVG
and turned into a small palette PNG by ImageMagick's `convert`:

    course/tools/make_beginners_pictures.py install/lessons/beginners
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from beginners_lessons import LESSONS  # noqa: E402

PAPER = "#fdfbf6"
EDGE = "#e9e2d2"
INK = "#233340"
FAINT = "#a9b3ba"
LEARNT = "#cfe3ec"
LEARNT_EDGE = "#1f6f8b"
AMBER = "#f2b134"
U = 29  # one key width in pixels
MARGIN = 6
W, H = 440, 157

# Rows of the US keyboard: (label, characters the key types, width in keys).
ROWS = [
    [("`", "`~", 1)] + [(c, c + s, 1) for c, s in zip("1234567890-=", "!@#$%^&*()_+")]
    + [("Backspace", "", 1.75)],
    [("Tab", "", 1.5)] + [(c.upper(), c + c.upper(), 1) for c in "qwertyuiop"]
    + [("[", "[{", 1), ("]", "]}", 1), ("\\", "\\|", 1.25)],
    [("Caps", "", 1.75)] + [(c.upper(), c + c.upper(), 1) for c in "asdfghjkl"]
    + [(";", ";:", 1), ("'", "'\"", 1), ("Enter", "\r", 2)],
    [("Shift", "LSHIFT", 2.25)] + [(c.upper(), c + c.upper(), 1) for c in "zxcvbnm"]
    + [(",", ",<", 1), (".", ".>", 1), ("/ ?", "/?", 1), ("Shift", "RSHIFT", 2.5)],
    [("", " ", 6.25)],
]
SPACE_X = 3.75  # the space bar's left edge, in keys


def states(before, new):
    """The look of each key: 'new', 'learnt' or ''."""
    def look(chars):
        if chars in ("LSHIFT", "RSHIFT"):
            # The left Shift serves the right-hand capitals, the right one the left-hand.
            side = "YUIOPHJKLNM?" if chars == "LSHIFT" else "QWERTASDFGZXCVB"
            if set(side) & new:
                return "new"
            return "learnt" if set(side) & before else ""
        if chars in (" ", "\r"):
            return "learnt" if before or new else "new"
        if set(chars) & new:
            return "new"
        return "learnt" if set(chars) & before else ""
    return look


def key(x, y, w, label, look, bump):
    fill, edge, ink = {"new": (AMBER, INK, INK), "learnt": (LEARNT, LEARNT_EDGE, INK)}.get(
        look, (PAPER, EDGE, FAINT))
    parts = [f'<rect x="{x + 1.5:.1f}" y="{y + 1.5:.1f}" width="{w - 3:.1f}" height="{U - 3}" '
             f'rx="4" fill="{fill}" stroke="{edge}" stroke-width="1.5"/>']
    size = 13 if len(label) <= 1 else 9
    weight = "bold" if look == "new" else "normal"
    if label == "'":
        # ImageMagick's SVG reader draws no text made of quotes: a tick stands in.
        parts.append(f'<line x1="{x + w / 2:.1f}" y1="{y + 8:.1f}" x2="{x + w / 2:.1f}" '
                     f'y2="{y + 13:.1f}" stroke="{ink}" stroke-width="2" '
                     f'stroke-linecap="round"/>')
    else:
        parts.append(f'<text x="{x + w / 2:.1f}" y="{y + U / 2 + size / 2.8:.1f}" '
                     f'font-family="DejaVu Sans" font-size="{size}" font-weight="{weight}" '
                     f'fill="{ink}" text-anchor="middle">{escape(label)}</text>')
    if bump:
        parts.append(f'<line x1="{x + w / 2 - 4:.1f}" y1="{y + U - 6:.1f}" '
                     f'x2="{x + w / 2 + 4:.1f}" y2="{y + U - 6:.1f}" stroke="{ink}" '
                     f'stroke-width="1.5" stroke-linecap="round"/>')
    return "\n".join(parts)


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def picture(before, new):
    look = states(before, new)
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}">',
             f'<rect x="0.5" y="0.5" width="{W - 1}" height="{H - 1}" rx="10" fill="{PAPER}" '
             f'stroke="{EDGE}"/>']
    for r, row in enumerate(ROWS):
        x = MARGIN + (SPACE_X * U if r == 4 else 0)
        y = MARGIN + r * U
        for label, chars, width in row:
            w = width * U
            parts.append(key(x, y, w, label, look(chars), label in ("F", "J")))
            x += w
    parts.append("</svg>")
    return "\n".join(parts)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    before = set()
    with tempfile.TemporaryDirectory() as tmp:
        for n, lesson in enumerate(LESSONS, start=1):
            new = set(lesson.get("keys", ""))
            svg = os.path.join(tmp, f"lesson{n:02d}.svg")
            with open(svg, "w") as f:
                f.write(picture(before, new))
            png = os.path.join(out, f"lesson{n:02d}.png")
            subprocess.run(["convert", svg, "-strip", "-colors", "48", "PNG8:" + png], check=True)
            before |= new


if __name__ == "__main__":
    main()
