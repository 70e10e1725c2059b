"""Shared sound helpers: time bases, levels, filters, reverb and writing WAV files."""

import math
import os
import wave

import numpy as np

from .paths import SOUND_DIR


SR = 44100

# --------------------------------------------------------------------------
# audio
# --------------------------------------------------------------------------


def tvec(dur):
    return np.arange(int(round(dur * SR))) / SR


def normalise(x, peak):
    return x * (peak / max(1e-9, np.max(np.abs(x))))


def stereo(x, pan=0.0):
    a = (pan + 1) * math.pi / 4
    return np.stack([x * math.cos(a) * math.sqrt(2), x * math.sin(a) * math.sqrt(2)], axis=1)


def fade_edges(x, fin=0.002, fout=0.01):
    n = len(x)
    i = int(fin * SR)
    o = int(fout * SR)
    env = np.ones(n)
    if i:
        env[:i] = np.linspace(0, 1, i)
    if o:
        env[n - o:] *= np.linspace(1, 0, o) ** 2
    return x * (env[:, None] if x.ndim == 2 else env)


def write_wav(name, x):
    if x.ndim == 1:
        x = np.stack([x, x], axis=1)
    data = np.round(np.clip(x, -1, 1) * 32767).astype('<i2')
    path = os.path.join(SOUND_DIR, name)
    with wave.open(path, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(data.tobytes())
    return path


def onepole_lp(x, fc):
    """One-pole low-pass with a per-sample cutoff (Hz)."""
    fc = np.broadcast_to(np.asarray(fc, float), x.shape)
    a = 1 - np.exp(-2 * np.pi * fc / SR)
    y = np.empty_like(x)
    s = 0.0
    for i in range(len(x)):
        s += a[i] * (x[i] - s)
        y[i] = s
    return y


def svf_bandpass(x, fc, q):
    fc = np.broadcast_to(np.asarray(fc, float), x.shape)
    f = 2 * np.sin(np.pi * np.minimum(fc, SR / 6) / SR)
    low = band = 0.0
    y = np.empty_like(x)
    for i in range(len(x)):
        low += f[i] * band
        high = x[i] - low - q * band
        band += f[i] * high
        y[i] = band
    return y


def band_limit(x, lo=None, hi=None, n=None):
    """Zero-phase band limiting with soft edges (operates on axis 0)."""
    n = n or x.shape[0]
    X = np.fft.rfft(x, n=n, axis=0)
    f = np.fft.rfftfreq(n, 1 / SR)
    g = np.ones_like(f)
    if lo:
        g *= 1 / (1 + (lo / np.maximum(f, 1e-3)) ** 4)
    if hi:
        g *= 1 / (1 + (f / hi) ** 4)
    if x.ndim == 2:
        g = g[:, None]
    return np.fft.irfft(X * g, n=n, axis=0)[:x.shape[0]]


def reverb_ir(dur, tau, seed, hi=6000.0, predelay=0.015):
    rng = np.random.default_rng(seed)
    t = tvec(dur)
    ir = rng.standard_normal((len(t), 2)) * np.exp(-t / tau)[:, None]
    ir = band_limit(ir, lo=120, hi=hi)
    ir[:int(predelay * SR)] = 0
    ir[-int(0.2 * SR):] *= np.linspace(1, 0, int(0.2 * SR))[:, None]
    return ir / np.sqrt(np.sum(ir ** 2) / 2)


def convolve(x, ir, length=None):
    """Linear convolution of stereo x with stereo ir (FFT)."""
    n = len(x) + len(ir) - 1
    m = 1 << (n - 1).bit_length()
    y = np.fft.irfft(np.fft.rfft(x, m, axis=0) * np.fft.rfft(ir, m, axis=0), m, axis=0)[:n]
    return y[:length] if length else y


def bell(f, t, decay):
    out = np.zeros_like(t)
    for ratio, amp, dk in ((1.0, 1.0, 1.0), (2.0, 0.42, 0.7), (2.76, 0.22, 0.5), (4.07, 0.12, 0.35),
                           (5.43, 0.07, 0.25)):
        out += amp * np.sin(2 * np.pi * f * ratio * t) * np.exp(-t / (decay * dk))
    return out * (1 - np.exp(-t / 0.002))
