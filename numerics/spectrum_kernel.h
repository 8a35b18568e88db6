#pragma once

// The per-frequency loops of the shift of origin and of the quotient, on raw
// arrays. Each element is computed with the operations, in the order and the
// precision, that the loops of fft_4::shift and fft_5::quotient state (float
// samples widened to double, double products and sums, one rounding to float
// where a result is stored); the vector paths do the same operations several
// elements at a time, so every path gives the same floats. The path is the one
// fft_kernel::active_path() names.
namespace spectrum_kernel {

// For j < m, with c = cos_a[j] and s = sin_a[j]:
//   sr[j] = re c - im s,  si[j] = im c + re s,
//   mod[j] = sqrt(sr^2 + si^2) of the stored floats.
void rotate(const float* re, const float* im, const double* cos_a, const double* sin_a, int m, float* sr, float* si,
            float* mod);

// For i < count, with q = u[i]^2 + v[i]^2: where q >= smallest,
//   qr[i] = (a u + b v) / q,  qi[i] = (b u - a v) / q  (a = a[i], b = b[i]),
// elsewhere both are `vanished`; qmod[i] = sqrt(qr^2 + qi^2) of the stored floats.
void divide(const float* a, const float* b, const double* u, const double* v, int count, double smallest,
            float vanished, float* qr, float* qi, float* qmod);

}  // namespace spectrum_kernel
