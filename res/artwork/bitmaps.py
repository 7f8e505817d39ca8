# Writes the program's pictures as Windows files: bitmaps through Pillow, icons by hand. Pillow
# writes no 4-bit icons, and its 32-bit icons lack the AND mask that the icon format has.
import io
import struct

from PIL import Image


def _info_header(width, height, bits, image_size, colours):
    # BITMAPINFOHEADER, uncompressed; no resolution is recorded.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0,
                       colours, 0)


def _stride(width, bits):
    return (width * bits + 31) // 32 * 4


def _rows_bottom_up(width, height, bits, row_bytes):
    """row_bytes(y) gives the packed pixels of row y (top = 0); rows are padded to 4 bytes."""
    stride = _stride(width, bits)
    return b"".join(row_bytes(y).ljust(stride, b"\0") for y in reversed(range(height)))


def _palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def _bmp(image):
    out = io.BytesIO()
    # No resolution is recorded: the pictures are laid out in pixels.
    image.save(out, "BMP", dpi=(0, 0))
    return out.getvalue()


def bmp8(width, height, palette, indices):
    """indices: one palette index per pixel, rows top to bottom."""
    image = Image.new("P", (width, height))
    image.putpalette([value for colour in palette for value in colour])
    image.putdata(indices)
    return _bmp(image)


def bmp24(width, height, rgb):
    image = Image.new("RGB", (width, height))
    image.putdata(rgb)
    return _bmp(image)


def _and_mask(width, height, transparent):
    """1 bit a pixel, set where the screen shows through."""
    def row(y):
        bits = bytearray((width + 7) // 8)
        for x in range(width):
            if transparent(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        return bytes(bits)
    return _rows_bottom_up(width, height, 1, row)


def icon32(width, height, rgba):
    """An icon image with an alpha channel; fully transparent pixels are also masked."""
    def row(y):
        return b"".join(struct.pack("<BBBB", b, g, r, a)
                        for r, g, b, a in rgba[y * width:(y + 1) * width])
    colour = _rows_bottom_up(width, height, 32, row)
    mask = _and_mask(width, height, lambda x, y: rgba[y * width + x][3] == 0)
    header = _info_header(width, height * 2, 32, len(colour) + len(mask), 0)
    return (width, height, 0, 32, header + colour + mask)


def icon4(width, height, palette, indices, transparent_index):
    """A 16-colour icon; pixels of transparent_index are masked out (and stored black)."""
    assert len(palette) <= 16
    palette = list(palette) + [(0, 0, 0)] * (16 - len(palette))

    def row(y):
        line = [0 if i == transparent_index else i for i in indices[y * width:(y + 1) * width]]
        return bytes((line[x] << 4) | (line[x + 1] if x + 1 < width else 0)
                     for x in range(0, width, 2))
    colour = _rows_bottom_up(width, height, 4, row)
    mask = _and_mask(width, height, lambda x, y: indices[y * width + x] == transparent_index)
    header = _info_header(width, height * 2, 4, len(colour) + len(mask), 16)
    return (width, height, 16, 4, header + _palette_bytes(palette) + colour + mask)


def ico(images):
    """images: (width, height, colour count, bits, data) as icon32 and icon4 return them."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, colours, bits, data in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours % 256, 0, 1, bits,
                               len(data), offset + len(blobs))
        blobs += data
    return head + entries + blobs
