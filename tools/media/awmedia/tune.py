"""The menu music: a 16-bar ambient loop, encoded with oggenc."""

import os
import subprocess
import tempfile
import wave

import numpy as np

from .synth import *  # noqa: F401,F403 - the synthesis vocabulary


# --------------------------------------------------------------------------
# menu music: a 16-bar ambient loop, rendered circularly so it wraps cleanly
# --------------------------------------------------------------------------

BPM = 96
BEAT = 60.0 / BPM
BARS = 16


def midi(m):
    return 440.0 * 2 ** ((m - 69) / 12.0)


def wavetable(rolloff, harmonics, size=4096):
    ph = np.arange(size) / size
    w = np.zeros(size)
    for h in range(1, harmonics + 1):
        w += np.sin(2 * np.pi * h * ph) / h ** rolloff
    return w / np.max(np.abs(w))


def table_osc(table, phase):
    n = len(table)
    p = (phase % 1.0) * n
    i = p.astype(np.int64)
    fr = p - i
    return table[i % n] * (1 - fr) + table[(i + 1) % n] * fr


class Loop:
    def __init__(self, seconds):
        self.n = int(round(seconds * SR))
        self.bus = {}

    def add(self, bus, start, sig):
        """Add a (len, 2) signal at start seconds, wrapping past the end."""
        buf = self.bus.setdefault(bus, np.zeros((self.n, 2)))
        i0 = int(round(start * SR)) % self.n
        m = min(len(sig), self.n)
        idx = (i0 + np.arange(m)) % self.n
        buf[idx] += sig[:m]


def make_music(path_ogg):
    rng = np.random.default_rng(2024)
    length = BARS * 4 * BEAT
    loop = Loop(length)
    dark = wavetable(2.1, 8)
    bright = wavetable(1.35, 18)
    chords = [
        ([50, 53, 57, 60, 64], 38),   # Dm9
        ([46, 50, 53, 57, 60], 34),   # Bbmaj7 (add 9)
        ([53, 57, 60, 64, 48], 41),   # Fmaj7 over C
        ([48, 55, 62, 64, 67], 36),   # Cadd9
    ]
    chord_len = 8 * BEAT
    seq = chords + chords          # two bars per chord, 16 bars
    # pad
    for ci, (notes, _) in enumerate(seq):
        start = ci * chord_len
        dur = chord_len + 2.0
        t = tvec(dur)
        env = np.clip(t / 1.4, 0, 1) ** 1.5 * np.clip((dur - t) / 2.0, 0, 1) ** 1.2
        for m in notes:
            f = midi(m)
            for det, pan in ((-0.006, -0.55), (0.0, 0.0), (0.006, 0.55)):
                ph = f * (1 + det) * t + rng.random()
                tabs_t = (start + t) / length
                morph = 0.5 - 0.5 * np.cos(2 * np.pi * 2 * tabs_t)
                v = table_osc(dark, ph) * (1 - 0.6 * morph) + table_osc(bright, ph) * 0.6 * morph
                loop.add('pad', start, stereo(v * env * 0.045, pan))
    # bass
    for bar in range(BARS):
        root = seq[bar // 2][1]
        f = midi(root)
        pattern = [(0, 3.5, 0.9)] if bar < 8 else [(0, 1.75, 1.0), (2.5, 1.0, 0.75), (3.5, 0.45, 0.5)]
        for beat, dur, amp in pattern:
            t = tvec(dur * BEAT + 0.15)
            env = (1 - np.exp(-t / 0.01)) * np.clip((dur * BEAT + 0.15 - t) / 0.15, 0, 1) * np.exp(-t / 1.8)
            v = np.sin(2 * np.pi * f * t) + 0.28 * np.sin(4 * np.pi * f * t) + 0.08 * np.sin(6 * np.pi * f * t)
            loop.add('bass', bar * 4 * BEAT + beat * BEAT, stereo(v * env * 0.2 * amp))
    # arpeggio (eighths), sparse in the first half and fuller in the second
    arp_order = [0, 2, 4, 3, 1, 3, 2, 4]
    for bar in range(BARS):
        notes = sorted(seq[bar // 2][0])
        tones = [n + 12 for n in notes]
        for step in range(8):
            if bar < 8 and step % 2 == 1:
                continue
            m = tones[arp_order[(step + bar) % 8] % len(tones)]
            f = midi(m)
            t = tvec(0.9)
            env = (1 - np.exp(-t / 0.002)) * np.exp(-t / 0.28)
            v = (np.sin(2 * np.pi * f * t) + 0.4 * np.sin(4 * np.pi * f * t) * np.exp(-t / 0.08)
                 + 0.15 * np.sin(6 * np.pi * f * t) * np.exp(-t / 0.05))
            accent = 1.0 if step % 4 == 0 else 0.75
            pan = -0.3 if step % 2 == 0 else 0.3
            loop.add('arp', (bar * 4 + step / 2) * BEAT, stereo(v * env * 0.07 * accent, pan))
    # lead melody in the second half
    melody = [(0, 3, 69), (3, 1, 72), (4, 4, 74), (8, 3, 74), (11, 1, 72), (12, 4, 69),
              (16, 3, 72), (19, 1, 76), (20, 4, 77), (24, 2, 76), (26, 2, 74), (28, 4, 72)]
    for beat, dur, m in melody:
        f = midi(m)
        d = dur * BEAT
        t = tvec(d + 0.6)
        vib = 1 + 0.004 * np.sin(2 * np.pi * 5.2 * t) * np.clip((t - 0.3) / 0.4, 0, 1)
        ph = np.cumsum(f * vib) / SR
        env = np.clip(t / 0.09, 0, 1) * np.clip((d + 0.6 - t) / 0.6, 0, 1) ** 2 * (0.75 + 0.25 * np.exp(-t / 0.5))
        v = np.sin(2 * np.pi * ph) + 0.12 * np.sin(6 * np.pi * ph) + 0.05 * np.sin(4 * np.pi * ph)
        loop.add('lead', (32 + beat) * BEAT, stereo(v * env * 0.075, 0.1))
    # drums
    for bar in range(BARS):
        for beat in range(4):
            tb = (bar * 4 + beat) * BEAT
            if bar >= 8 and beat in (0, 2):
                t = tvec(0.35)
                ph = 2 * np.pi * np.cumsum(45 + 70 * np.exp(-t / 0.03)) / SR
                loop.add('kick', tb, stereo(np.sin(ph) * np.exp(-t / 0.13) * (1 - np.exp(-t / 0.002)) * 0.32))
            if bar >= 8 and beat in (1, 3):
                t = tvec(0.3)
                nz = band_limit(rng.standard_normal(len(t)), lo=900, hi=4500)
                loop.add('snare', tb, stereo(nz * np.exp(-t / 0.07) * 0.09))
            for half in (0.5,) if bar < 8 else (0.0, 0.5, 0.75):
                t = tvec(0.12)
                nz = band_limit(rng.standard_normal(len(t)), lo=6500)
                amp = 0.05 if half == 0.5 else 0.022
                loop.add('hat', tb + half * BEAT, stereo(nz * np.exp(-t / 0.025) * amp, 0.25))
    n = loop.n
    b = loop.bus
    # ping-pong echo on arpeggio and lead (circular)
    delay = int(round(0.75 * BEAT * SR))
    echo_src = b['arp'] + b['lead'] * 0.8
    echo = np.zeros((n, 2))
    mono = echo_src.mean(axis=1)
    for k in range(1, 7):
        g = 0.42 ** k
        ch = k % 2
        echo[:, ch] += np.roll(mono, k * delay) * g
    echo = band_limit(echo, lo=250, hi=5000)
    dry = b['pad'] + b['bass'] + b['arp'] + b['lead'] + b['kick'] + b['snare'] + b['hat'] + echo * 0.6
    send = b['pad'] * 0.45 + b['arp'] * 0.5 + b['lead'] * 0.55 + b['snare'] * 0.4 + echo * 0.3
    ir = reverb_ir(3.0, 0.55, 2025, hi=5500, predelay=0.025)
    irp = np.zeros((n, 2))
    irp[:len(ir)] = ir
    wet = np.fft.irfft(np.fft.rfft(send, axis=0) * np.fft.rfft(irp, axis=0), n, axis=0)
    mix_ = dry + wet * 0.32
    mix_ = band_limit(mix_, lo=28)
    mix_ = normalise(mix_, 0.8)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, 'menu_music.wav')
        data = np.round(mix_ * 32767).astype('<i2')
        with wave.open(wav, 'wb') as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(SR)
            w.writeframes(data.tobytes())
        subprocess.run(['oggenc', '--quiet', '-q', '3', '-s', '1661', '-o', path_ogg, wav], check=True)
    return length
