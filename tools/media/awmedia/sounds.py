"""The sound effects, one function each, and the list of them with their ids and files."""

import numpy as np

from .synth import *  # noqa: F401,F403 - the synthesis vocabulary


def snd_menu_click():
    rng = np.random.default_rng(11)
    t = tvec(0.045)
    env = np.exp(-t / 0.0065) * (1 - np.exp(-t / 0.0004))
    tone = 0.55 * np.sin(2 * np.pi * 2100 * t) + 0.45 * np.sin(2 * np.pi * 1250 * t + 0.5)
    tick = onepole_lp(rng.standard_normal(len(t)), 3000) * np.exp(-t / 0.0012) * 0.4
    x = tone * env + tick
    return fade_edges(stereo(normalise(x, 0.33)), 0.0005, 0.006)


def snd_menu_swoosh():
    rng = np.random.default_rng(12)
    T = 0.42
    t = tvec(T)
    p = t / T
    fc = 320 + 2700 * np.sin(np.pi * p ** 0.8) ** 2
    noise = rng.standard_normal(len(t))
    x = svf_bandpass(noise, fc, 0.6)
    x += 0.25 * svf_bandpass(rng.standard_normal(len(t)), fc * 1.7, 0.8)
    x = onepole_lp(onepole_lp(x, 3500), 5000)
    env = np.sin(np.pi * p ** 0.75) ** 2
    x = normalise(x * env, 1.0)
    pan = -0.6 + 1.2 * p
    a = (pan + 1) * np.pi / 4
    y = np.stack([x * np.cos(a), x * np.sin(a)], axis=1) * math.sqrt(2)
    return fade_edges(normalise(y, 0.4), 0.003, 0.02)


def snd_quillmoth_intro():
    T = 3.0
    t = tvec(T)
    out = np.zeros((len(t), 2))
    notes = [(0.10, 587.33, -0.4), (0.28, 739.99, 0.3), (0.46, 880.00, -0.2), (0.64, 1318.51, 0.45),
             (0.95, 1174.66, 0.0), (1.25, 1760.00, -0.3)]
    for start, f, pan in notes:
        i = int(start * SR)
        tt = t[:len(t) - i]
        out[i:] += stereo(bell(f, tt, 0.9) * (0.3 if f > 1500 else 0.45), pan)
    # warm pad underneath
    pad_env = np.clip(t / 0.7, 0, 1) ** 2 * np.clip((T - t) / 1.4, 0, 1) ** 1.5
    pad = np.zeros_like(t)
    for f, a in ((146.83, 0.5), (220.0, 0.38), (293.66, 0.3), (369.99, 0.22), (440.0, 0.12)):
        vib = 1 + 0.002 * np.sin(2 * np.pi * 4.7 * t + f)
        pad += a * (np.sin(2 * np.pi * f * t * vib) + 0.2 * np.sin(4 * np.pi * f * t * vib))
    out += np.stack([pad, np.roll(pad, 190)], axis=1) * pad_env[:, None] * 0.35
    wet = convolve(out, reverb_ir(2.2, 0.45, 13, hi=7000), len(out))
    y = out * 0.8 + wet * 0.32
    return fade_edges(normalise(y, 0.5), 0.002, 0.5)


def snd_end():
    rng = np.random.default_rng(14)
    T = 2.1
    t = tvec(T)
    ph = 2 * np.pi * np.cumsum(40 + 55 * np.exp(-t / 0.12)) / SR
    boom = np.sin(ph) * np.exp(-t / 0.35) * (1 - np.exp(-t / 0.003))
    hit = onepole_lp(rng.standard_normal(len(t)), 1800) * np.exp(-t / 0.06) * 0.6
    chord = np.zeros((len(t), 2))
    for f, pan in ((110.0, 0.0), (164.81, -0.35), (220.0, 0.3), (246.94, -0.2), (329.63, 0.4), (440.0, -0.4)):
        for det in (-0.003, 0.003):
            v = np.zeros_like(t)
            for h in range(1, 11):
                v += np.sin(2 * np.pi * f * (1 + det) * h * t + h * 1.3) / h ** 1.4 * np.exp(-t * h * 0.35)
            chord += stereo(v, pan + det * 60)
    env = (1 - np.exp(-t / 0.015)) * np.exp(-t / 0.85)
    chord *= env[:, None] * 0.16
    y = chord + stereo(boom * 0.7 + hit * 0.3)
    wet = convolve(y, reverb_ir(2.0, 0.4, 15), len(y))
    y = y + wet * 0.25
    return fade_edges(normalise(y, 0.55), 0.001, 0.4)


def snd_build_success():
    t = tvec(0.21)
    y = np.zeros_like(t)
    for start, f, tau, amp in ((0.0, 880.0, 0.05, 0.8), (0.075, 1318.51, 0.07, 1.0)):
        i = int(start * SR)
        tt = t[:len(t) - i]
        v = np.sin(2 * np.pi * f * tt) + 0.25 * np.sin(4 * np.pi * f * tt) + 0.1 * np.sin(6 * np.pi * f * tt)
        y[i:] += amp * v * np.exp(-tt / tau) * (1 - np.exp(-tt / 0.002))
    return fade_edges(stereo(normalise(y, 0.4)), 0.0005, 0.03)


def snd_build_fail():
    t = tvec(0.2)
    f = 98 - 10 * t / 0.2
    ph = 2 * np.pi * np.cumsum(f) / SR
    v = np.zeros_like(t)
    for h in range(1, 26):
        v += np.sin(h * ph) / h * np.exp(-h / 9) + 0.6 * np.sin(h * ph * 1.014 + h) / h * np.exp(-h / 9)
    trem = 0.8 + 0.2 * np.sin(2 * np.pi * 28 * t)
    env = (1 - np.exp(-t / 0.004)) * np.clip((0.2 - t) / 0.05, 0, 1)
    v = onepole_lp(v * trem * env, 1400)
    return fade_edges(stereo(normalise(v, 0.4)), 0.0005, 0.02)


def snd_death():
    rng = np.random.default_rng(16)
    T = 0.62
    t = tvec(T)
    n = len(t)
    fc = 150 + 3200 * np.exp(-t / 0.08)
    env = (1 - np.exp(-t / 0.002)) * np.exp(-t / 0.16)
    out = np.zeros((n, 2))
    for ch in range(2):
        out[:, ch] = onepole_lp(onepole_lp(rng.standard_normal(n), fc), fc * 1.5) * env
    ph = 2 * np.pi * np.cumsum(35 + 80 * np.exp(-t / 0.06)) / SR
    thump = np.sin(ph) * np.exp(-t / 0.18) * (1 - np.exp(-t / 0.002))
    crackle = np.zeros(n)
    prob = 0.004 * np.exp(-t / 0.18)
    hits = rng.random(n) < prob
    crackle[hits] = rng.uniform(-1, 1, hits.sum())
    k = np.exp(-np.arange(200) / 30.0) * np.sin(np.arange(200) * 0.9)
    crackle = onepole_lp(np.convolve(crackle, k)[:n], 4000)
    y = out * 0.9 + stereo(thump * 1.1) + np.stack([crackle, np.roll(crackle, 37)], axis=1) * 0.6
    return fade_edges(normalise(y, 0.6), 0.0005, 0.08)


SOUNDS = [
    ('MenuClick', 'menu_click.wav', snd_menu_click),
    ('MenuSwoosh', 'menu_swoosh.wav', snd_menu_swoosh),
    ('QuillmothIntro', 'quillmoth_intro.wav', snd_quillmoth_intro),
    ('End', 'end.wav', snd_end),
    ('BuildSuccess', 'build_success.wav', snd_build_success),
    ('BuildFail', 'build_fail.wav', snd_build_fail),
    ('Death', 'death.wav', snd_death),
]
