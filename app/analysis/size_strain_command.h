#pragma once

#include <string>

class TDrawView;
class plot_surface;
class xy_yobs_3;

// The graph view's "Size and strain" command: the files of the view that have
// a reference profile (one, or two orders of one reflection, in the view's
// order) are analysed, and the results open in a new text document; the
// summary lines go to the history as well. What cannot be analysed is said
// in a message.
void show_size_strain(TDrawView& view);

// With the view's coefficients family shown and two orders of one reflection
// among its files with a reference, the size part A^S(L) of their A(L),
// drawn dashed over them (in the view's world units, onto `s`).
void draw_size_coefficients(TDrawView& view, plot_surface& s);

// The graph view's "Automatic frequency limit" command: every file of the view
// with a reference has its frequency limit (fBft_f2_lim) set to the last
// frequency before its quotient's signal falls to three times its noise.
// Each limit set is written to the history, with its signal-to-noise.
void set_automatic_limits(TDrawView& view);
// That history line: "PATH: automatic frequency limit N (F cycles/deg,
// L = X A), signal-to-noise S", L only when the file has a wavelength.
std::string automatic_limit_line(const std::string& path, xy_yobs_3& sample, double snr);
