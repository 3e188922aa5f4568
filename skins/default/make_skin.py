#!/usr/bin/env python3
"""Draws Kelvane's default skin from code and writes its skin file.

    make_skin.py OUTDIR [--preview DIR]

OUTDIR receives Kelvane.xml and the art in OUTDIR/default/ (the layout of the
module's configuration folder). --preview also writes PNGs that compose the
art the way the dialogs will, for looking at it without running anything.

Every coordinate of the skin file comes from the constants below, so the art
and the item rectangles cannot drift apart. Shapes are drawn at SS times their
size and filtered down: anti-aliased edges with nothing but PIL.

Each image also comes drawn for the display scales in SCALES, as
name@<percent>.png beside it: the same shapes drawn at that size, so that a
dialog at 150% or 200% shows sharp edges and text rather than a resampled
100% picture.
"""

import argparse
import math
import os
import struct
import sys
from xml.sax.saxutils import escape, quoteattr

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor of every drawing

# Display scales, in percent, the art is drawn for besides 100%.
SCALES = (150, 200)

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
# Run-time text is drawn by the controls with GDI+ in this family, which a
# fresh Wine prefix finds; images carry no UI text, only the logo.
FONT_FAMILY = "DejaVu Sans"

# ---------------------------------------------------------------------------
# Palette: cool slate neutrals with one teal accent; red only for closing.

INK = (0x1F, 0x29, 0x33)
INK_MUTED = (0x61, 0x6E, 0x7C)
INK_DISABLED = (0xA3, 0xAD, 0xB8)
WHITE = (0xFF, 0xFF, 0xFF)
SURFACE = (0xF3, 0xF5, 0xF8)  # page ground
PANEL_LINE = (0xDD, 0xE3, 0xEA)
CONTROL_LINE = (0xAE, 0xB8, 0xC4)
FRAME = (0xE4, 0xE9, 0xEF)  # container body around the page
FRAME_LINE = (0xC3, 0xCC, 0xD6)
CAPTION_TOP = (0x25, 0x31, 0x42)
CAPTION_BOTTOM = (0x1B, 0x24, 0x31)
ACCENT = (0x0E, 0x8C, 0x7F)
ACCENT_HOT = (0x12, 0xA1, 0x92)
ACCENT_DOWN = (0x0A, 0x6C, 0x62)
ACCENT_TINT = (0xE3, 0xF4, 0xF1)
ACCENT_TINT_DOWN = (0xC9, 0xE8, 0xE3)
DISABLED_FILL = (0xC9, 0xD0, 0xD8)
CLOSE_HOT = (0xE5, 0x48, 0x4D)
CLOSE_DOWN = (0xB9, 0x2F, 0x34)
CLOSE_GLYPH = (0xA9, 0xB4, 0xC2)
CLOSE_GLYPH_DISABLED = (0x5B, 0x66, 0x75)
SHADOW = (0x0B, 0x12, 0x1C)  # every shadow and edge darkening, at some alpha

# The three colours the page's radio group offers, shown in the swatch.
SWATCHES = [("TEAL", "Teal", (0x0E, 0x93, 0x84)),
            ("AMBER", "Amber", (0xE8, 0xA3, 0x17)),
            ("VIOLET", "Violet", (0x7A, 0x5A, 0xF8))]


def dpi_of_percent(percent):
    return (percent * 96 + 50) // 100


def px(n, percent):
    """A whole-pixel length n of a 96-DPI screen at percent, rounded as the
    reader rounds (halves up), so that each image is the size it expects."""
    return (n * dpi_of_percent(percent) + 48) // 96


def scaled(n, percent):
    """n at percent, as exactly as it goes: a whole number stays an int, so
    that the 100% drawing is the one it always was."""
    v = n * percent
    return v // 100 if isinstance(v, int) and v % 100 == 0 else v / 100


def argb(rgb, alpha=0xFF):
    return "0x%02X%02X%02X%02X" % ((alpha,) + tuple(rgb))


def rgba(rgb, alpha=255):
    return tuple(rgb) + (alpha,)


# ---------------------------------------------------------------------------
# Geometry. The page is a separate opaque pop-up that the container keeps at
# ChildPos from its outer top-left corner; the container's background frames
# exactly that rectangle.

PAGE_W, PAGE_H = 480, 320

SHADOW_SIDE, SHADOW_TOP, SHADOW_BOTTOM = 24, 16, 32  # room for the soft shadow
CARD_RADIUS = 12
CAPTION_H = 40
CARD_PAD = 12  # frame around the page inside the card

CARD_X, CARD_Y = SHADOW_SIDE, SHADOW_TOP
CARD_W = CARD_PAD + PAGE_W + CARD_PAD
CARD_H = CAPTION_H + CARD_PAD + PAGE_H + CARD_PAD
SHEET_W = SHADOW_SIDE + CARD_W + SHADOW_SIDE
SHEET_H = SHADOW_TOP + CARD_H + SHADOW_BOTTOM
CHILD_X = CARD_X + CARD_PAD
CHILD_Y = CARD_Y + CAPTION_H + CARD_PAD
# Presses down to the caption band's lower edge move the window.
DRAG_HEIGHT = CARD_Y + CAPTION_H

CLOSE_SIZE = 28
CLOSE_X = CARD_X + CARD_W - 8 - CLOSE_SIZE
CLOSE_Y = CARD_Y + (CAPTION_H - CLOSE_SIZE) // 2

# Page layout: a banner, two panels (options, accent colour), a footer row.
MARGIN = 16
BANNER = (MARGIN, MARGIN, PAGE_W - 2 * MARGIN, 64)
PANEL_Y, PANEL_H = 96, 144
PANEL_W = (PAGE_W - 2 * MARGIN - MARGIN) // 2
LEFT_PANEL = (MARGIN, PANEL_Y, PANEL_W, PANEL_H)
RIGHT_PANEL = (PAGE_W - MARGIN - PANEL_W, PANEL_Y, PANEL_W, PANEL_H)
PANEL_PAD = 12
FOOTER_LINE_Y = PANEL_Y + PANEL_H + 16
PUSH_W, PUSH_H = 136, 32
ROUND_D = 36
FOOTER_MID = FOOTER_LINE_Y + (PAGE_H - FOOTER_LINE_Y) // 2

# Check and radio frames: an 18-pixel mark with room to its right, so that
# the caption (3 pixels after the frame) sits 9 pixels from the mark.
TOGGLE_FRAME_W, TOGGLE_FRAME_H, TOGGLE_MARK = 24, 20, 18
TOGGLE_H = 24
SWATCH_W, SWATCH_H = 68, 80
ICON = 16

FONT_SIZE = 13

# ControlStyle values: window style bits of the item controls.
WS_CHILD, WS_GROUP, WS_TABSTOP = 0x40000000, 0x00020000, 0x00010000
BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON = 0x0, 0x3, 0x9


# ---------------------------------------------------------------------------
# Drawing primitives.

def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def vertical_gradient(size, y0, y1, top, bottom):
    """RGBA paint of the given size: top colour above y0, bottom below y1."""
    w, h = size
    rows = []
    for y in range(h):
        t = min(1.0, max(0.0, (y - y0) / max(1, y1 - y0)))
        rows.append(tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    column = Image.new("RGBA", (1, h))
    column.putdata(rows)
    return column.resize((w, h), Image.NEAREST)


def horizontal_gradient(size, x0, x1, left, right):
    w, h = size
    return vertical_gradient((h, w), x0, x1, left, right).transpose(Image.TRANSPOSE)


class Sketch:
    """A picture of w x h 96-DPI pixels drawn at percent: its coordinates are
    given at 100% and drawn at SS times the scaled size; image() filters it
    down to the scaled size."""

    def __init__(self, w, h, percent=100):
        self.k = scaled(SS, percent)  # canvas pixels per 96-DPI pixel
        self.w, self.h = px(w, percent), px(h, percent)
        self.img = Image.new("RGBA", (math.ceil(w * self.k), math.ceil(h * self.k)),
                             (0, 0, 0, 0))

    def _scaled(self, values):
        return [v * self.k for v in values]

    def vgradient(self, y0, y1, top, bottom):
        return vertical_gradient(self.img.size, y0 * self.k, y1 * self.k, top, bottom)

    def hgradient(self, x0, x1, left, right):
        return horizontal_gradient(self.img.size, x0 * self.k, x1 * self.k, left, right)

    def mask(self):
        return Image.new("L", self.img.size, 0)

    def paint(self, mask, paint):
        """Composites paint (an RGBA colour or picture) through mask."""
        if isinstance(paint, tuple):
            paint = Image.new("RGBA", self.img.size, rgba(paint) if len(paint) == 3 else paint)
        elif paint.size != self.img.size:
            paint = paint.resize(self.img.size, Image.BILINEAR)
        layer = paint.copy()
        layer.putalpha(ImageChops.multiply(paint.getchannel("A"), mask))
        self.img.alpha_composite(layer)

    def rrect_mask(self, box, radius):
        x, y, w, h = box
        m = self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self._scaled([x, y, x + w, y + h]),
                                            radius=radius * self.k, fill=255)
        return m

    def rrect(self, box, radius, paint):
        self.paint(self.rrect_mask(box, radius), paint)

    def rrect_ring(self, box, radius, width, paint):
        """An outline drawn inside the box edge."""
        x, y, w, h = box
        inner = (x + width, y + width, w - 2 * width, h - 2 * width)
        m = ImageChops.subtract(self.rrect_mask(box, radius),
                                self.rrect_mask(inner, max(0, radius - width)))
        self.paint(m, paint)

    def ellipse(self, box, paint):
        x, y, w, h = box
        m = self.mask()
        ImageDraw.Draw(m).ellipse(self._scaled([x, y, x + w, y + h]), fill=255)
        self.paint(m, paint)

    def ring(self, box, width, paint):
        x, y, w, h = box
        m = self.mask()
        d = ImageDraw.Draw(m)
        d.ellipse(self._scaled([x, y, x + w, y + h]), fill=255)
        d.ellipse(self._scaled([x + width, y + width, x + w - width, y + h - width]), fill=0)
        self.paint(m, paint)

    def polygon(self, points, paint):
        m = self.mask()
        ImageDraw.Draw(m).polygon(self._scaled_points(points), fill=255)
        self.paint(m, paint)

    def _scaled_points(self, points):
        return [(x * self.k, y * self.k) for x, y in points]

    def stroke(self, points, width, paint):
        """A polyline with round joins and caps."""
        m = self.mask()
        d = ImageDraw.Draw(m)
        pts = self._scaled_points(points)
        d.line(pts, fill=255, width=round(width * self.k), joint="curve")
        r = width * self.k / 2
        for x, y in (pts[0], pts[-1]):
            d.ellipse([x - r, y - r, x + r, y + r], fill=255)
        self.paint(m, paint)

    def text(self, xy, string, size, paint, bold=False, anchor="la"):
        m = self.mask()
        ImageDraw.Draw(m).text((xy[0] * self.k, xy[1] * self.k), string, fill=255,
                               font=font(round(size * self.k), bold), anchor=anchor)
        self.paint(m, paint)

    def image(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def strip(frames):
    """Frames side by side, in the order given."""
    w, h = frames[0].size
    out = Image.new("RGBA", (w * len(frames), h), (0, 0, 0, 0))
    for i, frame in enumerate(frames):
        out.alpha_composite(frame, (i * w, 0))
    return out


def drop_shadow(size, box, radius, blur, offset, alpha, percent=100):
    """A soft shadow of a rounded rectangle, as an RGBA picture of size; the
    other lengths are 96-DPI pixels drawn at percent."""
    w, h = size
    x, y, bw, bh = [scaled(v, percent) for v in box]
    radius, blur = scaled(radius, percent), scaled(blur, percent)
    offset = [scaled(v, percent) for v in offset]
    m = Image.new("L", (w, h), 0)
    ImageDraw.Draw(m).rounded_rectangle([x + offset[0], y + offset[1],
                                         x + offset[0] + bw, y + offset[1] + bh],
                                        radius=radius, fill=alpha)
    m = m.filter(ImageFilter.GaussianBlur(blur))
    out = Image.new("RGBA", (w, h), rgba(SHADOW, 0))
    out.putalpha(m)
    return out


# ---------------------------------------------------------------------------
# Icons and cursors: the ICO layout with 32-bit DIB entries (colour with
# alpha, then the 1-bit mask), which every Windows version and Wine load.

def icon_file_bytes(images, hotspot=None):
    """ICO bytes, or CUR bytes (type 2) when a hotspot (x, y) is given."""
    kind = 1 if hotspot is None else 2
    out = [struct.pack("<HHH", 0, kind, len(images))]
    blobs = []
    offset = 6 + 16 * len(images)
    for im in images:
        w, h = im.size
        colour = im.transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
        stride = ((w + 31) // 32) * 4
        mask = bytearray()
        alpha = im.getchannel("A").transpose(Image.FLIP_TOP_BOTTOM).tobytes()
        for row in range(h):
            bits = bytearray(stride)
            for col in range(w):
                if alpha[row * w + col] == 0:  # the mask marks transparent pixels
                    bits[col // 8] |= 0x80 >> (col % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                             len(colour) + len(mask), 0, 0, 0, 0)
        blob = header + colour + bytes(mask)
        # The directory's planes and bit count fields hold a cursor's hotspot.
        planes, bits = (1, 32) if hotspot is None else hotspot
        out.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, planes, bits,
                               len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return b"".join(out + blobs)


# ---------------------------------------------------------------------------
# The art.

def draw_emblem(size):
    """The product mark: a teal tile with a geometric K."""
    s = Sketch(size, size)
    u = size / 32.0
    s.rrect((0, 0, size, size), 7 * u, s.vgradient(0, size, rgba(ACCENT_HOT), rgba(ACCENT_DOWN)))
    s.stroke([(11 * u, 8 * u), (11 * u, 24 * u)], 4.2 * u, WHITE)
    s.stroke([(22 * u, 8 * u), (14 * u, 16 * u), (22 * u, 24 * u)], 4.2 * u, WHITE)
    return s.image()


def draw_container_background(percent=100):
    """The container: shadow, card, caption band with the logo, page well."""
    sheet = Image.new("RGBA", (px(SHEET_W, percent), px(SHEET_H, percent)), (0, 0, 0, 0))
    card = (CARD_X, CARD_Y, CARD_W, CARD_H)
    # Two shadows: a wide soft one below, a tight one that defines the edge.
    sheet.alpha_composite(drop_shadow(sheet.size, card, CARD_RADIUS, 10, (0, 8), 110, percent))
    sheet.alpha_composite(drop_shadow(sheet.size, card, CARD_RADIUS, 1.5, (0, 1), 60, percent))

    s = Sketch(SHEET_W, SHEET_H, percent)
    s.rrect(card, CARD_RADIUS, FRAME)
    band = s.rrect_mask(card, CARD_RADIUS)
    cut = s.mask()
    ImageDraw.Draw(cut).rectangle(s._scaled([0, CARD_Y + CAPTION_H, SHEET_W, SHEET_H]), fill=255)
    s.paint(ImageChops.subtract(band, cut),
            s.vgradient(CARD_Y, CARD_Y + CAPTION_H, rgba(CAPTION_TOP), rgba(CAPTION_BOTTOM)))
    # A hairline of light under the band's top edge, and a dark one under it.
    s.rrect((CARD_X + 1, CARD_Y + 1, CARD_W - 2, 2), 1, (255, 255, 255, 22))
    s.rrect((CARD_X, CARD_Y + CAPTION_H - 1, CARD_W, 1), 0, SHADOW)
    s.rrect_ring(card, CARD_RADIUS, 1, rgba(SHADOW, 70))
    # The page well: a line just outside the page and the page's own ground
    # inside, so that nothing flashes before the page appears.
    s.rrect((CHILD_X - 1, CHILD_Y - 1, PAGE_W + 2, PAGE_H + 2), 0, FRAME_LINE)
    s.rrect((CHILD_X, CHILD_Y, PAGE_W, PAGE_H), 0, SURFACE)
    # Logo: the mark and the word, vertically centred in the band. The mark
    # is drawn at the canvas's own size, so it is as sharp as the rest.
    mark = 22
    s.img.alpha_composite(draw_emblem(round(mark * s.k)),
                          (round((CARD_X + 12) * s.k),
                           round((CARD_Y + (CAPTION_H - mark) // 2) * s.k)))
    s.text((CARD_X + 12 + mark + 9, CARD_Y + CAPTION_H / 2), "Kelvane", 15, WHITE,
           bold=True, anchor="lm")
    sheet.alpha_composite(s.image())
    return sheet


def draw_close_strip(percent=100):
    """Close item: normal, hot (red), pressed (dark red), disabled."""
    def frame(fill, glyph, inset, arm):
        s = Sketch(CLOSE_SIZE, CLOSE_SIZE, percent)
        if fill:
            s.rrect((inset, inset, CLOSE_SIZE - 2 * inset, CLOSE_SIZE - 2 * inset), 6, fill)
        c = CLOSE_SIZE / 2
        s.stroke([(c - arm, c - arm), (c + arm, c + arm)], 1.8, glyph)
        s.stroke([(c - arm, c + arm), (c + arm, c - arm)], 1.8, glyph)
        return s.image()
    return strip([frame(None, CLOSE_GLYPH, 2, 5),
                  frame(CLOSE_HOT, WHITE, 2, 5),
                  frame(CLOSE_DOWN, WHITE, 3, 4.5),
                  frame(None, CLOSE_GLYPH_DISABLED, 2, 5)])


# Push button looks, (gradient top, gradient bottom, edge) per state: normal,
# hover, pressed, disabled. The primary action is filled with the accent.
PRIMARY_LOOKS = [(ACCENT_HOT, ACCENT, ACCENT_DOWN),
                 ((0x16, 0xB0, 0xA0), ACCENT_HOT, ACCENT),
                 (ACCENT_DOWN, ACCENT_DOWN, (0x07, 0x55, 0x4D)),
                 (DISABLED_FILL, DISABLED_FILL, DISABLED_FILL)]
SECONDARY_LOOKS = [(WHITE, (0xF6, 0xF8, 0xFA), CONTROL_LINE),
                   ((0xF7, 0xF9, 0xFB), (0xEC, 0xF0, 0xF4), (0x98, 0xA4, 0xB1)),
                   ((0xE2, 0xE7, 0xEC), (0xE2, 0xE7, 0xEC), (0x98, 0xA4, 0xB1)),
                   (SURFACE, SURFACE, PANEL_LINE)]


def draw_push_strip(w, h, looks, percent=100):
    """Push strips: four client-sized frames (normal, hover, pressed, disabled).
    Each look is (top, bottom, line); a one-pixel shadow sits under the body."""
    frames = []
    for i, (top, bottom, line) in enumerate(looks):
        s = Sketch(w, h, percent)
        body = (0.5, 0.5, w - 1, h - 2)
        if i != 2:  # a pressed button sits flat
            s.rrect((0.5, 1.5, w - 1, h - 2), 6, rgba(SHADOW, 40))
        s.rrect(body, 6, s.vgradient(0, h, rgba(top), rgba(bottom)))
        s.rrect_ring(body, 6, 1, line)
        frames.append(s.image())
    return strip(frames)


def draw_round_strip(d, percent=100):
    """The shaped button: a disc, fully transparent outside it."""
    looks = [(WHITE, CONTROL_LINE), (ACCENT_TINT, ACCENT), (ACCENT_TINT_DOWN, ACCENT_DOWN),
             (SURFACE, PANEL_LINE)]
    frames = []
    for i, (fill, line) in enumerate(looks):
        s = Sketch(d, d, percent)
        if i != 2:
            s.ellipse((1, 2, d - 2, d - 2), rgba(SHADOW, 40))
        s.ellipse((1, 1, d - 2, d - 2), fill)
        s.ring((1, 1, d - 2, d - 2), 1.2, line)
        frames.append(s.image())
    return strip(frames)


def draw_toggle_strip(radio, percent=100):
    """Check and radio strips: eight frames, states 0-3 unchecked (normal,
    hover, pressed, disabled), then the same four checked."""
    unchecked = [(WHITE, CONTROL_LINE), (ACCENT_TINT, ACCENT), (ACCENT_TINT_DOWN, ACCENT_DOWN),
                 (SURFACE, PANEL_LINE)]
    checked = [(ACCENT, ACCENT), (ACCENT_HOT, ACCENT_HOT), (ACCENT_DOWN, ACCENT_DOWN),
               (DISABLED_FILL, DISABLED_FILL)]
    frames = []
    for is_checked, looks in ((False, unchecked), (True, checked)):
        for fill, line in looks:
            s = Sketch(TOGGLE_FRAME_W, TOGGLE_FRAME_H, percent)
            m = TOGGLE_MARK
            box = (1, (TOGGLE_FRAME_H - m) / 2, m, m)
            if radio:
                s.ellipse(box, fill)
                s.ring(box, 1.2, line)
                if is_checked:
                    cx, cy = box[0] + m / 2, box[1] + m / 2
                    s.ellipse((cx - 3.5, cy - 3.5, 7, 7), WHITE)
            else:
                s.rrect(box, 4, fill)
                s.rrect_ring(box, 4, 1.2, line)
                if is_checked:
                    x, y = box[0], box[1]
                    s.stroke([(x + 4.5, y + 9.5), (x + 7.5, y + 12.5), (x + 13.5, y + 5.5)],
                             2.0, WHITE)
            frames.append(s.image())
    return strip(frames)


def draw_banner(percent=100):
    """The banner label's image: a gradient card with quiet rings at its ends;
    the label draws its text over the calm middle."""
    _, _, w, h = BANNER
    s = Sketch(w, h, percent)
    s.rrect((0, 0, w, h), 10,
            s.hgradient(0, w, rgba((0x0F, 0x7C, 0x72)), rgba((0x1D, 0x4F, 0x72))))
    for cx, cy, r in ((w - 40, h * 0.2, 46), (w - 8, h * 0.9, 30), (34, h * 1.05, 38)):
        s.ring((cx - r, cy - r, 2 * r, 2 * r), 1.5, (255, 255, 255, 40))
    # Keep the rings inside the card: clip everything to its shape.
    shape = s.rrect_mask((0, 0, w, h), 10)
    s.img.putalpha(ImageChops.multiply(s.img.getchannel("A"), shape))
    return s.image()


def draw_page_background(percent=100):
    """The page's ground: two panels and a footer rule. Labels and buttons
    copy their piece of it, so it is opaque everywhere."""
    s = Sketch(PAGE_W, PAGE_H, percent)
    s.rrect((0, 0, PAGE_W, PAGE_H), 0, SURFACE)
    for panel in (LEFT_PANEL, RIGHT_PANEL):
        s.rrect(panel, 8, WHITE)
        s.rrect_ring(panel, 8, 1, PANEL_LINE)
    s.rrect((MARGIN, FOOTER_LINE_Y, PAGE_W - 2 * MARGIN, 1), 0, PANEL_LINE)
    return s.image()


def draw_swatch(colour, percent=100):
    """The swatch label's image: a chip of the colour with a soft sheen."""
    s = Sketch(SWATCH_W, SWATCH_H, percent)
    lighter = tuple(min(255, c + 28) for c in colour)
    s.rrect((0.5, 0.5, SWATCH_W - 1, SWATCH_H - 1), 8,
            s.vgradient(0, SWATCH_H, rgba(lighter), rgba(colour)))
    s.rrect_ring((0.5, 0.5, SWATCH_W - 1, SWATCH_H - 1), 8, 1, rgba(SHADOW, 50))
    s.rrect_ring((1.5, 1.5, SWATCH_W - 3, SWATCH_H - 3), 7, 1, (255, 255, 255, 60))
    return s.image()


def draw_icon(kind, size, colour):
    """Line icons on a 16-unit grid: info, message (speech bubble), close."""
    s = Sketch(size, size)
    u = size / 16.0
    if kind == "info":
        s.ring((1 * u, 1 * u, 14 * u, 14 * u), 1.5 * u, colour)
        s.ellipse((7 * u, 3.8 * u, 2 * u, 2 * u), colour)
        s.stroke([(8 * u, 7.5 * u), (8 * u, 11.5 * u)], 1.8 * u, colour)
    elif kind == "message":
        s.rrect((1 * u, 2 * u, 14 * u, 10 * u), 2.5 * u, colour)
        s.polygon([(4 * u, 11 * u), (4 * u, 15 * u), (8.5 * u, 11 * u)], colour)
        for cx in (5, 8, 11):
            s.ellipse(((cx - 1) * u, 6 * u, 2 * u, 2 * u), ACCENT_DOWN)
    elif kind == "close":
        s.stroke([(4 * u, 4 * u), (12 * u, 12 * u)], 1.8 * u, colour)
        s.stroke([(4 * u, 12 * u), (12 * u, 4 * u)], 1.8 * u, colour)
    return s.image()


def draw_dropper_cursor():
    """A 32-pixel eyedropper: bulb, collar and glass tube along the diagonal,
    dark with a white outline so it shows on any ground. Its tip, the lower-
    left end, is the hotspot."""
    s = Sketch(32, 32)
    tube, collar, bulb = [(3, 28), (16, 15)], [(13.5, 12.5), (19.5, 18.5)], [(20, 11), (26, 5)]
    for paint, grow in ((WHITE, 3.0), (INK, 0.0)):
        s.stroke(tube, 2.5 + grow, paint)
        s.stroke(collar, 3.0 + grow, paint)
        s.stroke(bulb, 7.0 + grow, paint)
    s.stroke([(4, 27), (9, 22)], 1.4, ACCENT_HOT)  # the colour it picked up
    return s.image(), (3, 28)


# ---------------------------------------------------------------------------
# The skin file.

def item(**attributes):
    return attributes


def style(kind, group=False, tabstop=True):
    bits = WS_CHILD | (WS_TABSTOP if tabstop else 0) | (WS_GROUP if group else 0) | kind
    return "0x%08X" % bits


# Labels take no keyboard focus; each starts a group, so that the radio
# group ends where the next control begins.
LABEL_STYLE = style(0, group=True, tabstop=False)


def pos(x, y, w, h):
    return "%d,%d,%d,%d" % (x, y, w, h)


TEXT_COLORS = argb(INK) + ";" + argb(INK_DISABLED)
# Regular, left, centred vertically, character trimming. Push buttons with an
# icon use it too: they centre the icon-and-caption group themselves, so a
# left-aligned caption stays right beside its icon.
NEAR_MIDDLE = "0;0;1;1"


def container_section():
    info = [
        ("Title", "Kelvane"),
        ("Icon", r"icons\kelvane.ico"),
        ("BackBmp", r"container\background.png"),
        ("SheetSize", "%d,%d" % (SHEET_W, SHEET_H)),
        ("IsLayerWnd", "1"),
        ("AlpahValue", "100"),
        ("IsDrag", "1"),
        ("CaptionHeight", str(DRAG_HEIGHT)),
        ("ShowToolTip", "1"),
        ("ToolTipWidth", "240"),
        ("FontName", FONT_FAMILY),
        ("FontSize", str(FONT_SIZE)),
        ("FontColor", argb(WHITE)),
        ("ChildPos", "%d,%d" % (CHILD_X, CHILD_Y)),
    ]
    items = [item(ID="BTN_CLOSE", ControlType="2", BkImg=r"container\close.png",
                  Pos=pos(CLOSE_X, CLOSE_Y, CLOSE_SIZE, CLOSE_SIZE), ToolTip="Close Kelvane")]
    return info, items


def page_section():
    """The demo page. Window entries beyond the toolkit's own hold the texts
    and pictures the demo switches between, so they are skinned too."""
    lx, ly, lw, _ = LEFT_PANEL
    rx, ry, rw, _ = RIGHT_PANEL
    inner_lx, inner_rx = lx + PANEL_PAD, rx + PANEL_PAD
    push_y = FOOTER_MID - PUSH_H // 2
    message_x = PAGE_W - MARGIN - 2 * PUSH_W - 8
    version_x = MARGIN + ROUND_D + 10
    details_hidden = "Details are hidden. Tick Show details to see what drew this page."
    details_shown = ("Drawn from Kelvane.xml: bitmap buttons, labels and a shaped button, "
                     "all in " + FONT_FAMILY + ".")
    info = [
        ("Title", "Kelvane demo"),
        ("BackBmp", r"page\background.png"),
        ("SheetSize", "%d,%d" % (PAGE_W, PAGE_H)),
        ("IsLayerWnd", "0"),
        ("IsDrag", "0"),
        ("ShowToolTip", "1"),
        ("ToolTipWidth", "240"),
        ("FontName", FONT_FAMILY),
        ("FontSize", str(FONT_SIZE)),
        ("FontColor", TEXT_COLORS),
        ("FontFormat", "0;1;1;1"),
        ("DetailsHidden", details_hidden),
        ("DetailsShown", details_shown),
        ("MessageText", "Hello from Kelvane. This message box comes from the page's skin."),
        ("MessageCaption", "Kelvane"),
        ("AboutText", "Kelvane default skin: every image of it is drawn by make_skin.py."),
        ("AboutCaption", "About Kelvane"),
    ]
    # The swatch picture of each radio, keyed by the radio's ID.
    info += [("Swatch_RAD_" + key, "swatch\\%s.png" % key.lower()) for key, _, _ in SWATCHES]

    items = [
        item(ID="LBL_BANNER", ControlType="1", ControlStyle=LABEL_STYLE,
             Name="Welcome to Kelvane", Pos=pos(*BANNER), BkImg=r"page\banner.png",
             FontSize="18", FontColor=argb(WHITE), FontFormat="1;1;1;1"),
        item(ID="LBL_OPTIONS", ControlType="1", ControlStyle=LABEL_STYLE,
             Name="Options", Pos=pos(inner_lx, ly + 8, lw - 2 * PANEL_PAD, 20),
             FontFormat="1;0;1;1"),
        item(ID="CHK_DETAILS", ControlType="2", ControlStyle=style(BS_AUTOCHECKBOX, group=True),
             Name="Show &details", Pos=pos(inner_lx, ly + 34, lw - 2 * PANEL_PAD, TOGGLE_H),
             BkImg=r"buttons\check.png", FontFormat=NEAR_MIDDLE, DrawFocus="1",
             ToolTip="Shows or hides the details below"),
        item(ID="LBL_DETAILS", ControlType="1", ControlStyle=LABEL_STYLE,
             Name=details_hidden, Pos=pos(inner_lx, ly + 66, lw - 2 * PANEL_PAD, 66),
             FontSize="12", FontColor=argb(INK_MUTED), FontFormat="0;0;0;1"),
        item(ID="LBL_ACCENT", ControlType="1", ControlStyle=LABEL_STYLE,
             Name="Accent colour", Pos=pos(inner_rx, ry + 8, 120, 20), FontFormat="1;0;1;1"),
    ]
    for i, (key, label, _) in enumerate(SWATCHES):
        items.append(item(
            ID="RAD_" + key, ControlType="2",
            ControlStyle=style(BS_AUTORADIOBUTTON, group=(i == 0)),
            Name=label, Pos=pos(inner_rx, ry + 34 + i * 28, 112, TOGGLE_H),
            BkImg=r"buttons\radio.png", FontFormat=NEAR_MIDDLE, DrawFocus="1",
            ToolTip="Use %s as the accent colour" % label.lower()))
    items += [
        item(ID="LBL_SWATCH", ControlType="1", ControlStyle=LABEL_STYLE,
             Pos=pos(rx + rw - PANEL_PAD - SWATCH_W, ry + 34 + 4, SWATCH_W, SWATCH_H),
             BkImg=r"swatch\teal.png", Cursor=r"cursors\dropper.cur",
             ToolTip="The colour you picked"),
        item(ID="BTN_ABOUT", ControlType="4", ControlStyle=style(BS_PUSHBUTTON, group=True),
             Pos=pos(MARGIN, FOOTER_MID - ROUND_D // 2, ROUND_D, ROUND_D),
             BkImg=r"buttons\round.png", Icon=r"icons\info.png", ToolTip="About Kelvane"),
        item(ID="LBL_VERSION", ControlType="1", ControlStyle=LABEL_STYLE,
             Name="Version 1.0",
             Pos=pos(version_x, push_y, message_x - 8 - version_x, PUSH_H), FontSize="12",
             FontColor=argb(INK_MUTED), FontFormat=NEAR_MIDDLE),
        item(ID="BTN_MESSAGE", ControlType="2", ControlStyle=style(BS_PUSHBUTTON, group=True),
             Name="Show message", Pos=pos(message_x, push_y, PUSH_W, PUSH_H),
             BkImg=r"buttons\primary.png", Icon=r"icons\message.png",
             FontColor=argb(WHITE) + ";" + argb(SURFACE), FontFormat=NEAR_MIDDLE,
             DrawFocus="1", ToolTip="Shows a message box"),
        item(ID="BTN_EXIT", ControlType="2", ControlStyle=style(BS_PUSHBUTTON, group=True),
             Name="Close", Pos=pos(PAGE_W - MARGIN - PUSH_W, push_y, PUSH_W, PUSH_H),
             BkImg=r"buttons\secondary.png", Icon=r"icons\close.png", FontFormat=NEAR_MIDDLE,
             DrawFocus="1", ToolTip="Closes the window"),
    ]
    return info, items


ATTRIBUTE_ORDER = ["ID", "Name", "ControlType", "ControlStyle", "Pos", "BkImg", "Icon",
                   "Cursor", "FontName", "FontSize", "FontColor", "FontFormat", "DrawFocus",
                   "ToolTip"]


def section_xml(name, info, items):
    lines = ["<%s>" % name, "  <WindowInfo>"]
    lines += ["    <Item ItemID=%s Data=%s/>" % (quoteattr(k), quoteattr(v)) for k, v in info]
    lines += ["  </WindowInfo>", "  <DynamicInfo>"]
    for entry in items:
        attrs = " ".join("%s=%s" % (k, quoteattr(entry[k])) for k in ATTRIBUTE_ORDER if k in entry)
        lines.append("    <Item %s/>" % attrs)
    lines += ["  </DynamicInfo>", "</%s>" % name]
    return ["    " + line for line in lines]


def skin_xml():
    container_info, container_items = container_section()
    page_info, page_items = page_section()
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- %s -->" % escape("Generated by skins/default/make_skin.py; edit the script."),
             "<Kelvane>", "  <CommonWindow>"]
    lines += section_xml("MainDlgInfo", container_info, container_items)
    lines += section_xml("DemoPage", page_info, page_items)
    lines += ["  </CommonWindow>", "</Kelvane>", ""]
    return "\n".join(lines)


# ---------------------------------------------------------------------------
# Output.

def art(percent=100):
    """Every image of the image folder drawn at percent, by its base name
    relative to the folder."""
    icon = px(ICON, percent)
    files = {
        "container/background.png": draw_container_background(percent),
        "container/close.png": draw_close_strip(percent),
        "page/background.png": draw_page_background(percent),
        "page/banner.png": draw_banner(percent),
        "buttons/primary.png": draw_push_strip(PUSH_W, PUSH_H, PRIMARY_LOOKS, percent),
        "buttons/secondary.png": draw_push_strip(PUSH_W, PUSH_H, SECONDARY_LOOKS, percent),
        "buttons/round.png": draw_round_strip(ROUND_D, percent),
        "buttons/check.png": draw_toggle_strip(False, percent),
        "buttons/radio.png": draw_toggle_strip(True, percent),
        "icons/info.png": draw_icon("info", icon, ACCENT),
        "icons/message.png": draw_icon("message", icon, WHITE),
        "icons/close.png": draw_icon("close", icon, INK),
    }
    for key, _, colour in SWATCHES:
        files["swatch/%s.png" % key.lower()] = draw_swatch(colour, percent)
    return files


def variant_name(name, percent):
    """The file the reader takes at percent: "page/banner@150.png"."""
    if percent == 100:
        return name
    stem, ext = os.path.splitext(name)
    return "%s@%d%s" % (stem, percent, ext)


def icon_files():
    """Binary icon and cursor files: the window icon in three sizes, the
    item icons as .ico too, and the eyedropper cursor."""
    files = {"icons/kelvane.ico": icon_file_bytes([draw_emblem(n) for n in (32, 16, 48)])}
    for kind, colour in (("info", ACCENT), ("message", WHITE), ("close", INK)):
        files["icons/%s.ico" % kind] = icon_file_bytes(
            [draw_icon(kind, n, colour) for n in (16, 32)])
    cursor, hotspot = draw_dropper_cursor()
    files["cursors/dropper.cur"] = icon_file_bytes([cursor], hotspot=hotspot)
    return files


def save_picture(picture, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    picture.save(path, optimize=True)


def write(outdir):
    image_dir = os.path.join(outdir, "default")
    for percent in (100,) + SCALES:
        for name, picture in art(percent).items():
            save_picture(picture, os.path.join(image_dir, variant_name(name, percent)))
    for name, data in icon_files().items():
        path = os.path.join(image_dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    # The skin file last: the build treats it as the mark of a complete run.
    with open(os.path.join(outdir, "Kelvane.xml"), "w", encoding="utf-8", newline="\r\n") as f:
        f.write(skin_xml())


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("outdir")
    parser.add_argument("--preview", metavar="DIR")
    args = parser.parse_args(argv)
    write(args.outdir)
    if args.preview:
        sys.dont_write_bytecode = True  # keep the source folder clean
        import preview
        preview.write_previews(args.outdir, args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
