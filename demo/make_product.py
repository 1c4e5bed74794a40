#!/usr/bin/env python3
"""Generates the demo product folder: the built programs plus data files
(bitmaps, help files, libraries, palette, readme, driver, registration file)
in the shape of the real product.

    make_product.py PROGRAMS_FOLDER OUT_FOLDER [--list product.list]

The data is generated so that it compresses like real pictures and texts
(gradients, shapes, a little grain, prose), never as runs of zeros, and it is
the same bytes on every run: one seeded generator of our own feeds it all.
The first help file is sized so that the whole product decodes to the size
of the real one, 3,444,970 bytes, whenever the programs leave room for that.
"""

import os
import shutil
import struct
import sys

TOTAL_SIZE = 3444970
PROGRAMS = {"Marwindl.Exe", "UnInstal.Exe", "TaskMan.Exe",
            "MWHOOK.DLL", "MwPaint.dll", "MwTray.dll", "MWKEYS.DLL"}
FILLER = "MARWINDL.HLP"


class Random:
    """xorshift32: small, fast enough, and the same everywhere."""

    def __init__(self, seed):
        self.state = (seed * 2654435761) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def below(self, n):
        return self.next() % n

    def choice(self, items):
        return items[self.below(len(items))]


def seed_of(name):
    h = 2166136261
    for ch in name.encode("ascii"):
        h = ((h ^ ch) * 16777619) & 0xFFFFFFFF
    return h


# ---------------------------------------------------------------- bitmaps

def bmp_bytes(width, height, bits, rows, palette=None):
    """rows: top-down, each a bytes object of packed pixels (BGR for 24 bits)."""
    stride = ((width * bits + 31) // 32) * 4
    pal = b""
    if palette is not None:
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    data = bytearray()
    for row in reversed(rows):
        data += row + b"\0" * (stride - len(row))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       len(palette) if palette else 0, 0)
    return header + info + pal + bytes(data)


def smooth_noise(rng, width, height, cell):
    """Value noise: random values on a coarse grid, bilinearly blended (0..255)."""
    gw, gh = width // cell + 2, height // cell + 2
    grid = [[rng.below(256) for _ in range(gw)] for _ in range(gh)]

    def at(x, y):
        gx, fx = divmod(x, cell)
        gy, fy = divmod(y, cell)
        a = grid[gy][gx] * (cell - fx) + grid[gy][gx + 1] * fx
        b = grid[gy + 1][gx] * (cell - fx) + grid[gy + 1][gx + 1] * fx
        return (a * (cell - fy) + b * fy) // (cell * cell)
    return at


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else v


def wallpaper(name, width, height, top, bottom, shapes, texture, grain):
    rng = Random(seed_of(name))
    noise = smooth_noise(rng, width, height, 24) if texture else None
    figures = []
    for _ in range(shapes):
        kind = rng.below(2)
        x, y = rng.below(width), rng.below(height)
        size = 8 + rng.below(max(9, width // 5))
        colour = (rng.below(256), rng.below(256), rng.below(256))
        figures.append((kind, x, y, size, colour))
    rows = []
    for y in range(height):
        t = y * 256 // height
        base = [(top[i] * (256 - t) + bottom[i] * t) >> 8 for i in range(3)]
        row = bytearray(width * 3)
        for x in range(width):
            r, g, b = base
            if noise is not None:
                n = noise(x, y) - 128
                r, g, b = r + (n * texture >> 7), g + (n * texture >> 7), b + (n * texture >> 8)
            for kind, fx, fy, size, colour in figures:
                dx, dy = x - fx, y - fy
                inside = (dx * dx + dy * dy <= size * size) if kind == 0 else (abs(dx) <= size and abs(dy) <= size // 2)
                if inside:
                    r, g, b = (r + colour[0]) >> 1, (g + colour[1]) >> 1, (b + colour[2]) >> 1
            if grain:
                jitter = rng.below(2 * grain + 1) - grain
                r, g, b = r + jitter, g + jitter, b + jitter
            row[3 * x] = clamp(b)
            row[3 * x + 1] = clamp(g)
            row[3 * x + 2] = clamp(r)
        rows.append(bytes(row))
    return bmp_bytes(width, height, 24, rows)


def system_palette():
    """A 6x6x6 colour cube, a grey ramp and the 16 classic colours: 256 entries."""
    classic = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(i * 255 // 23,) * 3 for i in range(24)]
    return (classic + cube + greys)[:256]


def button(name, width, height, pressed):
    """A raised or pressed 3-D button with a glyph, 8 bits per pixel."""
    rng = Random(seed_of(name))
    face, light, shadow, dark = 7, 15, 8, 0
    glyph_colour = 16 + rng.below(216)
    glyph = [(rng.below(width // 2) + width // 4, rng.below(height // 2) + height // 4) for _ in range(5)]
    rows = []
    for y in range(height):
        row = bytearray(width)
        for x in range(width):
            c = face
            edge_tl = x == 0 or y == 0
            edge_br = x == width - 1 or y == height - 1
            inner_br = x == width - 2 or y == height - 2
            if edge_tl:
                c = dark if pressed else light
            elif edge_br:
                c = light if pressed else dark
            elif inner_br and not pressed:
                c = shadow
            else:
                shift = 1 if pressed else 0
                for gx, gy in glyph:
                    if abs(x - gx - shift) + abs(y - gy - shift) < width // 6:
                        c = glyph_colour
            row[x] = c
        rows.append(bytes(row))
    return bmp_bytes(width, height, 8, rows, system_palette())


# ------------------------------------------------------------------ texts

WORDS = """desktop window shell taskbar button icon folder program group menu start
click double right left mouse keyboard shortcut key press hold drag drop move
resize close minimize maximize restore wallpaper colour palette bitmap theme
sound clock tray notification area drive file copy delete rename properties
settings option choose select list box check panel control setup install
remove restart Windows Marwindle the a an of to in on with for from by and or
you your can will is are be this that each every when while after before then
appears shows opens runs starts ends returns uses lets keeps saves loads""".split()

TOPICS = ["Starting Marwindle!", "The desktop", "Working with windows", "The Start button",
          "Program groups", "Keyboard shortcuts", "Changing the wallpaper", "The task list",
          "Sounds and colours", "The tray and the clock", "Replacing the Windows shell",
          "Removing Marwindle!", "Troubleshooting", "Contacting the authors"]


def sentence(rng):
    n = 6 + rng.below(12)
    words = [rng.choice(WORDS) for _ in range(n)]
    words[0] = words[0][:1].upper() + words[0][1:]
    return " ".join(words) + rng.choice([".", ".", ".", "?", "!"])


def help_file(name, size):
    """A help file: the help format's magic and header, then topics of prose
    with the formatting codes such files carry."""
    rng = Random(seed_of(name))
    out = bytearray(struct.pack("<IIII", 0x00035F3F, 16, 0xFFFFFFFF, 0))
    topic = 0
    while len(out) < size:
        title = TOPICS[topic % len(TOPICS)]
        out += b"\x00\x01" + struct.pack("<HI", topic, len(out))
        out += ("{\\rtf1\\ansi \\pard\\plain\\b %s\\b0\\par\r\n" % title).encode("ascii")
        for _ in range(3 + rng.below(5)):
            para = " ".join(sentence(rng) for _ in range(2 + rng.below(5)))
            out += ("\\pard %s\\par\r\n" % para).encode("ascii")
        out += b"}\r\n"
        topic += 1
    return bytes(out[:size])


README = """Marwindle! - a new desktop for Windows
=====================================

Marwindle! replaces the Windows desktop with one of its own: a full-screen
desktop with its own Start button, program groups, task list and tray.

Installing
----------
Run SETUP.EXE from the first disk. Setup asks for a folder, shows the
licence agreement, copies the files (it asks for the second disk when it
needs it), makes a shortcut in the Start menu and offers two options:

  * Replace the Windows Task Manager with the Marwindle! task list.
  * Make Marwindle! the Windows shell, started instead of Explorer.

Both options take effect when Windows starts again; Setup offers to restart.

Removing
--------
Run UNINSTAL.EXE from the Marwindle! folder, or choose Marwindle! in
Add/Remove Programs. It puts Explorer and the Windows Task Manager back.

Files
-----
  MARWINDL.EXE   the desktop
  TASKMAN.EXE    the task list
  UNINSTAL.EXE   removes Marwindle!
  *.DLL          hooks, painting, tray and keyboard support
  *.BMP          wallpapers, buttons and pictures
  *.HLP          help (installed into the Windows help folder)
  ICONS.LIB      icon library      SOUNDS.LIB   sound library
  DESKTOP.DTP    your desktop's layout (kept when you install again)
  MARWINDL.PAL   the desktop's colour palette
  CTRLMW.SYS     keyboard driver (Windows NT only)

"""


def readme():
    rng = Random(seed_of("ReadMe.txt"))
    text = README
    text += "Release notes\n-------------\n"
    for version in range(9, 0, -1):
        text += "\nVersion 1.%d\n" % version
        for _ in range(3 + rng.below(4)):
            text += "  - " + sentence(rng) + "\n"
    return text.replace("\n", "\r\n").encode("ascii")


def desktop_layout():
    rng = Random(seed_of("Desktop.dtp"))
    lines = ["[Desktop]", "Wallpaper=Desktop1.bmp", "Tile=0", "Palette=Marwindl.pal", ""]
    for i in range(1, 241):
        lines += ["[Icon%d]" % i,
                  "Title=%s %s" % (rng.choice(WORDS).capitalize(), rng.choice(WORDS)),
                  "Program=C:\\%s\\%s.EXE" % (rng.choice(WORDS).upper()[:8], rng.choice(WORDS).upper()[:8]),
                  "X=%d" % (16 + 72 * rng.below(10)), "Y=%d" % (16 + 64 * rng.below(8)),
                  "Icon=%d" % rng.below(96), "Group=%d" % rng.below(12), ""]
    return "\r\n".join(lines).encode("ascii")


# -------------------------------------------------------------- libraries

def icon_library():
    """96 icons of 32x32 at 4 bits with their masks, behind a name table."""
    rng = Random(seed_of("Icons.lib"))
    count = 96
    out = bytearray(b"MWICONS\x1a" + struct.pack("<HH", 1, count))
    bodies = bytearray()
    for i in range(count):
        name = ("%s%d" % (rng.choice(WORDS), i)).upper()[:12].ljust(12, "\0").encode("ascii")
        out += name + struct.pack("<I", len(bodies))
        cx, cy, radius = 8 + rng.below(16), 8 + rng.below(16), 6 + rng.below(8)
        fill, ink = 1 + rng.below(14), rng.below(16)
        pixels = bytearray(512)
        mask = bytearray(128)
        for y in range(32):
            for x in range(32):
                d = (x - cx) ** 2 + (y - cy) ** 2
                c = 0
                if d <= radius * radius:
                    c = ink if d >= (radius - 2) ** 2 else fill
                else:
                    mask[y * 4 + x // 8] |= 0x80 >> (x % 8)
                pixels[y * 16 + x // 2] |= c << (4 if x % 2 == 0 else 0)
        bodies += pixels + mask
    return bytes(out + bodies)


def sound_library():
    """Short chimes, 8-bit unsigned PCM at 11,025 Hz, behind a name table."""
    import math
    rng = Random(seed_of("Sounds.lib"))
    names = ["START", "CLOSE", "OPEN", "MINIMIZE", "MAXIMIZE", "RESTORE", "MENU", "ERROR",
             "QUESTION", "EXIT", "LOGON", "NOTIFY"]
    out = bytearray(b"MWSOUNDS" + struct.pack("<HH", 1, len(names)))
    bodies = bytearray()
    for name in names:
        length = 6000 + rng.below(6000)
        out += name.ljust(12, "\0").encode("ascii") + struct.pack("<II", len(bodies), length)
        f1 = 220 + rng.below(660)
        f2 = f1 * (1.25 + rng.below(3) * 0.25)
        for n in range(length):
            env = math.exp(-4.0 * n / length)
            v = 0.6 * math.sin(2 * math.pi * f1 * n / 11025) + 0.3 * math.sin(2 * math.pi * f2 * n / 11025)
            bodies.append(clamp(int(128 + 100 * env * v)))
    return bytes(out + bodies)


def palette_file():
    entries = system_palette()
    data = struct.pack("<HH", 0x300, len(entries)) + b"".join(struct.pack("<BBBB", r, g, b, 0) for r, g, b in entries)
    chunk = b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"PAL " + chunk


def driver_file():
    """The keyboard driver's image: a DOS stub and sections of code-like bytes."""
    rng = Random(seed_of("CTRLMW.SYS"))
    stub = b"MZ" + b"\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff" + b"\x00" * 46 + struct.pack("<I", 128)
    stub += b"\x0e\x1f\xba\x0e\x00\xb4\x09\xcd\x21\xb8\x01\x4c\xcd\x21"
    stub += b"This program cannot be run in DOS mode.\r\r\n$"
    stub = stub.ljust(128, b"\0") + b"PE\0\0"
    opcodes = [b"\x55", b"\x8b\xec", b"\x83\xec\x08", b"\x53", b"\x56", b"\x57", b"\x8b\x45\x08",
               b"\x8b\x4d\x0c", b"\x85\xc0", b"\x74\x0a", b"\x75\x05", b"\xe8\x00\x00\x00\x00",
               b"\x33\xc0", b"\x5f", b"\x5e", b"\x5b", b"\xc9", b"\xc2\x08\x00", b"\xc3", b"\x6a\x00",
               b"\xff\x15\x10\x20\x01\x00", b"\x89\x45\xfc", b"\x8b\x55\xfc", b"\x3b\xc1"]
    code = bytearray()
    while len(code) < 20000:
        code += rng.choice(opcodes)
    strings = b"\0".join(s.encode("ascii") for s in [
        "\\Device\\CtrlMw", "\\DosDevices\\CTRLMW", "KeServiceDescriptorTable", "IoCreateDevice",
        "IoDeleteDevice", "IoCompleteRequest", "KeyboardClassServiceCallback", "ntoskrnl.exe"])
    return (stub + bytes(code) + strings).ljust(24576, b"\0")


def registration_file():
    lines = ["REGEDIT4", "",
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Marwindle\\Marwindle!\\1.0]",
             '"Desktop"="Desktop.dtp"', '"Palette"="Marwindl.pal"', '"TaskList"=dword:00000001', "",
             "[HKEY_CURRENT_USER\\Software\\Marwindle\\Marwindle!\\Desktop]",
             '"Wallpaper"="Desktop1.bmp"', '"Tile"=dword:00000000', '"Clock"=dword:00000001',
             '"Sounds"="Sounds.lib"', '"Icons"="Icons.lib"', ""]
    return "\r\n".join(lines).encode("ascii")


# ---------------------------------------------------------------- product

WALLPAPERS = {
    # name: (width, height, top colour, bottom colour, shapes, texture, grain)
    "Desktop1.bmp": (320, 240, (0, 64, 128), (0, 0, 32), 6, 0, 0),
    "Desktop2.bmp": (320, 240, (64, 0, 96), (0, 0, 0), 10, 0, 1),
    "Desktop3.bmp": (320, 240, (0, 96, 64), (0, 24, 16), 4, 40, 0),
    "Clouds.BMP": (320, 240, (96, 160, 255), (224, 240, 255), 0, 120, 1),
    "Marble.BMP": (320, 240, (200, 196, 188), (150, 144, 140), 0, 160, 2),
    "Sunset.Bmp": (320, 240, (255, 128, 32), (48, 0, 64), 3, 30, 1),
    "Waves.Bmp": (320, 240, (0, 128, 192), (0, 32, 96), 12, 60, 0),
    "Splash.BMP": (320, 240, (0, 0, 255), (0, 0, 0), 16, 0, 1),
    "Logo.bmp": (256, 96, (255, 255, 0), (255, 128, 0), 5, 0, 0),
}
BUTTONS = {"Start.bmp": (64, 24, False), "StartDn.bmp": (64, 24, True), "Close.BMP": (24, 24, False),
           "CloseDn.BMP": (24, 24, True), "Min.bmp": (24, 24, False), "MinDn.bmp": (24, 24, True),
           "Max.Bmp": (24, 24, False), "MaxDn.Bmp": (24, 24, True), "Folder.bmp": (48, 48, False),
           "Drive.BMP": (48, 48, False), "Trash.Bmp": (48, 48, False)}
HELP_SIZES = {"MARWINDL.HLP": 160000, "Mwtools.hlp": 110000, "MWKEYS.HLP": 64000, "Mwpaint.Hlp": 96000}


def generate(name):
    if name in WALLPAPERS:
        return wallpaper(name, *WALLPAPERS[name])
    if name in BUTTONS:
        return button(name, *BUTTONS[name])
    if name in HELP_SIZES:
        return help_file(name, HELP_SIZES[name])
    makers = {"Icons.lib": icon_library, "Sounds.lib": sound_library, "Desktop.dtp": desktop_layout,
              "Marwindl.pal": palette_file, "ReadMe.txt": readme, "CTRLMW.SYS": driver_file,
              "Marwindl.Reg": registration_file}
    if name in makers:
        return makers[name]()
    raise SystemExit("make_product: no way to make %s" % name)


def read_list(path):
    with open(path, encoding="ascii") as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def main(argv):
    args = list(argv[1:])
    list_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "product.list")
    if "--list" in args:
        i = args.index("--list")
        list_path = args[i + 1]
        del args[i:i + 2]
    if len(args) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    programs, out = args
    names = read_list(list_path)
    os.makedirs(out, exist_ok=True)
    contents = {}
    for name in names:
        if name in PROGRAMS:
            path = os.path.join(programs, name)
            if not os.path.isfile(path):
                print("make_product: the program %s is missing from %s: build first" % (name, programs),
                      file=sys.stderr)
                return 1
            with open(path, "rb") as f:
                contents[name] = f.read()
        elif name != FILLER:
            contents[name] = generate(name)
    if FILLER in names:
        room = TOTAL_SIZE - sum(len(c) for c in contents.values())
        contents[FILLER] = help_file(FILLER, room if room >= 20000 else HELP_SIZES[FILLER])
    for name in names:
        with open(os.path.join(out, name), "wb") as f:
            f.write(contents[name])
    total = sum(len(c) for c in contents.values())
    print("make_product: %d files, %d bytes, into %s" % (len(names), total, out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
