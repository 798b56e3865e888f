#!/usr/bin/env python3
"""Writes Purr.wav, the soft sound played with a received heart.

A cat-like purr: a low hum of a few harmonics, pulsed about 24 times a second,
with a little seeded breath noise, two breaths in 0.9 s, faded in and out.
Run: python3 make_purr.py [output]  (standard library only; the result is
the same on every run).
"""
import math
import random
import struct
import sys
import wave

RATE = 22050
SECONDS = 0.9
PEAK = 0.5  # of full scale; played at 0.35 volume on top


def envelope(t):
    # Two breaths: in (louder), out (softer), each a raised sine.
    half = SECONDS / 2
    phase = (t % half) / half
    strength = 1.0 if t < half else 0.7
    return strength * math.sin(math.pi * phase) ** 1.5


def sample(t, noise):
    hum = (math.sin(2 * math.pi * 55 * t)
           + 0.5 * math.sin(2 * math.pi * 110 * t + 0.3)
           + 0.2 * math.sin(2 * math.pi * 165 * t + 0.7))
    pulse = 0.5 + 0.5 * math.sin(2 * math.pi * 24 * t) ** 2
    return (hum / 1.7 * pulse + 0.25 * noise) * envelope(t)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "Purr.wav"
    rng = random.Random(7)
    frames = bytearray()
    noise = 0.0
    for n in range(int(RATE * SECONDS)):
        # One-pole low-pass keeps the noise a soft rumble rather than a hiss.
        noise += 0.05 * (rng.uniform(-1, 1) - noise)
        value = max(-1.0, min(1.0, PEAK * sample(n / RATE, noise * 4)))
        frames += struct.pack("<h", round(value * 32767))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
