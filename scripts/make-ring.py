#!/usr/bin/env python3
"""Writes the default ring sound, resources/Sound/ring1.wav: a short two-tone telephone ring.

Two bursts of a 440 Hz + 480 Hz pair, warbled at 20 Hz like a bell ringer, with short fades so
the bursts start and stop without a click. 16 kHz, 16-bit mono PCM; the output is the same on
every run, so the committed file can be checked against this script.

    scripts/make-ring.py [OUTPUT]
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 16000
TONES = (440.0, 480.0)
WARBLE_HZ = 20.0
# (seconds, ringing) in order: burst, pause, burst, trailing silence.
CADENCE = ((0.4, True), (0.2, False), (0.4, True), (0.3, False))
FADE_S = 0.005
PEAK = 0.45  # of full scale, leaving head room for the desktop's mixer


def samples():
    t0 = 0
    for seconds, ringing in CADENCE:
        count = int(round(seconds * RATE))
        fade = int(FADE_S * RATE)
        for i in range(count):
            if not ringing:
                yield 0
                continue
            t = (t0 + i) / RATE
            tone = sum(math.sin(2 * math.pi * f * t) for f in TONES) / len(TONES)
            warble = 0.6 + 0.4 * math.sin(2 * math.pi * WARBLE_HZ * t)
            envelope = min(1.0, i / fade, (count - 1 - i) / fade)
            yield int(round(32767 * PEAK * tone * warble * envelope))
        t0 += count


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources/Sound/ring1.wav"
    out.parent.mkdir(parents=True, exist_ok=True)
    data = b"".join(struct.pack("<h", s) for s in samples())
    with wave.open(str(out), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)
    print(f"{out}: {len(data) // 2 / RATE:.2f} s")


if __name__ == "__main__":
    main()
