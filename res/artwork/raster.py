# A small anti-aliased painter: shapes are signed distance functions, painted in layers.
import math


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def shade(colour, factor):
    """Darker below 1, lighter above (towards white)."""
    if factor <= 1.0:
        return tuple(c * factor for c in colour)
    return mix(colour, (255.0, 255.0, 255.0), factor - 1.0)


# Shapes. distance(x, y) is negative inside, in pixels; bbox bounds where it can be negative.

class Shape:
    def grown(self, by):
        return Offset(self, by)


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, radius):
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius
        self.r = radius
        self.bbox = (x0, y0, x1, y1)

    def distance(self, x, y):
        qx = abs(x - self.cx) - self.hx
        qy = abs(y - self.cy) - self.hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r


class Circle(Shape):
    def __init__(self, cx, cy, radius):
        self.cx, self.cy, self.r = cx, cy, radius
        self.bbox = (cx - radius, cy - radius, cx + radius, cy + radius)

    def distance(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class Capsule(Shape):
    """A straight stroke with round ends."""

    def __init__(self, ax, ay, bx, by, half_width):
        self.ax, self.ay, self.bx, self.by, self.w = ax, ay, bx, by, half_width
        self.bbox = (min(ax, bx) - half_width, min(ay, by) - half_width,
                     max(ax, bx) + half_width, max(ay, by) + half_width)

    def distance(self, x, y):
        dx, dy = self.bx - self.ax, self.by - self.ay
        px, py = x - self.ax, y - self.ay
        length2 = dx * dx + dy * dy
        t = clamp((px * dx + py * dy) / length2) if length2 else 0.0
        return math.hypot(px - dx * t, py - dy * t) - self.w


class Arc(Shape):
    """A stroke along a circle from angle a0 to a1 (radians, clockwise on screen)."""

    def __init__(self, cx, cy, radius, a0, a1, half_width):
        self.cx, self.cy, self.R, self.w = cx, cy, radius, half_width
        self.a0, self.span = a0, a1 - a0
        self.ends = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in (a0, a1)]
        reach = radius + half_width
        self.bbox = (cx - reach, cy - reach, cx + reach, cy + reach)

    def distance(self, x, y):
        angle = (math.atan2(y - self.cy, x - self.cx) - self.a0) % (2 * math.pi)
        if angle <= self.span:
            return abs(math.hypot(x - self.cx, y - self.cy) - self.R) - self.w
        return min(math.hypot(x - ex, y - ey) for ex, ey in self.ends) - self.w


class Polygon(Shape):
    def __init__(self, points):
        self.points = points
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))

    def distance(self, x, y):
        best, inside = float("inf"), False
        n = len(self.points)
        for i in range(n):
            ax, ay = self.points[i]
            bx, by = self.points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy))
            best = min(best, math.hypot(x - ax - dx * t, y - ay - dy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / dy:
                inside = not inside
        return -best if inside else best


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes
        boxes = [s.bbox for s in shapes]
        self.bbox = (min(b[0] for b in boxes), min(b[1] for b in boxes),
                     max(b[2] for b in boxes), max(b[3] for b in boxes))

    def distance(self, x, y):
        return min(s.distance(x, y) for s in self.shapes)


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.bbox = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
                     min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))

    def distance(self, x, y):
        return max(self.a.distance(x, y), self.b.distance(x, y))


class Offset(Shape):
    def __init__(self, shape, by):
        self.shape, self.by = shape, by
        b = shape.bbox
        self.bbox = (b[0] - by, b[1] - by, b[2] + by, b[3] + by)

    def distance(self, x, y):
        return self.shape.distance(x, y) - self.by


# Fills: a colour, or a function of the pixel centre giving one.

def linear(x0, y0, x1, y1, stops):
    """Colour stops [(t, colour), ...] along the line from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def fill(x, y):
        return along(stops, clamp(((x - x0) * dx + (y - y0) * dy) / length2))
    return fill


def radial(cx, cy, radius, stops):
    def fill(x, y):
        return along(stops, clamp(math.hypot(x - cx, y - cy) / radius))
    return fill


def along(stops, t):
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0.0)
    return stops[-1][1]


class Canvas:
    """Straight (not premultiplied) RGBA, colour 0..255, alpha 0..1."""

    def __init__(self, width, height, background=(0.0, 0.0, 0.0), alpha=1.0):
        self.width, self.height = width, height
        self.pixels = [[*background, alpha] for _ in range(width * height)]

    def paint(self, shape, fill, opacity=1.0, softness=1.0):
        """Lays shape over the picture; softness widens the anti-aliased edge (pixels)."""
        b = shape.bbox
        x0, y0 = max(0, int(math.floor(b[0] - softness))), max(0, int(math.floor(b[1] - softness)))
        x1 = min(self.width, int(math.ceil(b[2] + softness)) + 1)
        y1 = min(self.height, int(math.ceil(b[3] + softness)) + 1)
        solid = None if callable(fill) else fill
        for y in range(y0, y1):
            row = y * self.width
            for x in range(x0, x1):
                px, py = x + 0.5, y + 0.5
                cover = clamp(0.5 - shape.distance(px, py) / softness) * opacity
                if cover <= 0.0:
                    continue
                self.blend(row + x, solid or fill(px, py), cover)

    def blend(self, index, colour, cover):
        pixel = self.pixels[index]
        under = pixel[3] * (1.0 - cover)
        alpha = cover + under
        for i in range(3):
            pixel[i] = (colour[i] * cover + pixel[i] * under) / alpha
        pixel[3] = alpha

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def rgb(self):
        """Rows top to bottom of (r, g, b) bytes, alpha ignored."""
        return [tuple(int(round(clamp(c, 0.0, 255.0))) for c in p[:3]) for p in self.pixels]

    def rgba(self):
        return [(*(int(round(clamp(c, 0.0, 255.0))) for c in p[:3]),
                 int(round(clamp(p[3]) * 255.0))) for p in self.pixels]
