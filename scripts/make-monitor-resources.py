#!/usr/bin/env python3
"""Draws the monitor's bitmaps, icons and lamp pictures into monitor/app/res.

The images are simple enough to be drawn from code, which keeps them
reviewable and lets anyone change one without an image editor. The output
is committed; the build only compiles it into the program. Standard library
only: the BMP, ICO and GIF bytes (GIF with its LZW coder) are written here.

Run from anywhere: python3 scripts/make-monitor-resources.py
"""

import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "monitor", "app", "res")

# The tool bar turns this grey into the button face colour, so every
# button background is exactly this value.
FACE = (192, 192, 192)
# The tool bar's image lists take pure black as their mask colour; drawing
# in it would punch holes into a button, so "black" is this near-black.
INK = (24, 24, 32)


class Canvas:
    """RGBA pixels, top row first."""

    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[tuple(fill) for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            if len(c) == 3:
                c = (c[0], c[1], c[2], 255)
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Filled, inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        """Filled circle about a centre that may sit between pixels."""
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy)
                if r - width / 2 <= d < r + width / 2:
                    self.set(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                c = other.get(x, y)
                if c[3] > 0:
                    self.set(ox + x, oy + y, c)


def shaded_disc(cv, cx, cy, r, dark, mid, light, rim):
    """A lamp: a disc lit from the upper left, with a rim."""
    for y in range(cv.h):
        for x in range(cv.w):
            d = math.hypot(x - cx, y - cy)
            if d > r:
                continue
            # Distance from the highlight spot decides the shade.
            h = math.hypot(x - (cx - r * 0.35), y - (cy - r * 0.35)) / (r * 1.35)
            h = min(1.0, h)
            if h < 0.5:
                t = h / 0.5
                c = tuple(int(light[i] + (mid[i] - light[i]) * t) for i in range(3))
            else:
                t = (h - 0.5) / 0.5
                c = tuple(int(mid[i] + (dark[i] - mid[i]) * t) for i in range(3))
            if d > r - 1.0:
                c = rim
            cv.set(x, y, c)


# ---- File writers ------------------------------------------------------------


def bmp24(cv, background):
    """A bottom-up 24-bit BMP; transparent pixels take the background."""
    row_bytes = (cv.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            r, g, b, a = cv.get(x, y)
            if a == 0:
                r, g, b = background
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    return file_header + header + bytes(data)


def ico_image(cv):
    """One icon image: 32-bit BGRA colour plus the 1-bit AND mask."""
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        for x in range(cv.w):
            r, g, b, a = cv.get(x, y)
            xor += bytes((b, g, r, a))
    mask_row = ((cv.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(cv.w):
            if cv.get(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico(canvases):
    images = [ico_image(cv) for cv in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for cv, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    return bytes(out)


def lzw_encode(indices, min_code_size):
    """GIF LZW: variable code width up to 12 bits, a clear code when the
    table is full, packed least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    width = min_code_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    bits = 0
    nbits = 0
    out = bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    prefix = ()
    for idx in indices:
        candidate = prefix + (idx,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder widens one code later than the encoder adds.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (idx,)
    if prefix:
        emit(table[prefix])
    emit(end)
    if nbits > 0:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(frames, delay_cs, loop=True):
    """frames: canvases of one size, each pixel either transparent or one of
    at most 15 colours. Index 0 of the shared palette is transparent."""
    w, h = frames[0].w, frames[0].h
    palette = [(192, 192, 192)]  # index 0: transparent, shown as face grey by plain viewers
    lookup = {}
    indexed = []
    for cv in frames:
        idx = []
        for y in range(h):
            for x in range(w):
                r, g, b, a = cv.get(x, y)
                if a == 0:
                    idx.append(0)
                    continue
                key = (r, g, b)
                if key not in lookup:
                    lookup[key] = len(palette)
                    palette.append(key)
                idx.append(lookup[key])
        indexed.append(idx)
    if len(palette) > 256:
        raise ValueError("too many colours for one GIF palette")
    table_bits = max(1, math.ceil(math.log2(len(palette))))
    size = 1 << table_bits
    palette += [(0, 0, 0)] * (size - len(palette))
    min_code = max(2, table_bits)

    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0x80 | ((8 - 1) << 4) | (table_bits - 1), 0, 0)
    for c in palette:
        out += bytes(c)
    if loop and len(frames) > 1:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for idx in indexed:
        # Graphic control: leave each frame in place (every frame covers the
        # same lamp), transparent index 0.
        out += b"\x21\xF9\x04" + bytes([(1 << 2) | 1]) + struct.pack("<H", delay_cs) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        out.append(min_code)
        out += sub_blocks(lzw_encode(idx, min_code))
    out += b"\x3B"
    return bytes(out)


# ---- Tool bar buttons ------------------------------------------------------------


def button_blank():
    return Canvas(16, 16)


def button_position():
    """Position window: a map pin over a grid."""
    cv = Canvas(16, 16)
    grid = (96, 128, 176)
    for x in (2, 7, 12):
        cv.line(x, 9, x + 1, 15, grid)
    cv.line(0, 12, 15, 12, grid)
    cv.disc(7.5, 5.5, 4.6, (200, 24, 24))
    cv.ring(7.5, 5.5, 4.6, (120, 8, 8), 1.0)
    for i in range(5):
        cv.line(7 - max(0, 2 - i // 2), 9 + i, 8 + max(0, 2 - i // 2), 9 + i, (200, 24, 24))
    cv.set(7, 14, (120, 8, 8))
    cv.set(8, 14, (120, 8, 8))
    cv.disc(7.5, 5.5, 1.6, (255, 255, 255))
    return cv


def button_sky_plot():
    """Sky plot: the horizon rings with satellites on them."""
    cv = Canvas(16, 16)
    cv.disc(7.5, 7.5, 7.4, (232, 240, 255))
    cv.ring(7.5, 7.5, 7.0, (40, 64, 140), 1.2)
    cv.ring(7.5, 7.5, 3.6, (110, 130, 190), 1.0)
    cv.line(7, 1, 7, 14, (150, 165, 210))
    cv.line(1, 7, 14, 7, (150, 165, 210))
    for (x, y, c) in ((4, 3, (0, 160, 0)), (11, 5, (0, 160, 0)), (10, 11, (210, 120, 0)), (3, 10, (0, 160, 0))):
        cv.rect(x, y, x + 1, y + 1, c)
    return cv


def button_data_logger():
    """Data logger: a page being written, with a record dot."""
    cv = Canvas(16, 16)
    cv.rect(2, 1, 11, 14, (255, 255, 255))
    cv.frame(2, 1, 11, 14, (90, 90, 100))
    for y in (4, 6, 8, 10):
        cv.line(4, y, 9, y, (60, 90, 160))
    cv.disc(12.0, 12.0, 3.4, (220, 30, 30))
    cv.ring(12.0, 12.0, 3.4, (130, 10, 10), 1.0)
    return cv


def button_raw_data():
    """Raw data window: a terminal showing byte columns."""
    cv = Canvas(16, 16)
    cv.rect(0, 2, 15, 13, (40, 44, 52))
    cv.frame(0, 2, 15, 13, (110, 110, 120))
    cv.rect(1, 3, 14, 3, (70, 90, 160))
    green = (60, 230, 90)
    for y in (6, 8, 10):
        for x in (2, 3, 5, 6, 8, 9, 11, 12):
            if (x * 7 + y * 3) % 5 != 0:
                cv.set(x, y, green)
    return cv


def button_settings():
    """Settings: a gear."""
    cv = Canvas(16, 16)
    body = (120, 124, 136)
    edge = (60, 62, 72)
    for k in range(8):
        a = k * math.pi / 4
        x = 7.5 + 6.0 * math.cos(a)
        y = 7.5 + 6.0 * math.sin(a)
        cv.disc(x, y, 1.5, body)
    cv.disc(7.5, 7.5, 5.0, body)
    cv.ring(7.5, 7.5, 5.0, edge, 1.0)
    cv.disc(7.5, 7.5, 2.0, (0, 0, 0, 0))
    cv.ring(7.5, 7.5, 2.2, edge, 1.0)
    return cv


def button_about():
    """About: an information sign."""
    cv = Canvas(16, 16)
    cv.disc(7.5, 7.5, 7.3, (40, 90, 200))
    cv.ring(7.5, 7.5, 7.3, (20, 50, 130), 1.0)
    white = (255, 255, 255)
    cv.rect(7, 3, 8, 4, white)
    cv.rect(7, 6, 8, 11, white)
    cv.rect(6, 6, 6, 6, white)
    cv.rect(6, 12, 9, 12, white)
    return cv


def button_exit():
    """Exit: an open door with an arrow leaving through it."""
    cv = Canvas(16, 16)
    cv.rect(7, 1, 14, 14, (150, 100, 50))
    cv.frame(7, 1, 14, 14, (90, 55, 20))
    cv.rect(9, 2, 13, 13, (60, 40, 20))  # the opening
    cv.rect(12, 7, 12, 8, (230, 200, 60))
    arrow = (0, 140, 0)
    cv.rect(1, 7, 8, 8, arrow)
    for i in range(4):
        cv.line(4 - i, 4 + i, 4 - i, 11 - i, arrow)
    return cv


def toolbar_images():
    # One image per tool bar entry that is not a separator, in bar order.
    # The two combo boxes (link and GPS data) keep their image slots, since
    # the bar numbers images by button before the combos replace them.
    return [
        button_blank(),        # 36004 link combo
        button_position(),     # 32854
        button_sky_plot(),     # 32855
        button_blank(),        # 36009 GPS data combo
        button_data_logger(),  # 32796
        button_raw_data(),     # 32863
        button_settings(),     # 32925
        button_about(),        # 32785
        button_exit(),         # 1047
    ]


def strip(images, recolour):
    cv = Canvas(16 * len(images), 16)
    for i, img in enumerate(images):
        for y in range(16):
            for x in range(16):
                c = img.get(x, y)
                if c[3] == 0:
                    continue
                r, g, b = recolour(c[:3])
                cv.set(16 * i + x, y, (r, g, b))
    return cv


def safe(c):
    """Keeps a drawn pixel off the two colours the bar treats specially."""
    c = tuple(max(0, min(255, int(v))) for v in c)
    if c == (0, 0, 0):
        return INK
    if c == FACE:
        return (188, 188, 188)
    return c


def normal(c):
    return safe(c)


def greyed(c):
    # A disabled button: flat, light grey, still readable as its shape.
    lum = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]
    v = 128 + lum * 0.35
    return safe((v, v, v))


def hot(c):
    # The button under the mouse: the same picture, brighter and stronger.
    out = []
    for v in c:
        out.append(v + (255 - v) * 0.25)
    mean = sum(out) / 3
    out = [mean + (v - mean) * 1.25 for v in out]
    return safe(out)


# ---- Icons ---------------------------------------------------------------------------


def state_icon(size, dark, mid, light, rim):
    cv = Canvas(size, size)
    c = (size - 1) / 2
    shaded_disc(cv, c, c, size * 0.44, dark, mid, light, rim)
    return cv


def program_icon(size):
    """A dish aimed at a satellite, on a blue tile."""
    cv = Canvas(size, size)
    s = size / 32.0
    tile = (30, 70, 150)
    # Rounded tile.
    for y in range(size):
        for x in range(size):
            inset = 3.5 * s
            dx = max(inset - x, 0, x - (size - 1 - inset))
            dy = max(inset - y, 0, y - (size - 1 - inset))
            if math.hypot(dx, dy) <= inset + 0.5:
                shade = int(40 * y / size)
                cv.set(x, y, (tile[0] + shade // 2, tile[1] + shade, tile[2] + shade))
    # The dish: a filled half disc tilted towards the upper right.
    cx, cy, r = 13 * s, 19 * s, 9 * s
    for y in range(size):
        for x in range(size):
            dx, dy = x - cx, y - cy
            if dx * dx + dy * dy <= r * r and (dx - dy) <= 1.5 * s and (dx - dy) >= -r * 1.0:
                cv.set(x, y, (235, 238, 245))
    # Feed arm and horn.
    cv.line(int(13 * s), int(19 * s), int(20 * s), int(12 * s), (200, 205, 215))
    cv.disc(20 * s, 12 * s, 1.3 * s, (255, 210, 60))
    # Stand.
    cv.rect(int(11 * s), int(26 * s), int(15 * s), int(27 * s), (200, 205, 215))
    cv.line(int(13 * s), int(22 * s), int(13 * s), int(26 * s), (200, 205, 215))
    # Satellite and its signal.
    sx, sy = 25 * s, 6 * s
    cv.rect(int(sx - 1 * s), int(sy - 1 * s), int(sx + 1 * s), int(sy + 1 * s), (255, 210, 60))
    if size >= 24:
        cv.rect(int(sx - 5 * s), int(sy - 0.5 * s), int(sx - 2 * s), int(sy + 0.5 * s), (120, 200, 255))
        cv.rect(int(sx + 2 * s), int(sy - 0.5 * s), int(sx + 5 * s), int(sy + 0.5 * s), (120, 200, 255))
        for k in (1, 2):
            rr = (4 + 3 * k) * s
            for a10 in range(100, 171, 4):
                a = math.radians(a10)
                cv.set(int(round(sx + rr * math.cos(a))), int(round(sy + rr * math.sin(a))), (120, 200, 255))
    return cv


# ---- Lamps ---------------------------------------------------------------------------


def lamp(size, dark, mid, light, rim):
    cv = Canvas(size, size)
    c = (size - 1) / 2
    shaded_disc(cv, c, c, size / 2 - 0.3, dark, mid, light, rim)
    return cv


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {}

    images = toolbar_images()
    files["toolbar.bmp"] = bmp24(strip(images, normal), FACE)
    files["toolbar_normal.bmp"] = bmp24(strip(images, normal), FACE)
    files["toolbar_disabled.bmp"] = bmp24(strip(images, greyed), FACE)
    files["toolbar_hot.bmp"] = bmp24(strip(images, hot), FACE)

    files["monitor.ico"] = ico([program_icon(32), program_icon(16)])
    files["monitor_small.ico"] = ico([program_icon(16), program_icon(32)])
    green = ((0, 110, 0), (40, 200, 40), (200, 255, 200), (0, 80, 0))
    grey = ((110, 110, 110), (170, 170, 170), (240, 240, 240), (90, 90, 90))
    red = ((130, 0, 0), (220, 40, 40), (255, 200, 200), (100, 0, 0))
    files["state_green.ico"] = ico([state_icon(16, *green), state_icon(32, *green)])
    files["state_grey.ico"] = ico([state_icon(16, *grey), state_icon(32, *grey)])
    files["state_red.ico"] = ico([state_icon(16, *red), state_icon(32, *red)])

    rest = lamp(12, (0, 60, 0), (0, 100, 0), (60, 140, 60), (0, 48, 0))
    files["rest.gif"] = gif([rest], 0, loop=False)
    active = [
        lamp(12, (0, 150, 0), (40, 220, 40), (190, 255, 190), (0, 110, 0)),
        lamp(12, (30, 190, 30), (90, 255, 90), (235, 255, 235), (0, 140, 0)),
        lamp(12, (0, 150, 0), (40, 220, 40), (190, 255, 190), (0, 110, 0)),
    ]
    files["active.gif"] = gif(active, 6)

    for name, data in sorted(files.items()):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        print("%-22s %6d bytes" % (name, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
