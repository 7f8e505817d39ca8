# The About dialogs' pictures: the background (shared with the playlist editor) and two logos.
import functools
import math

from icons import program_icon
from raster import (Arc, Canvas, Capsule, Circle, Intersection, Polygon, RoundRect, Union,
                    linear, mix, radial)

SIZE = 300
NIGHT, DUSK = (8, 18, 64), (28, 64, 168)
SEE_THROUGH = (255, 0, 255)  # the logos' see-through colour, also their bottom-left pixel
OUTLINE = (8, 16, 52)

# Where the dialogs put their logos (left, top); they are drawn at their own size there.
QUILLO_LOGO_AT, QUILLO_LOGO_SIZE = (48, 16), (200, 50)
OSTRA_LOGO_AT, OSTRA_LOGO_SIZE = (80, 5), (130, 55)

# Under the list box of the playlist editor (8..249) and above the buttons (from 255).
FOOTER_TOP = 251


@functools.cache
def background():
    c = Canvas(SIZE, SIZE, NIGHT)
    c.paint(RoundRect(-10, -10, SIZE + 10, SIZE + 10, 0),
            linear(0, 0, SIZE * 0.4, SIZE, [(0, NIGHT), (1, DUSK)]))
    # A soft light behind the logos.
    c.paint(Circle(150, 40, 150), radial(150, 40, 150, [(0, (70, 120, 230)), (1, DUSK)]),
            opacity=0.45, softness=60)
    # Broadcast waves rising from the lower right corner.
    for n, radius in enumerate((70, 110, 150, 190, 230, 270)):
        c.paint(Arc(SIZE + 20, SIZE + 20, radius, math.pi, 1.5 * math.pi, 2.0 - n * 0.15),
                (130, 180, 255), opacity=0.16 - n * 0.018)
    # The footer the buttons stand on, set off by a thin lit edge.
    c.paint(RoundRect(-10, FOOTER_TOP, SIZE + 10, SIZE + 10, 0), (4, 10, 40), opacity=0.45)
    c.paint(RoundRect(-10, FOOTER_TOP - 1, SIZE + 10, FOOTER_TOP, 0), (150, 190, 255),
            opacity=0.35)
    return c


def _logo(size, at, draw):
    """Paints on a see-through canvas, then settles the edges over the dialog's background, so the
    see-through colour never tints them: a pixel covered at least half is blended with the
    background beneath it, any other pixel becomes see-through.
    """
    width, height = size
    shapes = Canvas(width, height, alpha=0.0)
    draw(shapes)
    back = background()
    out = Canvas(width, height, SEE_THROUGH)
    for y in range(height):
        for x in range(width):
            r, g, b, a = shapes.get(x, y)
            if a >= 0.5:
                under = back.get(at[0] + x, at[1] + y)[:3]
                out.pixels[y * width + x][:3] = mix(under, (r, g, b), a)
    assert tuple(out.get(0, height - 1)[:3]) == SEE_THROUGH
    return out


def _lettering(c, strokes, top, bottom):
    fill = linear(0, top, 0, bottom, [(0, (255, 255, 255)), (0.55, (214, 232, 255)),
                                      (1, (150, 196, 255))])
    shape = Union(*strokes)
    c.paint(shape.grown(2.4), OUTLINE)
    c.paint(shape, fill)


def quillo_logo():
    def draw(c):
        icon = program_icon(48)
        for y in range(48):
            for x in range(48):
                r, g, b, a = icon.get(x, y)
                if a > 0:
                    c.blend((y + 1) * c.width + x + 2, (r, g, b), a)
        w, base, xh = 3.0, 40, 19
        q = Union(Arc(75, 25, 13.5, 0, 2 * math.pi, w), Capsule(80, 32, 88, 42, w))
        u = Union(Capsule(101, xh, 101, 32, w), Arc(109, 32, 8, 0, math.pi, w),
                  Capsule(117, xh, 117, base, w))
        i = Union(Capsule(129, xh, 129, base, w), Circle(129, 11, 3.4))
        ells = [Capsule(x, 8, x, base, w) for x in (140, 151)]
        o = Arc(172, 29.5, 10.5, 0, 2 * math.pi, w)
        _lettering(c, [q, u, i, *ells, o], 8, base + 3)
    return _logo(QUILLO_LOGO_SIZE, QUILLO_LOGO_AT, draw)


def ostra_logo():
    """A scallop shell with a pearl, between square brackets."""
    def draw(c):
        for left in (True, False):
            x, tip = (12, 20) if left else (118, 110)
            bracket = Union(Capsule(x, 7, x, 48, 2.6), Capsule(x, 7, tip, 7, 2.6),
                            Capsule(x, 48, tip, 48, 2.6))
            c.paint(bracket.grown(2), OUTLINE)
            c.paint(bracket, (236, 244, 255))
        hinge_x, hinge_y, reach = 65, 44, 32
        rim = [(hinge_x + reach * math.cos(math.radians(a)),
                hinge_y + reach * math.sin(math.radians(a))) for a in range(200, 341, 20)]
        fan = Intersection(Polygon([(hinge_x, hinge_y + 2)] + [
            (hinge_x + 1.3 * (x - hinge_x), hinge_y + 1.3 * (y - hinge_y)) for x, y in rim]),
            Circle(hinge_x, hinge_y, reach))
        scallops = Union(fan, *(Circle(x, y, 4.2) for x, y in rim[1:-1]))
        ears = Polygon([(hinge_x - 11, hinge_y + 5), (hinge_x - 8, hinge_y - 3),
                        (hinge_x + 8, hinge_y - 3), (hinge_x + 11, hinge_y + 5)])
        shell = Union(scallops, ears)
        c.paint(shell.grown(2), OUTLINE)
        c.paint(shell, linear(0, hinge_y - reach, 0, hinge_y,
                              [(0, (255, 240, 228)), (1, (236, 170, 150))]))
        for x, y in rim[1:-1]:
            c.paint(Capsule(hinge_x, hinge_y, hinge_x + 0.86 * (x - hinge_x),
                            hinge_y + 0.86 * (y - hinge_y), 0.9), (196, 120, 110))
        c.paint(Circle(hinge_x, hinge_y + 1, 7.5), OUTLINE)
        c.paint(Circle(hinge_x, hinge_y + 1, 6),
                radial(hinge_x - 2, hinge_y - 1.5, 8, [(0, (255, 255, 255)), (0.5, (236, 232, 246)),
                                                      (1, (170, 164, 196))]))
    return _logo(OSTRA_LOGO_SIZE, OSTRA_LOGO_AT, draw)
