# Reduces a true-colour picture to a palette by median cut, keeping some colours exact.


def _spread(box):
    return max(max(c[i] for c, _ in box) - min(c[i] for c, _ in box) for i in range(3))


def _split(box):
    channel = max(range(3), key=lambda i: max(c[i] for c, _ in box) - min(c[i] for c, _ in box))
    box = sorted(box, key=lambda item: (item[0][channel], item[0]))
    half, running = sum(n for _, n in box) / 2, 0
    for cut, (_, n) in enumerate(box):
        running += n
        if running >= half:
            break
    cut = min(max(cut, 1), len(box) - 1)
    return box[:cut], box[cut:]


def _mean(box):
    total = sum(n for _, n in box)
    return tuple(int(round(sum(c[i] * n for c, n in box) / total)) for i in range(3))


def quantise(rgb, size, keep=()):
    """Returns (palette, indices): at most size colours, those in keep exactly and first."""
    counts = {}
    for colour in rgb:
        counts[colour] = counts.get(colour, 0) + 1
    first = sorted((c, n) for c, n in counts.items() if c not in keep)
    boxes = [(_spread(first), first)] if first else []
    while len(boxes) < size - len(keep):
        splittable = [i for i, (_, b) in enumerate(boxes) if len(b) > 1]
        if not splittable:
            break
        widest = max(splittable, key=lambda i: (boxes[i][0], len(boxes[i][1]), -i))
        halves = _split(boxes.pop(widest)[1])
        boxes.extend((_spread(h), h) for h in halves)
    palette = list(keep) + [_mean(b) for _, b in boxes]
    nearest = {}
    for colour in counts:
        nearest[colour] = min(range(len(palette)), key=lambda i: sum(
            (a - b) ** 2 for a, b in zip(colour, palette[i])))
    return palette, [nearest[c] for c in rgb]
