#!/usr/bin/env python3
"""Writes the seed corpus of plugin_fuzzer into tests/fuzz/corpus/: the calls
of the plug-in tests (good arguments of each plug-in, and the edge cases they
try), in the byte layout that plugin_fuzzer.cpp describes.

    tests/fuzz/make_corpus.py
"""
import hashlib
import math
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent

# The plug-ins of plugins.list (lines <subsystem>/<Name>), sorted as the fuzzer sorts them.
PLUGINS = sorted(line.strip().split("/")[1] for line in (ROOT / "plugins.list").read_text().splitlines()
                 if line.strip() and not line.startswith("#"))

KINDS = {"complex": 1, "single": 2, "int32": 3, "logical": 4, "char": 5, "sparse": 6}
PATTERNED, DECLARED, CUBE, VALUES = 7, 8, 9, 10
RAW_TAG = 255
SPECIAL = {"nan": 8, "inf": 10, "-inf": 11}


def size_byte(n):
    if n < 200:
        return n
    return 200 + [243, 256, 512, 729, 1024, 2048].index(n)


def value(v):
    """One value: a tag of the quarter grid when it fits, else the raw double."""
    if isinstance(v, str):
        return bytes([SPECIAL[v]])
    tag = v * 4 + 140
    if tag == int(tag) and 32 <= tag < RAW_TAG:
        return bytes([int(tag)])
    return bytes([RAW_TAG]) + struct.pack("<d", v)


def values(M, N, vals):
    assert len(vals) == M * N
    return bytes([VALUES, size_byte(M), size_byte(N)]) + b"".join(value(v) for v in vals)


def row(vals):
    return values(1, len(vals), vals)


def col(vals):
    return values(len(vals), 1, vals)


def scalar(v):
    return row([v])


def signal(M, N=1):
    """An M x N array of the fuzzer's pattern (no value bytes)."""
    return bytes([PATTERNED, size_byte(M), size_byte(N)])


def huge(orientation, which):
    """A huge vector declared without storage (see declared_of)."""
    return bytes([DECLARED, orientation, which])


def cube(M, N, P):
    """An M x N x P array of the fuzzer's pattern."""
    return bytes([CUBE, size_byte(M), size_byte(N), P - 1])


def kind(name, M, N):
    return bytes([KINDS[name], size_byte(M), size_byte(N)])


def call(name, *args, nlhs=1, fail=0):
    return bytes([PLUGINS.index(name), nlhs, len(args), fail]) + b"".join(args)


r2 = math.sqrt(0.5)
haar = row([r2, r2])
d4 = row([0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604])
g5, g3 = row([-1 / 8, 1 / 4, 3 / 4, 1 / 4, -1 / 8]), col([0.5, 1.0, 0.5])
empty = values(0, 0, [])

seeds = []
for f in ("Jostrane", "Unjostrane"):
    seeds += [call(f, row([1, 2, 3, 4]), scalar(1), haar), call(f, signal(16, 3), scalar(2), d4),
              call(f, signal(1, 64), scalar(0), d4), call(f, row([1, 2, 3, 4, 5, 6]), scalar(0), haar),
              call(f, signal(8), scalar(1e12), empty), call(f, kind("int32", 1, 4), scalar(0), haar)]
for f in ("Plattigan", "Unplattigan"):
    seeds += [call(f, signal(8, 8), scalar(1), d4), call(f, signal(4, 8), scalar(1), haar),
              call(f, signal(1, 1), scalar(0), haar)]
seeds += [call("packettable", row([1, 2, 3, 4]), scalar(2), haar), call("packettable", signal(1, 64), scalar(6), d4),
          call("packettable", signal(16, 2), scalar(1), haar)]
seeds += [call("Tessaroy", signal(16, 3), d4), call("Tessaroy", signal(8, 1), haar),
          call("Wendlock", signal(1, 16), scalar(1), d4), call("Wendlock", signal(8, 0), scalar(1), haar),
          call("Unwendlock", signal(16, 4), d4), call("Unwendlock", signal(8, 1), haar)]
for f in ("Morrowel", "Unmorrowel"):
    seeds += [call(f, row([1, 2, 3, 4]), scalar(1), g5, g3), call(f, signal(4, 3), scalar(-3), g5, g3),
              call(f, signal(16), scalar(0), empty, empty)]
for f in ("Fennick", "Gorsely", "Pimbrel", "Yarlow"):
    seeds += [call(f, row([1, 2, 3, 4])), call(f, signal(1, 256)), call(f, signal(2)), call(f, signal(1, 1)),
              call(f, row([1, "nan", "inf", -0.0]))]
seeds += [call("Orrimac", signal(1, 16), scalar(2), scalar(0)), call("Orrimac", signal(64), scalar(3.5), empty),
          call("Orrimac", signal(8, 0), scalar(1), empty), call("Orrimac", signal(12), scalar(1), empty),
          call("Unorrimac", signal(8, 5)), call("Unorrimac", signal(16, 3)), call("Unorrimac", signal(0, 3))]
for f, i in (("Brontal", "Unbrontal"), ("Drassock", "Undrassock")):
    seeds += [call(f, signal(1, 9), scalar(1), scalar(2)), call(f, signal(81), scalar(2), scalar(0)),
              call(f, signal(1, 243), scalar("inf"), scalar(3)), call(f, signal(0, 27), scalar(1), scalar(2)),
              call(i, signal(1, 18), scalar(1), scalar(2)), call(i, signal(1, 162), scalar(1e12), scalar(-2)),
              call(i, signal(0, 2), scalar(1), scalar(2)),
              call(f, row([1, 2, "nan", 4, 5, 6, 7, "inf", 9]), scalar(1), scalar(2))]
for f in ("Olmister", "Ephrandel"):
    seeds += [call(f, row([0, 1, 0]), scalar(2)), call(f, signal(1, 7), scalar(0)), call(f, signal(20), scalar(2.9)),
              call(f, row([1, 2]), scalar(2)), call(f, signal(0, 7), scalar(0))]

# Every plug-in with its usual arguments after huge data, after an N-D
# array, and with its first and second matrix creation failing.
usual = {"Jostrane": (scalar(1), haar), "Unjostrane": (scalar(1), haar), "Plattigan": (scalar(1), haar),
         "Unplattigan": (scalar(1), haar), "Tessaroy": (haar,), "Wendlock": (scalar(1), haar),
         "Unwendlock": (haar,), "Morrowel": (scalar(1), g5, g3), "Unmorrowel": (scalar(1), g5, g3),
         "Fennick": (), "Gorsely": (), "Pimbrel": (), "Yarlow": (), "Orrimac": (scalar(2), scalar(0)),
         "Unorrimac": (), "Brontal": (scalar(1), scalar(2)), "Unbrontal": (scalar(1), scalar(2)),
         "Olmister": (scalar(0),), "Drassock": (scalar(1), scalar(2)), "Undrassock": (scalar(1), scalar(2)),
         "Ephrandel": (scalar(0),), "packettable": (scalar(2), haar)}
data = {"Plattigan": signal(8, 8), "Unplattigan": signal(8, 8), "Tessaroy": signal(8, 3), "Unwendlock": signal(8, 3),
        "Unorrimac": signal(8, 3), "Brontal": signal(1, 27), "Drassock": signal(27), "Unbrontal": signal(1, 54),
        "Undrassock": signal(54)}
for f in (f for f in PLUGINS if f in usual):
    rest = usual[f]
    seeds += [call(f, huge(0, 5), *rest), call(f, huge(1, 0), *rest), call(f, huge(1, 1), *rest),
              call(f, cube(2, 2, 2), *rest)]
    seeds += [call(f, data.get(f, signal(1, 16)), *rest, fail=k) for k in (1, 2)]

out = HERE / "corpus"
out.mkdir(exist_ok=True)
for old in out.iterdir():
    old.unlink()
for s in seeds:
    (out / hashlib.sha1(s).hexdigest()).write_bytes(s)
print(f"{len(seeds)} seeds in {out}")
