"""Seed inputs of the fuzz targets (scripts/fuzz): the design files of samples/
and the test fixtures, the language files, the kept fuzz findings, and a few
inputs of the program's own files and of the controller's replies made here
in their real layouts.  Usage: fuzz_seeds.py ROOT CORPUS_FOLDER"""
import glob
import os
import shutil
import struct
import sys

root, corpus = sys.argv[1], sys.argv[2]


def put(target, name, data):
    folder = os.path.join(corpus, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def copy(target, patterns):
    for pattern in patterns:
        for path in glob.glob(os.path.join(root, pattern), recursive=True):
            if os.path.isfile(path) and os.path.getsize(path) <= 1 << 20:
                put(target, os.path.relpath(path, root).replace("/", "_"), open(path, "rb").read())


copy("hpgl", ["samples/*.plt", "tests/**/*.plt"])
copy("dxf", ["samples/*.dxf", "tests/**/*.dxf"])
copy("gcode", ["samples/*.nc", "tests/**/*.nc"])
copy("layers", ["tests/**/*.lyr"])
copy("language", ["lang/*.xml"])
for target in os.listdir(os.path.join(root, "tests/fixtures/fuzz")) if os.path.isdir(
        os.path.join(root, "tests/fixtures/fuzz")) else []:
    copy(target, [f"tests/fixtures/fuzz/{target}/*"])



def bmp(width, height, bits, pixels, palette=b"", compression=0):
    """A bitmap with the 40-byte header; `pixels` are the stored rows."""
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    return header + info + palette + pixels


put("bmp", "rgb24.bmp", bmp(2, 2, 24, bytes([0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0])))
grey = b"".join(bytes([g, g, g, 0]) for g in range(256))
put("bmp", "grey8.bmp", bmp(4, 2, 8, bytes([0, 64, 128, 255, 255, 128, 64, 0]), grey))
put("bmp", "rle8.bmp", bmp(4, 2, 8, bytes([4, 10, 0, 0, 2, 20, 2, 30, 0, 1]), grey, compression=1))
put("bmp", "mono.bmp", bmp(8, 1, 1, bytes([0xA5, 0, 0, 0]), bytes([0, 0, 0, 0, 255, 255, 255, 0])))
put("settings", "some.mcc", "WorkSpeed := 1500\r\ngrubosc := 18,5\r\ndoOutline := cbChecked\r\n"
    "ProjektType := 1\r\nIP1 := 192\r\n")
put("layers", "two.lyr", "[Layer 1]\r\nmilling depth=2.5\r\nspeed=1500\r\nspindle rotations=18000\r\n"
    "[Layer 7]\r\nmilling depth=deep\r\nactive=0\r\norder=2\r\n")
cfg = bytearray(448)
cfg[0] = 4
cfg[1:5] = b"/tmp"
put("global_cfg", "record.cfg", bytes(cfg))
put("base_points", "base.txt", "X=  120.500   Y=   80.000 corner\r\nX=   10,000   Y=    5.500\r\n")
put("small_files", "address.txt", "192\r\n168\r\n  0\r\n100\r\n")
put("small_files", "calibration.txt", "1.01\n0.99\n1\n")
put("small_files", "inverter.dat", "1 20 speed\r\n 2 5\r\n")

# Status replies: the first byte picks the layout (see the target), then an
# Ethernet reply as a controller at 7.20 lays it out.
reply = bytearray(118)
struct.pack_into("<i", reply, 4, 0x203)
struct.pack_into("<iii", reply, 8, 250000, 125000, -4000)
struct.pack_into("<iii", reply, 12 + 40, 1000, 600, 150)
reply[12 + 62] = 1
struct.pack_into("<i", reply, 12 + 64, 3000)
for choice in (0x04, 0x0c, 0x02, 0x80):
    put("status", f"reply_{choice:02x}", bytes([choice]) + bytes(reply))

put("identity", "page", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><pre>\n"
    "DORNELIS | model:    YFB 32   | serial:   12345678\nver 7.20\n</pre></body></html>\n")
put("echo", "upper", b"\x03vAB" + b"VAB")
put("echo", "wrong", b"\x03vAB" + b"vAB")
put("job_decoder", "moves", b"\x00\x03" + b"a" + bytes(13) + b"L\x01\x00" + b"l\x02\x00")
