#!/usr/bin/python3
"""Writes the advance widths of the fonts the pictures name, as the tables
modelhost/render/fonts/*.tsv that the build turns into the renderer's text
metrics. Run it again (with Debian's python3-fonttools and fonts-dejavu-core)
when the fonts change.

Each table: one line a run of consecutive code points of equal advance,
"first<TAB>count<TAB>advance", the advance in units of the font's em (its
first line, "# units-per-em N", says how many)."""
import pathlib
import sys

from fontTools.ttLib import TTFont

FONTS = pathlib.Path("/usr/share/fonts/truetype/dejavu")
OUT = pathlib.Path(__file__).resolve().parent.parent / "modelhost/render/fonts"


def runs(font):
    cmap = font.getBestCmap()
    metrics = font["hmtx"]
    last = None
    for code in sorted(cmap):
        advance = metrics[cmap[code]][0]
        if last and last[0] + last[1] == code and last[2] == advance:
            last[1] += 1
            continue
        if last:
            yield last
        last = [code, 1, advance]
    if last:
        yield last


def main():
    for face in ("DejaVuSans", "DejaVuSans-Bold", "DejaVuSans-Oblique"):
        font = TTFont(FONTS / f"{face}.ttf")
        lines = [f"# {face}.ttf (fonts-dejavu-core), made by scripts/font-metrics.py",
                 f"# units-per-em {font['head'].unitsPerEm}"]
        lines += [f"{first}\t{count}\t{advance}" for first, count, advance in runs(font)]
        (OUT / f"{face}.tsv").write_text("\n".join(lines) + "\n")
        print(f"{face}: {len(lines) - 2} runs", file=sys.stderr)


if __name__ == "__main__":
    main()
