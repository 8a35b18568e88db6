#pragma once

class TDrawView;

// The graph view's whole-pattern commands.

// "Analyse Pattern": the view's file (with several, the one the user picks)
// is analysed against an instrument function the user chooses (a file the
// instrument command wrote, or a standard's pattern that is fitted here)
// and indexed with the lattice the user gives (none: unindexed). The text
// opens in a new document, the Williamson–Hall lines go to the history, the
// lines found are marked in the view with their hkl, and the
// Williamson–Hall figure opens in a window of its own. A refusal is said
// in a message naming the file and the cause; nothing is then changed.
void analyse_pattern_in_view(TDrawView& view);

// "Analyse this line": the view's x range of its file becomes a new data
// file, as a capture makes one, tied to a reference synthesised at the
// line's position from the instrument function last used for that file
// (asked for when there is none); the new file opens in a view with its
// deconvolution and in another with its A(L).
void analyse_line_in_view(TDrawView& view);

// "Clear Line Marks": the view's marks of the lines found go.
void clear_line_marks_in_view(TDrawView& view);
// "Subtract Pattern Background": a new file in memory, beside the view's
// file, holding its counts less the background under its lines, shown in
// a new view; the file itself stays as it was.
void subtract_pattern_background_in_view(TDrawView& view);
