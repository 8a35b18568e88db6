#!/usr/bin/env python3
"""The Stokes deconvolution of a series of scans, as a plain numpy script.

    stokes_numpy.py REFERENCE SCAN... [--wavelength 1.5406] [-o table.csv]

Each scan and the reference are two-column text files (2theta, counts). For
each scan: the straight background through the end points is subtracted
from the line and from the reference, both are Fourier transformed, the
quotient is kept up to the frequency where the reference's transform falls
below 1% of its value at 0, and its inverse is the deconvoluted line. The row
gives the FWHM of the line and of the deconvoluted line, and the
area-weighted size from the initial slope of A(L) (a least-squares line
through its first points). The throughput is printed on standard error.

This is the yardstick of bench/series_throughput.sh: the same job as
`xrdfourier-cli measure --table --ref`, written as a scientist would write
it, with numpy only.
"""
import argparse
import sys
import time

try:
    import numpy as np
except ImportError:
    sys.exit("numpy is missing: apt-get install -y python3-numpy")


def above_background(y, ends=5):
    """The line less the straight background through its end points."""
    n = len(y)
    left, right = y[:ends].mean(), y[-ends:].mean()
    return y - (left + (right - left) * np.arange(n) / (n - 1))


def fwhm(x, y):
    """The full width at half maximum, the crossings interpolated linearly."""
    top = int(np.argmax(y))
    half = y[top] / 2.0
    below = np.nonzero(y[:top] < half)[0]
    above = np.nonzero(y[top:] < half)[0]
    if len(below) == 0 or len(above) == 0:
        return float("nan")
    i = below[-1]
    j = top + above[0]
    left = x[i] + (half - y[i]) * (x[i + 1] - x[i]) / (y[i + 1] - y[i])
    right = x[j - 1] + (half - y[j - 1]) * (x[j] - x[j - 1]) / (y[j] - y[j - 1])
    return right - left


def stokes(x, line, reference, wavelength):
    """FWHM of the line and of the deconvoluted one, and the area-weighted size in Angstrom."""
    n = len(line)
    step = x[1] - x[0]
    # The origin at the line's maximum, so that the transform's phase is small.
    centre = int(np.argmax(line))
    f = np.fft.rfft(np.roll(line, -centre))
    g = np.fft.rfft(np.roll(reference, -int(np.argmax(reference))))
    limit = int(np.argmax(np.abs(g) < 0.01 * np.abs(g[0]))) or len(g)
    q = np.zeros_like(f)
    q[:limit] = f[:limit] / g[:limit]
    q /= q[0].real
    deconvoluted = np.roll(np.fft.irfft(q, n), n // 2)
    offsets = (np.arange(n) - n // 2) * step
    # L of harmonic k: k times the wavelength over twice the scan's width in sin(theta).
    theta = np.radians(x / 2.0)
    L = np.arange(limit) * wavelength / (2.0 * (np.sin(theta[-1]) - np.sin(theta[0])))
    A = q[:limit].real
    # The initial slope, past the hook of the first harmonic.
    first = slice(1, min(6, limit))
    slope, intercept = np.polyfit(L[first], A[first], 1)
    size = -intercept / slope if slope < 0 else float("nan")
    return fwhm(x, line), fwhm(offsets, deconvoluted), size


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("reference")
    p.add_argument("scans", nargs="+")
    p.add_argument("--wavelength", type=float, default=1.5406)
    p.add_argument("-o", "--output", default="-")
    a = p.parse_args()
    start = time.perf_counter()
    rx, ry = np.loadtxt(a.reference, unpack=True)
    reference = above_background(ry)
    rows = ["file,fwhm,deconvoluted_fwhm,area_weighted_length"]
    for path in a.scans:
        x, y = np.loadtxt(path, unpack=True)
        if len(x) != len(rx):
            sys.exit(f"{path}: {len(x)} points, the reference {len(rx)}")
        w, d, size = stokes(x, above_background(y), reference, a.wavelength)
        rows.append(f"{path},{w:.4f},{d:.4f},{size:.1f}")
    elapsed = time.perf_counter() - start
    text = "\n".join(rows) + "\n"
    if a.output == "-":
        sys.stdout.write(text)
    else:
        with open(a.output, "w") as f:
            f.write(text)
    print(f"{len(a.scans)} files in {elapsed:.2f} s: {len(a.scans) / elapsed:.1f} files/s", file=sys.stderr)


if __name__ == "__main__":
    main()
