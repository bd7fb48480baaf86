"""Checks the built-in sounds that tools/assets/make_sounds.py makes: the
spoken time's fifteen clips (format, length against the program's pacing,
loudness as sox measures it) and the default ring's MIDI file.

    /usr/bin/python3 -m unittest discover -s tests/assets -p test_sounds.py -v
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "assets"))

import make_sounds  # noqa: E402

# The wait the program leaves after each clip before the next one starts
# (the hour word's shorter wait; none after the closing words).
WAITS_MS = [1380, 350, 310, None, None, 349, 349, 454, 399, 353, 349, 331, 334, 349, 350]


def chunks(body):
    """[(tag, payload)] of a RIFF chunk list."""
    found, at = [], 0
    while at + 8 <= len(body):
        tag, size = body[at:at + 4], struct.unpack_from("<I", body, at + 4)[0]
        found.append((tag, body[at + 8:at + 8 + size]))
        at += 8 + size + (size & 1)
    assert at == len(body), "chunks overrun their list"
    return found


def split_clips(data):
    clips, at = [], 0
    while at < len(data):
        kind, length = struct.unpack_from("<II", data, at)
        assert kind == 1, "prefix kind %d" % kind
        clips.append(data[at + 8:at + 8 + length])
        at += 8 + length
    assert at == len(data)
    return clips


def sox_stat(path):
    out = subprocess.run(["sox", path, "-n", "stat"], capture_output=True, text=True, check=True).stderr
    stats = {}
    for line in out.splitlines():
        name, _, value = line.partition(":")
        try:
            stats[name.strip()] = float(value.split()[0])
        except (ValueError, IndexError):
            pass
    return stats


def quantity(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = value << 7 | (byte & 0x7F)
        if not byte & 0x80:
            return value, at


class GeneratedSounds(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="ql-sounds-")
        make_sounds.main(["make_sounds.py", cls.out])
        with open(os.path.join(cls.out, "spoken_clips.bin"), "rb") as f:
            cls.clips = split_clips(f.read())
        with open(os.path.join(cls.out, "default_ring.mid"), "rb") as f:
            cls.ring = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def test_the_list_names_exactly_the_files_written(self):
        self.assertEqual(sorted(make_sounds.OUTPUTS), sorted(os.listdir(self.out)))

    def test_fifteen_mono_8_bit_wave_files_with_an_info_list(self):
        self.assertEqual(15, len(self.clips))
        for number, clip in enumerate(self.clips):
            self.assertEqual((b"RIFF", len(clip) - 8, b"WAVE"),
                             (clip[:4], struct.unpack_from("<I", clip, 4)[0], clip[8:12]), number)
            parts = dict(chunks(clip[12:]))
            self.assertEqual((1, 1, 22050, 22050, 1, 8), struct.unpack("<HHIIHH", parts[b"fmt "]))
            info = parts[b"LIST"]
            self.assertEqual(b"INFO", info[:4])
            self.assertIn(b"INAM", dict(chunks(info[4:])))
            self.assertGreater(len(parts[b"data"]), 2000, number)
        self.assertEqual(15, len(set(self.clips)), "every clip is its own")

    def test_clips_end_before_the_next_one_starts_and_are_loud_enough(self):
        for number, clip in enumerate(self.clips):
            with tempfile.NamedTemporaryFile(suffix=".wav") as f:
                f.write(clip)
                f.flush()
                stats = sox_stat(f.name)
            length_ms = stats["Length (seconds)"] * 1000
            if WAITS_MS[number]:
                self.assertLessEqual(length_ms, WAITS_MS[number], number)
            self.assertGreater(length_ms, 150, number)
            self.assertGreater(stats["Maximum amplitude"], 0.8, number)
            self.assertGreater(stats["RMS     amplitude"], 0.08, number)

    def test_default_ring_is_a_short_format_0_tune(self):
        header, length = self.ring[:8], struct.unpack_from(">I", self.ring, 4)[0]
        self.assertEqual((b"MThd", 6), (header[:4], length))
        self.assertEqual((0, 1, 480), struct.unpack_from(">HHH", self.ring, 8))
        self.assertEqual(b"MTrk", self.ring[14:18])
        track = self.ring[22:]
        self.assertEqual(struct.unpack_from(">I", self.ring, 18)[0], len(track))
        at, tick, tempo, sounding, notes = 0, 0, 500000, {}, 0
        end = None
        while at < len(track):
            delta, at = quantity(track, at)
            tick += delta
            status = track[at]
            if status == 0xFF:
                kind, size = track[at + 1], track[at + 2]
                if kind == 0x51:
                    tempo = int.from_bytes(track[at + 3:at + 6], "big")
                if kind == 0x2F:
                    end = tick
                at += 3 + size
                continue
            data = track[at + 1:at + (2 if status & 0xF0 in (0xC0, 0xD0) else 3)]
            at += 1 + len(data)
            key = (status & 0x0F, data[0]) if data else None
            if status & 0xF0 == 0x90 and data[1] > 0:
                self.assertNotIn(key, sounding)
                sounding[key] = tick
                notes += 1
            elif status & 0xF0 == 0x80:
                self.assertIn(key, sounding)
                del sounding[key]
        self.assertEqual({}, sounding, "every note ends")
        self.assertEqual(len(track), at)
        self.assertIsNotNone(end, "the track ends with its end mark")
        seconds = end * tempo / 480 / 1e6
        self.assertTrue(2 <= seconds <= 8, seconds)
        self.assertGreaterEqual(notes, 10)

    def test_every_run_writes_the_same_bytes(self):
        again = tempfile.mkdtemp(prefix="ql-sounds-")
        try:
            make_sounds.main(["make_sounds.py", again])
            for name in make_sounds.OUTPUTS:
                with open(os.path.join(again, name), "rb") as a, open(os.path.join(self.out, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), name)
        finally:
            shutil.rmtree(again, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
