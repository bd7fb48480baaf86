#!/usr/bin/python3
"""Makes the program's built-in sounds into a folder.

    make_sounds.py OUTDIR     write every sound under OUTDIR
    make_sounds.py --list     print the file names it writes, one a line

spoken_clips.bin: the fifteen clips of the spoken time, each a RIFF WAVE file
(PCM, mono, 22050 Hz, 8 bits, with a LIST/INFO chunk) behind an 8-byte prefix
(32-bit 1, then the file's length, little-endian), one after another. They
are spoken by espeak-ng's Mandarin voice (pinyin input) and shaped with sox:
silence trimmed, loudness evened out, and each made short enough to end
before the program starts the next clip.

default_ring.mid: the ring a task plays when it has no sound file of its own:
a standard MIDI file, format 0, 480 ticks per quarter note, one track.
"""
import os
import struct
import subprocess
import sys
import tempfile

RATE = 22050
VOICE = "cmn-latn-pinyin"

# (name, pinyin, longest length in ms): the length keeps each clip within
# the wait the program leaves after it; the closing words have no wait after
# them and keep the length of a syllable.
CLIPS = [
    ("opening", "xian4 zai4 shi2 jian1 shi4", 1340),  # 现在时间是
    ("zero", "ling2", 340),      # 零
    ("hour", "dian3", 300),      # 点
    ("on the hour", "zheng3", 420),  # 整
    ("minute", "fen1", 420),     # 分
    ("one", "yi1", 335),
    ("two", "er4", 335),
    ("three", "san1", 440),
    ("four", "si4", 385),
    ("five", "wu3", 340),
    ("six", "liu4", 335),
    ("seven", "qi1", 320),
    ("eight", "ba1", 320),
    ("nine", "jiu3", 335),
    ("ten", "shi2", 340),
]

OUTPUTS = ("spoken_clips.bin", "default_ring.mid")


def run(command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def duration_of(path):
    out = subprocess.run(["sox", "--i", "-D", path], check=True, capture_output=True, text=True)
    return float(out.stdout.strip())


def spoken_samples(pinyin, longest_ms, work):
    """The clip's samples: 8-bit unsigned, mono, 22050 Hz."""
    spoken = os.path.join(work, "spoken.wav")
    shaped = os.path.join(work, "shaped.wav")
    run(["espeak-ng", "-v", VOICE, "-s", "150", "-p", "45", "-w", spoken, pinyin])
    # Silence off both ends and a touch of warmth.
    run(["sox", "-R", spoken, "-r", str(RATE), shaped, "silence", "1", "0.01", "0.5%",
         "reverse", "silence", "1", "0.01", "0.5%", "reverse", "bass", "+3"])
    # Sped up where needed, short fades against clicks, loudness to -1 dBFS.
    length = duration_of(shaped)
    tempo = ["tempo", "-s", "%.4f" % (length * 1000 / longest_ms)] if length * 1000 > longest_ms else []
    raw = subprocess.run(["sox", "-R", shaped, "-t", "raw", "-r", str(RATE), "-c", "1", "-b", "8",
                          "-e", "unsigned-integer", "-", *tempo, "fade", "0.005", "-0", "0.02",
                          "norm", "-1"],
                         check=True, capture_output=True).stdout
    return raw


def chunk(tag, body):
    pad = b"\0" if len(body) % 2 else b""
    return tag + struct.pack("<I", len(body)) + body + pad


def info_text(text):
    return text.encode("ascii") + b"\0"


def wave_file(samples, name):
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    info = b"INFO" + chunk(b"INAM", info_text(name)) + chunk(b"ISFT", info_text("espeak-ng, sox"))
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"LIST", info) + chunk(b"data", samples)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def spoken_clips():
    out = bytearray()
    with tempfile.TemporaryDirectory() as work:
        for name, pinyin, longest_ms in CLIPS:
            wave = wave_file(spoken_samples(pinyin, longest_ms, work), name)
            out += struct.pack("<II", 1, len(wave)) + wave
    return bytes(out)


# ---- The ring -------------------------------------------------------------

TICKS = 480  # per quarter note
MUSIC_BOX, VIBRAPHONE = 10, 11

# A bright little phrase in C major, (note, length in eighths); 0 is a rest.
MELODY = [(72, 1), (76, 1), (79, 1), (84, 1), (83, 2), (79, 2),
          (81, 1), (77, 1), (74, 1), (79, 1), (84, 3), (0, 1)]
# Under it, soft chords (notes, length in eighths).
CHORDS = [((48, 55, 64), 4), ((43, 55, 62), 4), ((41, 57, 65), 2), ((43, 55, 59), 2),
          ((48, 55, 64), 4)]


def quantity(value):
    """A MIDI variable-length quantity."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def timed_notes(channel, velocity, parts):
    """(tick, order, message bytes) of note on and off events."""
    events, tick = [], 0
    for notes, eighths in parts:
        length = eighths * TICKS // 2
        for note in notes:
            if note:
                events.append((tick, 1, bytes([0x90 | channel, note, velocity])))
                events.append((tick + length - 10, 0, bytes([0x80 | channel, note, 0])))
        tick += length
    return events, tick


def default_ring():
    melody, length = timed_notes(0, 100, [((note,), eighths) for note, eighths in MELODY])
    chords, _ = timed_notes(1, 52, CHORDS)
    track = bytearray()
    track += b"\0\xff\x51\x03" + (500000).to_bytes(3, "big")  # 120 beats a minute
    track += b"\0\xff\x58\x04\x04\x02\x18\x08"                 # 4/4
    track += bytes([0, 0xC0, MUSIC_BOX, 0, 0xC1, VIBRAPHONE])
    track += bytes([0, 0xB1, 7, 90])                          # chords a little quieter
    now = 0
    for tick, _, message in sorted(melody + chords, key=lambda e: (e[0], e[1])):
        track += quantity(tick - now) + message
        now = tick
    track += quantity(length - now) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS)
    return header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track)


def main(argv):
    if len(argv) == 2 and argv[1] == "--list":
        print("\n".join(OUTPUTS))
        return 0
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, build in zip(OUTPUTS, (spoken_clips, default_ring)):
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(build())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
