#!/usr/bin/python3
"""Makes the drafting font the forms print with, Ormelin Drafting, from osifont.

    make_drafting_font.py OSIFONT.ttf OUTPUT.ttf VERSION

osifont 0.1.20220224 (fonts-osifont in Debian 12) draws Э, э, Ё and ё as bare
rectangles, which print as filled black boxes, and has no "…", “ ” „ ‘, − or ‐.
This writes osifont under a name of its own with those letters redrawn from its
own glyphs: Э and э are the mirror images of Є and є; Ё and ё are Е and е under
the font's own diaeresis, placed as the font places it over Ë and ë; the
punctuation is composed of its period, comma, right quote and hyphen. Every other
glyph, metric and table is osifont's. The licence is osifont's (see the name
table and docs/dependencies.md).
"""
import math
import sys

from fontTools.misc.transform import Transform
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

FAMILY = "Ormelin Drafting"
POSTSCRIPT = "OrmelinDrafting"


class Font:
    def __init__(self, path):
        # The timestamps stay osifont's, so that the same input makes the same file.
        self.tt = TTFont(path, recalcTimestamp=False)
        self.glyphs = self.tt.getGlyphSet()
        self.glyf = self.tt["glyf"]
        self.hmtx = self.tt["hmtx"]
        self.cmap = self.tt.getBestCmap()

    def name(self, cp):
        name = self.cmap.get(cp)
        if name is None:
            sys.exit(f"make_drafting_font: the font has no U+{cp:04X}: not the osifont this was made for")
        return name

    def glyph(self, name):
        g = self.glyf[name]
        g.recalcBounds(self.glyf)
        return g

    def box(self, cp):
        g = self.glyph(self.name(cp))
        return g.xMin, g.yMin, g.xMax, g.yMax

    def advance(self, cp):
        return self.hmtx[self.name(cp)][0]

    def broken(self, cp):
        """Missing, or a bare four-cornered rectangle instead of a letter."""
        name = self.cmap.get(cp)
        if name is None:
            return True
        g = self.glyf[name]
        return g.numberOfContours == 1 and len(g.getCoordinates(self.glyf)[0]) == 4

    def component(self, composite_cp, part):
        """The offset at which the font places glyph `part` in a composite glyph."""
        for c in self.glyf[self.name(composite_cp)].components:
            if c.glyphName == part:
                return c.x, c.y
        sys.exit(f"make_drafting_font: U+{composite_cp:04X} is not made of {part}")

    def put(self, cp, parts, advance, name=None):
        """Sets the glyph of `cp` to the given glyphs, each drawn through its
        transform, as one simple outline. A transform that mirrors reverses the
        contours, so that outer contours stay clockwise."""
        pen = TTGlyphPen(None)
        for part, transform in parts:
            recording = DecomposingRecordingPen(self.glyphs)
            self.glyphs[part].draw(recording)
            target = TransformPen(pen, transform)
            xx, xy, yx, yy = transform[:4]
            recording.replay(ReverseContourPen(target) if xx * yy - xy * yx < 0 else target)
        glyph = pen.glyph()
        name = self.cmap.get(cp) or name or f"uni{cp:04X}"
        if name in self.glyf.keys() and cp not in self.cmap:
            sys.exit(f"make_drafting_font: the font already has a glyph named {name}")
        self.glyf[name] = glyph  # a new name joins the glyph order
        glyph.recalcBounds(self.glyf)
        self.hmtx[name] = (round(advance), glyph.xMin if glyph.numberOfContours else 0)
        for table in self.tt["cmap"].tables:
            if table.isUnicode() and table.format in (4, 12):
                table.cmap[cp] = name
        self.cmap[cp] = name


def mirror(font, target, source):
    """`target` as the mirror image of `source` about the middle of its advance.
    In a slanted font the mirror would lean the other way; the shear puts the
    slant back (osifont is drawn upright, its italic angle 0)."""
    name = font.name(source)
    advance = font.advance(source)
    slant = math.tan(math.radians(-font.tt["post"].italicAngle))
    font.put(target, [(name, Transform(-1, 0, 2 * slant, 1, advance, 0))], advance)


def dieresis(font, target, base, latin_base, latin_dieresis):
    """`target` as `base` with the font's diaeresis placed as the font places it
    over `latin_dieresis` (the Latin letter `latin_base` with two dots): centred
    the same over the letter, at the same height above its top."""
    dots = font.name(0x0308)
    x, y = font.component(latin_dieresis, dots)
    bx0, _, bx1, btop = font.box(base)
    lx0, _, lx1, ltop = font.box(latin_base)
    dx = round(x + (bx0 + bx1) / 2 - (lx0 + lx1) / 2)
    dy = y + btop - ltop
    font.put(target, [(font.name(base), Transform()), (dots, Transform().translate(dx, dy))],
             font.advance(base))


def marks(font, target, mark, mirrored, count, step=0):
    """`count` marks side by side `step` apart, each mirrored about its middle if
    `mirrored`. osifont's right quote is a straight stroke leaning right, the same
    turned half round; the opening quotes lean left, as a mirror image."""
    name = font.name(mark)
    x0, _, x1, _ = font.box(mark)
    turn = Transform(-1, 0, 0, 1, x0 + x1, 0) if mirrored else Transform()
    font.put(target, [(name, Transform().translate(i * step, 0).transform(turn)) for i in range(count)],
             font.advance(mark) + (count - 1) * step)


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_drafting_font.py OSIFONT.ttf OUTPUT.ttf VERSION")
    source, output, version = sys.argv[1:]
    font = Font(source)

    # The letters osifont draws as rectangles.
    if font.broken(0x042D):
        mirror(font, 0x042D, 0x0404)  # Э from Є
    if font.broken(0x044D):
        mirror(font, 0x044D, 0x0454)  # э from є
    if font.broken(0x0401):
        dieresis(font, 0x0401, 0x0415, ord("E"), 0x00CB)  # Ё: Е under the dots of Ë
    if font.broken(0x0451):
        dieresis(font, 0x0451, 0x0435, ord("e"), 0x00EB)  # ё: е under the dots of ë

    # The punctuation osifont lacks, from its own glyphs.
    period = font.name(ord("."))
    if font.broken(0x2026):  # … three periods, each its own advance apart
        step = font.advance(ord("."))
        font.put(0x2026, [(period, Transform().translate(i * step, 0)) for i in range(3)], 3 * step,
                 "ellipsis")
    # The double quotes: two strokes as far apart as those of the straight double quote ".
    _, _, single_right, _ = font.box(ord("'"))
    _, _, double_right, _ = font.box(ord('"'))
    step = double_right - single_right
    if font.broken(0x201D):
        marks(font, 0x201D, 0x2019, False, 2, step)  # ” two ’
    if font.broken(0x201C):
        marks(font, 0x201C, 0x2019, True, 2, step)  # “ two ’ mirrored
    if font.broken(0x201E):
        marks(font, 0x201E, ord(","), False, 2, step)  # „ two commas
    if font.broken(0x2018):
        marks(font, 0x2018, 0x2019, True, 1)  # ‘ ’ mirrored
    # − the hyphen's bar, centred on the plus sign's.
    hyphen = font.name(ord("-"))
    hx0, hy0, hx1, hy1 = font.box(ord("-"))
    px0, py0, px1, py1 = font.box(ord("+"))
    if font.broken(0x2212):
        font.put(0x2212, [(hyphen, Transform().translate(round((px0 + px1 - hx0 - hx1) / 2),
                                                         round((py0 + py1 - hy0 - hy1) / 2)))],
                 font.advance(ord("+")), "minus")
    for cp in (0x2010, 0x2011):  # ‐ and the non-breaking ‑: the hyphen
        if font.broken(cp):
            font.put(cp, [(hyphen, Transform())], font.advance(ord("-")))

    # Our name; osifont's copyright and licence stay, and say what was changed.
    names = font.tt["name"]
    copyright = names.getDebugName(0) or ""
    notice = (copyright + "\n\n" + FAMILY + " is osifont " + (names.getDebugName(5) or "").strip()
              + " with U+042D, U+044D, U+0401 and U+0451 redrawn and U+2010, U+2011, U+2018, U+201C,"
              " U+201D, U+201E, U+2026 and U+2212 added by the ormelin project, from osifont's own glyphs."
              " It is distributed under the licence of osifont, with the font exception extended to it.")
    licence = ("GNU GPL version 3, GNU LGPL version 3 or GNU GPL version 2, each with the font exception"
               " stated in the copyright notice (the licence of osifont).")
    for platform, encoding, language in ((3, 1, 0x409), (1, 0, 0)):
        for nameID, text in ((0, notice), (1, FAMILY), (3, f"ormelin: {FAMILY}: {version}"),
                             (4, FAMILY), (5, f"Version {version}"), (6, POSTSCRIPT), (13, licence),
                             (14, "https://github.com/hikikomori82/osifont")):
            names.setName(text, nameID, platform, encoding, language)
    if "FFTM" in font.tt:
        del font.tt["FFTM"]  # FontForge's timestamps of osifont's sources
    font.tt.save(output)


if __name__ == "__main__":
    main()
