#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One column of the report editor: what it shows and how. Read from a text
// of words:
//   _title WORD      the title ('|' stands for a blank)
//   _code WORD       the field the column shows and edits (default: its name)
//   _with WORD       the cell's node is found by this name from the row
//   _width NUMBER    width in characters (default 16)
//   _vscroll, _hscroll   scroll bars
//   _read_only       the column shows but does not take values
//   _on_lb_down W1 W2    two texts kept for a press in the column
// Other words are passed over.
class lb_tem_3 {
 public:
  static constexpr std::uint32_t created = 0x1;
  static constexpr std::uint32_t vertical_scroll = 0x2;
  static constexpr std::uint32_t horizontal_scroll = 0x4;
  static constexpr std::uint32_t hidden = 0x8;  // left out of the report
  static constexpr std::uint32_t read_only = 0x10;

  // A column named `name` (the field it shows unless _code says otherwise)
  // described by `words`.
  lb_tem_3(const std::string& name, const std::string& words);

  const std::string& name() const { return name_; }
  const std::string& title() const { return title_; }
  const std::string& with() const { return with_; }
  const std::string& code() const { return code_; }
  double width() const { return width_; }
  std::uint32_t flags = created;
  std::vector<std::string> on_down_first;
  std::vector<std::string> on_down_second;

 private:
  std::string name_;
  std::string title_;
  std::string with_;
  std::string code_;
  double width_ = 16.0;
};
