#pragma once

// The radix-2 transforms, on raw float arrays.
//
// The textbook algorithms (Numerical Recipes' four1 and realft) index their
// arrays from 1; here their element k is a[k - 1]. The arithmetic is theirs,
// operation for operation: float array elements, twiddle factors in double
// advanced by the textbook recurrence, and in each butterfly
//     float tr = wr * a[j] - wi * a[j+1];   float ti = wr * a[j+1] + wi * a[j];
//     a[j] = a[i] - tr;  a[j+1] = a[i+1] - ti;  a[i] += tr;  a[i+1] += ti;
// (products and differences of the twiddle terms in double, rounded to float
// when stored in tr and ti; the updates of the array in float). Only the order
// in which the independent butterflies of a pass run, the memory layout used
// between the passes and the use of vector instructions differ from the
// literal loops; the twiddles come from tables filled by the same recurrence,
// so the results are the same floats, bit for bit (tests/numerics check this
// against a literal transcription).
namespace fft_kernel {

// Complex transform of nn complex points (nn a power of two, >= 1) held
// interleaved (re, im) in a[0 .. 2nn-1]; isign +1 forward, -1 backward.
void complex_transform(float* a, int nn, int isign);

// Real transform of n real points (n a power of two, >= 2) in a[0 .. n-1].
// Forward (isign +1): packed result, a[0] = F(0), a[1] = F(n/2) (both real),
// a[2j], a[2j+1] = re, im of F(j) for j = 1 .. n/2-1, with
// F(j) = sum_t y(t) exp(+2 pi i j t / n). Backward (isign -1) takes that
// layout and returns n/2 times the samples (no scaling).
void real_transform(float* a, int n, int isign);

// The forward real transform of the n floats in[0 .. count-1] followed by
// n - count zeros (count <= n reads the input only), with the packed result
// split into two arrays of n/2 floats: re[j], im[j] = re, im of F(j), except
// im[0] = F(n/2). The same floats as real_transform on the padded array.
void real_forward(const float* in, int count, int n, float* re, float* im);

// The backward real transform of the spectrum laid out as real_forward
// leaves it, of which the first `kept` frequencies (0 .. n/2) are used and
// the others taken as 0, with every result multiplied by scale (in double,
// rounded to float) into out[0 .. n-1]. The same floats as packing those
// frequencies, real_transform backward and scaling.
void real_backward(const float* re, const float* im, int kept, int n, double scale, float* out);

// Which implementation runs. All give the same floats; `portable` is plain
// C++, `avx2` and `avx512` use those vector instructions (chosen at run time,
// where the processor has them).
enum class path { automatic, portable, avx2, avx512 };
// Chooses the implementation (tests and benchmarks); `automatic` picks the
// widest the processor supports. A request the processor cannot serve falls
// back to the next narrower one.
void set_path(path p);
// The implementation that runs now (never `automatic`).
path active_path();
// "portable", "avx2" or "avx512" ("automatic" for the request itself).
const char* path_name(path p);
bool avx2_supported();
bool avx512_supported();

}  // namespace fft_kernel
