#pragma once

class TDrawView;

// One limit edit of the axes dialog: index 0 is x1 (control 4244), 1 is x2
// (4246), 2 is y1 (4245) and 3 is y2 (4247).
class edit_an_axie_3 {
 public:
  static constexpr int control_ids[4] = {4244, 4246, 4245, 4247};

  explicit edit_an_axie_3(int index) : index_(index) {}
  int index() const { return index_; }
  int control() const { return control_ids[index_]; }
  // The edit of a control id, or -1.
  static int index_of_control(int control);

  // Enter in the edit: the text, read as a number, becomes the view's limit.
  // Typing a y limit frees it from the data; limits given the wrong way
  // round are swapped. A text that is not wholly a number is refused, said,
  // and changes nothing (false).
  bool apply(TDrawView& view, const char* text) const;

 private:
  int index_;
};
