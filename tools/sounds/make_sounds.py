#!/usr/bin/env python3
"""Synthesises Spotlex's eight event sounds and writes them as WAV files to assets/sounds/.

    python3 tools/sounds/make_sounds.py [OUTPUT_DIR]

Pure Python, no packages: every sound is built from damped sine partials, glides and a little
seeded noise, then written as 44.1 kHz mono 16-bit PCM. The same input gives the same bytes, so
the committed files only change when a recipe changes.
"""
import math
import os
import struct
import sys

RATE = 44100
# Peak level of every sound; the alarm alone goes louder so that a room hears it.
PEAK = 0.5
ALARM_PEAK = 0.89


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def envelope(n, attack, decay, tail=0.02):
    """A short linear attack, an exponential decay with time constant `decay` seconds, and a
    raised-cosine tail, so that a partial cut short does not end in a click."""
    a = max(1, int(attack * RATE))
    t = max(1, min(n, int(tail * RATE)))
    out = []
    for i in range(n):
        v = (i / a if i < a else 1.0) * math.exp(-(i / RATE) / decay)
        left = n - 1 - i
        if left < t:
            v *= 0.5 - 0.5 * math.cos(math.pi * left / t)
        out.append(v)
    return out


def bell(freq, seconds, decay, partials=((1.0, 1.0), (2.0, 0.35), (3.0, 0.12)), attack=0.004):
    """A soft struck tone: harmonic partials, higher ones dying faster."""
    n = int(seconds * RATE)
    env = envelope(n, attack, decay)
    out = [0.0] * n
    for ratio, gain in partials:
        w = 2 * math.pi * freq * ratio / RATE
        faster = 1.0 + 0.6 * (ratio - 1.0)
        for i in range(n):
            out[i] += gain * math.sin(w * i) * env[i] ** faster
    return out


def glide(f0, f1, seconds, decay):
    """A tone whose pitch moves from f0 to f1 along a smooth curve."""
    n = int(seconds * RATE)
    env = envelope(n, 0.006, decay)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / (n - 1)
        f = f0 * (f1 / f0) ** (0.5 - 0.5 * math.cos(math.pi * t))
        phase += 2 * math.pi * f / RATE
        out.append((math.sin(phase) + 0.25 * math.sin(2 * phase)) * env[i])
    return out


def noise(seconds, decay, seed):
    """Seeded white noise through a one-pole high-pass, decaying fast: the body of a tick."""
    n = int(seconds * RATE)
    env = envelope(n, 0.0005, decay)
    state = seed
    out = []
    prev_in = prev_out = 0.0
    for i in range(n):
        state = (1103515245 * state + 12345) & 0x7FFFFFFF
        x = state / 0x3FFFFFFF - 1.0
        y = 0.85 * (prev_out + x - prev_in)
        prev_in, prev_out = x, y
        out.append(y * env[i])
    return out


def mix(*tracks):
    """Adds tracks given as (start seconds, samples, gain)."""
    end = max(int(round(start * RATE)) + len(s) for start, s, _ in tracks)
    out = [0.0] * end
    for start, samples, gain in tracks:
        at = int(round(start * RATE))
        for i, v in enumerate(samples):
            out[at + i] += gain * v
    return out


def finish(samples, peak, fade=0.01):
    """Scales to the given peak and fades the last few milliseconds so no sound ends in a click."""
    top = max(abs(v) for v in samples) or 1.0
    n = len(samples)
    f = min(n, int(fade * RATE))
    return [v * peak / top * (min(1.0, (n - 1 - i) / f) if f else 1.0) for i, v in enumerate(samples)]


def key_tick():
    return finish(mix((0, noise(0.045, 0.006, 7), 0.6), (0, bell(2600, 0.045, 0.008, ((1.0, 1.0),)), 0.5)), PEAK * 0.7)


def click():
    return finish(mix((0, noise(0.07, 0.004, 11), 0.5), (0, bell(1400, 0.07, 0.012), 0.8),
                      (0.002, bell(700, 0.068, 0.018, ((1.0, 1.0),)), 0.5)), PEAK)


def alarm():
    # Three rounds of a rising two-note chime, bright enough to carry across a room.
    rounds = []
    for k in range(3):
        t = k * 0.8
        rounds.append((t, bell(880, 0.7, 0.22), 1.0))
        rounds.append((t + 0.2, bell(1318.5, 0.7, 0.25), 1.0))
    return finish(mix(*rounds, (2.4, silence(0.1), 0.0)), ALARM_PEAK)


def drag_start():
    return finish(glide(440, 880, 0.16, 0.08), PEAK * 0.8)


def drag_end():
    return finish(glide(880, 440, 0.16, 0.08), PEAK * 0.8)


def start_up():
    notes = (523.25, 659.25, 783.99, 1046.5)  # C E G C, rising
    return finish(mix(*((i * 0.09, bell(f, 0.55, 0.16), 1.0) for i, f in enumerate(notes))), PEAK)


def close():
    notes = (783.99, 659.25, 523.25)  # G E C, falling
    return finish(mix(*((i * 0.11, bell(f, 0.5, 0.15), 1.0) for i, f in enumerate(notes))), PEAK)


def about():
    return finish(mix((0, bell(659.25, 0.6, 0.2), 1.0), (0.12, bell(987.77, 0.48, 0.18), 0.8)), PEAK * 0.8)


SOUNDS = {
    "CKStartUp": start_up,
    "CKClose": close,
    "CKKeystroke": key_tick,
    "CKClick": click,
    "CKAlarm": alarm,
    "CKDragStart": drag_start,
    "CKDragEnd": drag_end,
    "CKAbout": about,
}


def wav_bytes(samples):
    pcm = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767))))) for v in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "sounds")
    os.makedirs(out, exist_ok=True)
    for event, make in SOUNDS.items():
        with open(os.path.join(out, "Spotlex_" + event[2:] + ".wav"), "wb") as f:
            f.write(wav_bytes(make()))


if __name__ == "__main__":
    main()
