#pragma once

#include <string>
#include <vector>

class TDrawView;
class assoc_class;
class plot_surface;

// A line found in a pattern, as its view marks it: where it stands and
// what it is called.
struct line_mark {
  double two_theta = 0.0;  // degrees
  double counts = 0.0;     // the pattern's counts at its top
  std::string label;       // "110", or unindexed "44.673 deg"
};

// The background the analysis found under the pattern, point by point.
struct marked_background {
  std::vector<double> two_theta;  // degrees
  std::vector<double> counts;
};

// The marks a whole-pattern analysis leaves in the view of its file, with
// the background under its pattern. They belong to that file as it was
// analysed: once the view no longer shows it, or its counts or grid
// change, they are gone. Setting marks replaces the view's earlier ones.
void set_line_marks(TDrawView& view, assoc_class& file, std::vector<line_mark> marks,
                    marked_background background = {});
void clear_line_marks(TDrawView& view);
// The view's marks while they still belong to its file; none otherwise.
std::vector<line_mark> line_marks_of(TDrawView& view);
// The background marked with them; empty when none.
marked_background marked_background_of(TDrawView& view);

// Each mark as a short tick over its line's top with the label above it,
// and the background as a dashed curve in its file's colour, in the view's
// world units onto `s`.
void draw_line_marks(TDrawView& view, plot_surface& s);
