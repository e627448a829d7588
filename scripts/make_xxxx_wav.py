#!/usr/bin/env python3
"""Writes assets/xxxx.wav: the program's own sound, a rising four-note chime of 800 ms
(22050 Hz, mono, 16-bit PCM). Deterministic: running it again gives the same bytes.

    python3 scripts/make_xxxx_wav.py [output path]
"""
import math
import struct
import sys
import wave

RATE = 22050
NOTES = [523.25, 659.25, 783.99, 1046.50]  # C5 E5 G5 C6
NOTE_MS = 200


def samples():
    note_frames = RATE * NOTE_MS // 1000
    for index, hertz in enumerate(NOTES):
        for n in range(note_frames):
            t = n / RATE
            attack = min(1.0, n / (0.005 * RATE))
            decay = math.exp(-t / 0.12)
            # A little of the octave above makes it a chime rather than a beep.
            tone = math.sin(2 * math.pi * hertz * t) + 0.3 * math.sin(4 * math.pi * hertz * t)
            # The last note rings out to silence at the end of the file.
            fade = 1.0 if index < len(NOTES) - 1 else 1.0 - n / note_frames
            yield round(0.45 * 32767 / 1.3 * attack * decay * fade * tone)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "assets/xxxx.wav"
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples()))


if __name__ == "__main__":
    main()
