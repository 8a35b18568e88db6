#!/usr/bin/env python3
"""Writes the synthetic demo scans resources/demo/instrument.xdd and
resources/demo/broadened.xdd.

One Cu K-alpha1 line at 2-theta = 43.3 degrees, counted twice on the same
grid over the same flat background:

  instrument.xdd  the instrumental line alone, a pseudo-Voigt;
  broadened.xdd   the same line convolved with a sample broadening, a Voigt
                  whose Lorentzian part stands for the crystallite size and
                  whose Gaussian part for the microstrain.

Both are counted with Poisson noise from a fixed seed, so the files come out
the same on every run. Run from anywhere:  python3 scripts/make_demo.py
The widths it prints are those of the noise-free profiles; the deconvoluted
profile of the demo should come back near the sample's.
"""

import math
import os
import random

SEED = 20240611
WAVELENGTH_A = 1.540562  # Cu K-alpha1
CENTRE_DEG = 43.3
FIRST_DEG, STEP_DEG, POINTS = 41.3, 0.01, 401  # 41.30 to 45.30
COUNT_TIME_S = 10.0
BACKGROUND_COUNTS = 40.0
AREA_COUNTS_DEG = 1000.0  # integrated counts of the line, times degrees

INSTRUMENT_FWHM_DEG = 0.08
INSTRUMENT_LORENTZ_FRACTION = 0.4
SIZE_LORENTZ_FWHM_DEG = 0.16
STRAIN_GAUSS_FWHM_DEG = 0.09

# The profiles are summed from their Fourier transforms: the step in
# frequency makes them repeat every 1/FREQ_STEP degrees, far beyond the scan,
# and every transform is below 1e-13 at FREQ_LAST.
FREQ_STEP, FREQ_LAST = 0.01, 60.0

LN2 = math.log(2.0)


def lorentz_ft(fwhm, s):
    return math.exp(-math.pi * fwhm * abs(s))


def gauss_ft(fwhm, s):
    return math.exp(-(math.pi * fwhm * s) ** 2 / (4.0 * LN2))


def instrument_ft(s):
    eta = INSTRUMENT_LORENTZ_FRACTION
    return eta * lorentz_ft(INSTRUMENT_FWHM_DEG, s) + (1.0 - eta) * gauss_ft(INSTRUMENT_FWHM_DEG, s)


def sample_ft(s):
    return lorentz_ft(SIZE_LORENTZ_FWHM_DEG, s) * gauss_ft(STRAIN_GAUSS_FWHM_DEG, s)


def broadened_ft(s):
    # Convolution is a product of transforms.
    return instrument_ft(s) * sample_ft(s)


def profile_from_ft(ft):
    """The unit-area, even profile whose transform is ft, as a function of
    the distance from the centre: f(x) = 2 * integral_0^inf F(s) cos(2 pi s x) ds,
    by the trapezoid rule."""
    count = int(round(FREQ_LAST / FREQ_STEP))
    weights = [ft(k * FREQ_STEP) * FREQ_STEP * (0.5 if k in (0, count) else 1.0) for k in range(count + 1)]

    def value(x):
        w = 2.0 * math.pi * x * FREQ_STEP
        return 2.0 * sum(a * math.cos(w * k) for k, a in enumerate(weights))

    return value


def fwhm(profile):
    """Full width at half maximum of an even profile peaking at 0."""
    half = profile(0.0) / 2.0
    lo, hi = 0.0, 1.0
    for _ in range(60):
        mid = (lo + hi) / 2.0
        lo, hi = (mid, hi) if profile(mid) > half else (lo, mid)
    return 2.0 * (lo + hi) / 2.0


def poisson(mean, rng):
    """A Poisson count: multiplication of uniforms for small means, the
    transformed rejection of Hoermann (1993, PTRS) for large ones."""
    if mean < 10.0:
        limit, k, p = math.exp(-mean), 0, 1.0
        while True:
            p *= rng.random()
            if p <= limit:
                return k
            k += 1
    root, log_mean = math.sqrt(mean), math.log(mean)
    b = 0.931 + 2.53 * root
    a = -0.059 + 0.02483 * b
    inv_alpha = 1.1239 + 1.1328 / (b - 3.4)
    v_r = 0.9277 - 3.6224 / (b - 2.0)
    while True:
        u = rng.random() - 0.5
        v = rng.random()
        us = 0.5 - abs(u)
        k = math.floor((2.0 * a / us + b) * u + mean + 0.43)
        if us >= 0.07 and v <= v_r:
            return k
        if k < 0 or (us < 0.013 and v > us):
            continue
        if math.log(v) + math.log(inv_alpha) - math.log(a / (us * us) + b) <= -mean + k * log_mean - math.lgamma(k + 1):
            return k


def write_xdd(path, comment, counts):
    last = FIRST_DEG + (POINTS - 1) * STEP_DEG
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(comment + "\n")
        f.write(f"{FIRST_DEG:.6f} {STEP_DEG:.6f} {last:.6f}\n")
        f.write(f"{COUNT_TIME_S:.4f} 1 {WAVELENGTH_A:.6f}\n")
        for c in counts:
            f.write(f"{c}\n")


def counted(profile, rng):
    xs = [FIRST_DEG + i * STEP_DEG for i in range(POINTS)]
    return [poisson(BACKGROUND_COUNTS + AREA_COUNTS_DEG * profile(x - CENTRE_DEG), rng) for x in xs]


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "demo")
    rng = random.Random(SEED)
    instrument = profile_from_ft(instrument_ft)
    sample = profile_from_ft(sample_ft)
    broadened = profile_from_ft(broadened_ft)

    write_xdd(os.path.join(out_dir, "instrument.xdd"),
              f"Synthetic instrumental line, Cu Ka1, pseudo-Voigt FWHM {INSTRUMENT_FWHM_DEG} deg at {CENTRE_DEG}",
              counted(instrument, rng))
    write_xdd(os.path.join(out_dir, "broadened.xdd"),
              f"Synthetic broadened line, Cu Ka1, instrument convolved with size and strain broadening at {CENTRE_DEG}",
              counted(broadened, rng))

    print(f"instrument FWHM {fwhm(instrument):.4f} deg (peak {AREA_COUNTS_DEG * instrument(0):.0f} counts)")
    print(f"sample     FWHM {fwhm(sample):.4f} deg (Lorentz {SIZE_LORENTZ_FWHM_DEG}, Gauss {STRAIN_GAUSS_FWHM_DEG})")
    print(f"broadened  FWHM {fwhm(broadened):.4f} deg (peak {AREA_COUNTS_DEG * broadened(0):.0f} counts)")
    print(f"background {BACKGROUND_COUNTS:.0f} counts; {POINTS} points from {FIRST_DEG} step {STEP_DEG}; seed {SEED}")


if __name__ == "__main__":
    main()
