# The program icon (a little television with a play sign) and its 16-colour tray version.
from raster import Canvas, Capsule, Circle, Polygon, RoundRect, linear

CHARCOAL_TOP, CHARCOAL_BOTTOM = (104, 108, 117), (50, 53, 59)
SCREEN_TOP, SCREEN_BOTTOM = (120, 214, 255), (24, 96, 196)


def program_icon(size):
    """Drawn on a 48-unit grid and scaled; strokes keep at least a pixel at 16 x 16."""
    k = size / 48.0
    c = Canvas(size, size, alpha=0.0)

    def u(*values):
        return [v * k for v in values]

    stroke = max(1.3 * k, 0.6)
    if size >= 32:
        for tip in (10, 38):
            c.paint(Capsule(*u(24, 14, tip, 3), stroke), (70, 74, 82))
            c.paint(Circle(*u(tip, 3), max(2.2 * k, 1.0)), (210, 214, 220))
    else:
        c.paint(Capsule(*u(24, 13, 13, 3), stroke), (70, 74, 82))
        c.paint(Capsule(*u(24, 13, 35, 3), stroke), (70, 74, 82))
    c.paint(RoundRect(*u(2, 12, 46, 45), 6 * k), (26, 27, 31))
    c.paint(RoundRect(*u(3, 13, 45, 43.5), 5 * k),
            linear(0, 13 * k, 0, 44 * k, [(0, CHARCOAL_TOP), (1, CHARCOAL_BOTTOM)]))
    c.paint(RoundRect(*u(6, 16, 36, 40), 4.5 * k), (200, 204, 210))
    c.paint(RoundRect(*u(7.5, 17.5, 34.5, 38.5), 3.5 * k),
            linear(0, 17 * k, 0, 39 * k, [(0, SCREEN_TOP), (1, SCREEN_BOTTOM)]))
    c.paint(Polygon([tuple(u(16, 21.5)), tuple(u(16, 34.5)), tuple(u(27.5, 28))]), (255, 255, 255))
    for y in (23, 32):
        c.paint(Circle(*u(41, y), 2.8 * k), (214, 218, 224))
        c.paint(Circle(*u(41.4, y + 0.4), 1.2 * k), (120, 124, 131))
    return c


# The tray icon keeps to these sixteen colours; index 0 is the see-through one.
TRAY_PALETTE = [
    (0, 0, 0),          # transparent
    (16, 17, 20),       # outline
    (60, 63, 70),       # cabinet
    (98, 102, 110),     # cabinet, lit edge
    (150, 154, 161),    # silver shadow
    (206, 210, 216),    # silver
    (255, 255, 255),    # play sign
    (24, 96, 196),      # screen, deep
    (64, 150, 230),     # screen
    (130, 214, 255),    # screen, bright
    (236, 140, 40),     # pilot lamp
]


def tray_icon():
    """Hard-edged, so that every pixel is one of the palette's colours or see-through."""
    c = Canvas(32, 32, alpha=0.0)
    p = TRAY_PALETTE
    sharp = 0.01
    c.paint(Capsule(16, 9, 8, 2, 0.8), p[1], softness=sharp)
    c.paint(Capsule(16, 9, 24, 2, 0.8), p[1], softness=sharp)
    c.paint(RoundRect(1, 8, 31, 30, 4), p[1], softness=sharp)
    c.paint(RoundRect(2, 9, 30, 29, 3), p[3], softness=sharp)
    c.paint(RoundRect(2, 10, 30, 29, 3), p[2], softness=sharp)
    c.paint(RoundRect(4, 11, 24, 27, 3), p[4], softness=sharp)
    c.paint(RoundRect(4, 11, 23, 26, 3), p[5], softness=sharp)
    c.paint(RoundRect(5, 12, 23, 26, 2), p[7], softness=sharp)
    c.paint(RoundRect(5, 12, 23, 22, 2), p[8], softness=sharp)
    c.paint(RoundRect(5, 12, 23, 16, 2), p[9], softness=sharp)
    c.paint(Polygon([(11, 14.5), (11, 24), (18, 19.25)]), p[6], softness=sharp)
    c.paint(Circle(27, 15, 1.6), p[5], softness=sharp)
    c.paint(Circle(27, 20, 1.6), p[5], softness=sharp)
    c.paint(Circle(27, 25, 1.1), p[10], softness=sharp)
    rgba = c.rgba()
    indices = [0 if a < 128 else nearest(p, (r, g, b)) for r, g, b, a in rgba]
    return p, indices, 0


def nearest(palette, colour):
    return min(range(1, len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))
