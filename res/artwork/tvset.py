# The television set the player window shows around the video, and the menu key on its front.
import math

from raster import Canvas, Capsule, Circle, RoundRect, linear, radial, shade

WIDTH, HEIGHT = 240, 205
VIDEO = (16, 20, 206, 154)          # left, top, width, height: the video control covers this
KEY = (200, 182, 20, 20)            # the menu key's place on the front panel
BLACK = (0, 0, 0)

# The set's parts, left, top, right, bottom. The bands are several pixels wide so that they are
# still there when the set is drawn at half size.
OPENING = (13, 17, 225, 176.5)      # the black glass, 3 pixels round the video (2.5 below)
BEZEL = (6.5, 10.5, 232, 179.5)     # the silver frame round the glass
GROOVE = (5, 9, 233.5, 181)         # the shadow line between frame and cabinet; the key is below

PLASTIC_TOP, PLASTIC_BOTTOM = (96, 100, 108), (52, 55, 61)
SILVER_TOP, SILVER_BOTTOM = (204, 208, 214), (120, 124, 131)


def _cabinet(c):
    c.paint(RoundRect(0, 0, WIDTH, HEIGHT, 14), (24, 25, 29))
    c.paint(RoundRect(0, 0, WIDTH, HEIGHT - 2, 14), (150, 155, 164))
    c.paint(RoundRect(1.5, 1.5, WIDTH - 1.5, HEIGHT - 2, 12.5),
            linear(0, 0, 0, HEIGHT, [(0, PLASTIC_TOP), (1, PLASTIC_BOTTOM)]))
    # A soft sheen along the top, as on moulded plastic under a lamp.
    c.paint(RoundRect(24, 3, WIDTH - 24, 8, 2.5), (255, 255, 255), opacity=0.08, softness=6.0)


def _screen(c):
    c.paint(RoundRect(*GROOVE, 14.5), (18, 19, 22))
    c.paint(RoundRect(*BEZEL, 13),
            linear(0, BEZEL[1], 0, BEZEL[3], [(0, SILVER_TOP), (1, SILVER_BOTTOM)]))
    # The glass sits in a bevel: its upper lip in shadow, its lower lip catching the light.
    lip = RoundRect(OPENING[0] - 1.5, OPENING[1] - 1.5, OPENING[2] + 1.5, OPENING[3] + 1.5, 6.5)
    c.paint(lip, linear(0, OPENING[1], 0, OPENING[3], [(0, (70, 73, 79)), (1, (226, 229, 233))]))
    # The glass; the video covers all of it but a dark rim, which shows the tube's curve.
    c.paint(RoundRect(*OPENING, 5), radial(70, 50, 260, [(0, (18, 21, 26)), (1, BLACK)]))


def _knob(c, cx, cy, angle):
    c.paint(Circle(cx + 0.8, cy + 1.2, 8), (16, 17, 20), softness=1.5)
    c.paint(Circle(cx, cy, 7.5), (30, 31, 35))
    c.paint(Circle(cx, cy, 6.5),
            linear(cx - 6, cy - 6, cx + 6, cy + 6, [(0, (232, 234, 238)), (1, (112, 116, 123))]))
    c.paint(Circle(cx, cy, 4.5),
            linear(cx - 4, cy - 4, cx + 4, cy + 4, [(0, (150, 154, 161)), (1, (214, 217, 222))]))
    dx, dy = math.cos(angle), math.sin(angle)
    c.paint(Capsule(cx + dx * 1.5, cy + dy * 1.5, cx + dx * 5.5, cy + dy * 5.5, 0.9), (40, 42, 47))


def _panel(c):
    _knob(c, 21, 193, -2.4)
    _knob(c, 42, 193, -0.6)
    # The speaker grille: three slots, each a dark groove with a lit lower edge.
    for y in (187.5, 192.5, 197.5):
        c.paint(Capsule(62, y + 0.8, 176, y + 0.8, 1.3), shade(PLASTIC_BOTTOM, 1.35))
        c.paint(Capsule(62, y, 176, y, 1.3), (20, 21, 24))
    # The pilot lamp, amber, with a little glow.
    c.paint(Circle(189.5, 192.5, 4.5), (255, 170, 60), opacity=0.25, softness=3.0)
    c.paint(Circle(189.5, 192.5, 2.2), (40, 20, 8))
    c.paint(Circle(189.5, 192.5, 1.7), radial(189, 192, 2.2, [(0, (255, 226, 150)),
                                                             (1, (236, 120, 30))]))
    # The key's hole, hidden under the key until a press moves the key a pixel into it.
    x, y, w, h = KEY
    c.paint(RoundRect(x, y, x + w, y + h, 4), (22, 23, 26))


def draw_set():
    left, top, width, height = VIDEO
    assert OPENING[0] < left and OPENING[1] < top
    assert OPENING[2] > left + width and OPENING[3] > top + height
    assert GROOVE[3] <= KEY[1], "the frame must end above the menu key"
    c = Canvas(WIDTH, HEIGHT, BLACK)
    _cabinet(c)
    _screen(c)
    _panel(c)
    return c


def draw_key(under):
    """The 20 x 20 key, drawn over under(x, y): the set's own pixels beneath it."""
    w, h = KEY[2], KEY[3]
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.pixels[y * w + x][:3] = under(x, y)
    c.paint(RoundRect(0, 0.5, w, h, 4), (12, 12, 14))
    c.paint(RoundRect(0, 0, w - 0.5, h - 1, 3.5),
            linear(0, 0, 0, h, [(0, (245, 247, 250)), (1, (140, 144, 151))]))
    c.paint(RoundRect(1.5, 1.5, w - 2, h - 2.5, 2.5),
            linear(0, 0, 0, h, [(0, (214, 218, 224)), (1, (170, 174, 181))]))
    # Three bars: the sign for a menu.
    for y in (6, 10, 14):
        c.paint(RoundRect(5, y - 1, 15, y + 1, 0.8), (46, 49, 56))
    return c
