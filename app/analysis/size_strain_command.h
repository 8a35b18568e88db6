#pragma once

class TDrawView;

// The graph view's "Size and strain" command: the files of the view that have
// a reference profile (one, or two orders of one reflection, in the view's
// order) are analysed, and the results open in a new text document; the
// summary lines go to the history as well. What cannot be analysed is said
// in a message.
void show_size_strain(TDrawView& view);

// The graph view's "Automatic frequency limit" command: every file of the view
// with a reference has its frequency limit (fBft_f2_lim) set to the last
// frequency before its quotient's signal falls to three times its noise.
void set_automatic_limits(TDrawView& view);
