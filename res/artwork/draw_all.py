# Draws every picture of the program into res/pictures; running it again gives the same bytes.
# Run: /usr/bin/python3 res/artwork/draw_all.py (with Debian's Pillow, python3-pil).
import os
import sys

sys.dont_write_bytecode = True

import about      # noqa: E402  (the flag above must come first)
import bitmaps    # noqa: E402
import icons      # noqa: E402
import palette    # noqa: E402
import tvset      # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pictures")


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)

    tv = tvset.draw_set()
    colours, indices = palette.quantise(tv.rgb(), 256, keep=[tvset.BLACK])
    write("TVSet.bmp", bitmaps.bmp8(tv.width, tv.height, colours, indices))

    # The key is drawn over the set's pixels as the 256-colour picture has them, so its corners
    # match the panel exactly.
    kx, ky = tvset.KEY[0], tvset.KEY[1]
    key = tvset.draw_key(lambda x, y: colours[indices[(ky + y) * tv.width + kx + x]])
    write("MenuKey.bmp", bitmaps.bmp24(key.width, key.height, key.rgb()))

    write("Quillo.ico", bitmaps.ico([bitmaps.icon32(s, s, icons.program_icon(s).rgba())
                                     for s in (16, 32, 48)]))
    tray_colours, tray_indices, clear = icons.tray_icon()
    write("Tray.ico", bitmaps.ico([bitmaps.icon4(32, 32, tray_colours, tray_indices, clear)]))

    back = about.background()
    colours, indices = palette.quantise(back.rgb(), 256)
    write("AboutBack.bmp", bitmaps.bmp8(back.width, back.height, colours, indices))
    for name, logo in (("QuilloLogo.bmp", about.quillo_logo()),
                       ("OstraLogo.bmp", about.ostra_logo())):
        write(name, bitmaps.bmp24(logo.width, logo.height, logo.rgb()))


if __name__ == "__main__":
    main()
