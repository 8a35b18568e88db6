#!/usr/bin/env python3
"""Writes a series of two-column scans for the throughput benchmark.

    make_series.py FOLDER [--files N] [--points P] [--seed S]

FOLDER/scans gets scan_0001.xy ... scan_NNNN.xy, each a pseudo-Voigt line
broadened by small crystallites on a sloping background with Poisson counts,
and FOLDER/reference.xy is the narrower line of a well-crystallised standard
(outside the scans' folder, so that the folder can be given as the series).
The line narrows a little along the series, as in a sample that anneals while it is
measured. The same seed gives the same files.
"""
import argparse
import os
import sys

try:
    import numpy as np
except ImportError:
    sys.exit("numpy is missing: apt-get install -y python3-numpy")


def pseudo_voigt(x, centre, fwhm, eta):
    u = (x - centre) / (fwhm / 2.0)
    return eta / (1.0 + u * u) + (1.0 - eta) * np.exp(-np.log(2.0) * u * u)


def write_scan(path, x, counts):
    with open(path, "w") as f:
        f.write("# 2theta counts\n")
        f.write("\n".join(f"{a:.4f} {int(c)}" for a, c in zip(x, counts)))
        f.write("\n")


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("folder")
    p.add_argument("--files", type=int, default=1000)
    p.add_argument("--points", type=int, default=5000)
    p.add_argument("--seed", type=int, default=24)
    a = p.parse_args()
    scans = os.path.join(a.folder, "scans")
    os.makedirs(scans, exist_ok=True)
    rng = np.random.default_rng(a.seed)
    x = np.linspace(40.0, 50.0, a.points)
    background = 150.0 + 4.0 * (x - 40.0)
    reference = background + 20000.0 * pseudo_voigt(x, 45.0, 0.07, 0.3)
    write_scan(os.path.join(a.folder, "reference.xy"), x, rng.poisson(reference))
    for i in range(a.files):
        fwhm = 0.35 - 0.1 * i / max(a.files - 1, 1)
        expected = background + 8000.0 * pseudo_voigt(x, 45.0, fwhm, 0.5)
        write_scan(os.path.join(scans, f"scan_{i + 1:04d}.xy"), x, rng.poisson(expected))


if __name__ == "__main__":
    main()
