#!/usr/bin/env python3
"""Checks the committed sounds: each is what the generator makes today, 16-bit PCM, and short.

    python3 tools/sounds/check_sounds.py
"""
import os
import sys
import tempfile
import wave

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
import make_sounds  # noqa: E402

committed = os.path.join(here, "..", "..", "assets", "sounds")
faults = []
with tempfile.TemporaryDirectory() as fresh:
    sys.argv = ["make_sounds.py", fresh]
    make_sounds.main()
    for name in sorted(os.listdir(fresh)):
        path = os.path.join(committed, name)
        if not os.path.exists(path):
            faults.append(f"{name}: not committed")
            continue
        with open(path, "rb") as a, open(os.path.join(fresh, name), "rb") as b:
            if a.read() != b.read():
                faults.append(f"{name}: differs from the generator's output; run tools/sounds/make_sounds.py")
        with wave.open(path) as w:
            seconds = w.getnframes() / w.getframerate()
            limit = 3.0 if "Alarm" in name else 1.0
            if w.getsampwidth() != 2 or w.getcomptype() != "NONE":
                faults.append(f"{name}: not 16-bit PCM")
            if not 0.02 < seconds < limit:
                faults.append(f"{name}: lasts {seconds:.3f} s, the limit is {limit} s")
    if len(os.listdir(fresh)) != len(make_sounds.SOUNDS):
        faults.append("the generator wrote the wrong number of files")
print("\n".join(faults) or f"{len(make_sounds.SOUNDS)} sounds as generated")
sys.exit(1 if faults else 0)
