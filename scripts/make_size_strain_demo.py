#!/usr/bin/env python3
"""Writes the synthetic size-strain demo: two orders of one reflection,
each with its instrumental profile, in resources/demo/size_strain/.

  cu111.xdd, cu111_ref.xdd   copper 111 (d = 2.0871 A) near 43.3 degrees
  cu222.xdd, cu222_ref.xdd   copper 222 (d = 1.04355 A) near 95.1 degrees

The sample broadening is known in closed form. Its Fourier coefficients are
A(L) = exp(-L / LA) (the crystallite size) times exp(-2 pi^2 L^2 EPS^2 / d^2)
(the microstrain); in 2-theta that is a Lorentzian of half width
lambda / (2 pi LA cos theta) convolved with a Gaussian of sigma 2 EPS tan theta
(radians). The instrument is a Gaussian, the same at both angles, which is
the reference file. Each sample is scanned 25 degrees either side of its line
(its Lorentzian tails reach far), each reference 3 degrees, and every file is
counted with Poisson noise from a fixed seed, so the files come out the same
on every run.

Run from anywhere:  python3 scripts/make_size_strain_demo.py
Then:  build/cli/xrdfourier-cli size-strain --auto-limit \\
         --pair cu111.xdd cu111_ref.xdd --pair cu222.xdd cu222_ref.xdd
"""

import math
import os
import random

SEED = 20261206
WAVELENGTH_A = 1.5406  # Cu K-alpha1
LATTICE_A = 3.6149     # copper
LA_A = 200.0           # the area-weighted mean column length
EPS = 1.0e-3           # the rms microstrain
INSTRUMENT_SIGMA_DEG = 0.03
PEAK_COUNTS = 1.0e5
BACKGROUND_COUNTS = 100.0
SAMPLE_REACH_DEG, REFERENCE_REACH_DEG, STEP_DEG = 25.0, 3.0, 0.01
COUNT_TIME_S = 1.0


def two_theta_deg(d):
    return 2.0 * math.degrees(math.asin(WAVELENGTH_A / (2.0 * d)))


def sample_line(centre, xs):
    """The size Lorentzian convolved with the strain and instrument Gaussians."""
    theta = math.radians(centre) / 2.0
    w = math.degrees(WAVELENGTH_A / (2.0 * math.pi * LA_A * math.cos(theta)))  # half width
    strain_sigma = math.degrees(2.0 * EPS * math.tan(theta))
    s = math.hypot(strain_sigma, INSTRUMENT_SIGMA_DEG)
    steps = 400
    dt = 12.0 * s / steps
    ts = [-6.0 * s + k * dt for k in range(steps + 1)]
    gs = [math.exp(-0.5 * (t / s) ** 2) * dt for t in ts]
    out = []
    for x in xs:
        u0 = x - centre
        out.append(sum(g * w / math.pi / (w * w + (u0 - t) ** 2) for t, g in zip(ts, gs)))
    return out


def reference_line(centre, xs):
    return [math.exp(-0.5 * ((x - centre) / INSTRUMENT_SIGMA_DEG) ** 2) for x in xs]


def poisson(rng, mean):
    if mean > 1000.0:  # the normal limit, rounded
        return max(0, round(rng.gauss(mean, math.sqrt(mean))))
    limit, k, p = math.exp(-mean), 0, rng.random()
    while p > limit:
        k += 1
        p *= rng.random()
    return k


def write_scan(path, comment, first, ys):
    last = first + (len(ys) - 1) * STEP_DEG
    with open(path, "w") as f:
        f.write(comment + "\n")
        f.write("%.6f %.6f %.6f\n" % (first, STEP_DEG, last))
        f.write("%.4f 1 %.6f\n" % (COUNT_TIME_S, WAVELENGTH_A))
        for y in ys:
            f.write("%d\n" % y)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = os.path.join(here, "..", "resources", "demo", "size_strain")
    os.makedirs(out_dir, exist_ok=True)
    rng = random.Random(SEED)
    d111 = LATTICE_A / math.sqrt(3.0)
    for name, d in (("cu111", d111), ("cu222", d111 / 2.0)):
        centre = two_theta_deg(d)
        for suffix, shape, reach, what in (
                ("", sample_line, SAMPLE_REACH_DEG, "sample: size %.0f A, rms strain %.1e" % (LA_A, EPS)),
                ("_ref", reference_line, REFERENCE_REACH_DEG,
                 "instrument: Gaussian sigma %.3f deg" % INSTRUMENT_SIGMA_DEG)):
            first = round((centre - reach) / STEP_DEG) * STEP_DEG
            xs = [first + i * STEP_DEG for i in range(int(round(2 * reach / STEP_DEG)) + 1)]
            ys = shape(centre, xs)
            top = max(ys)
            counts = [poisson(rng, y / top * PEAK_COUNTS + BACKGROUND_COUNTS) for y in ys]
            comment = "Synthetic copper %s at %.4f deg, %s" % (name[2:], centre, what)
            write_scan(os.path.join(out_dir, name + suffix + ".xdd"), comment, first, counts)
        print("%s: 2theta %.4f deg, d %.5f A" % (name, centre, d))
    print("true values: area-weighted column length %.1f A, rms strain %.2e at every L" % (LA_A, EPS))


if __name__ == "__main__":
    main()
