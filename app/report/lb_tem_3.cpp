#include "app/report/lb_tem_3.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

std::string blanks_for_bars(std::string s) {
  std::replace(s.begin(), s.end(), '|', ' ');
  return s;
}

}  // namespace

lb_tem_3::lb_tem_3(const std::string& name, const std::string& words) : name_(name), title_(name), code_(name) {
  std::istringstream in(words);
  std::string w;
  while (in >> w) {
    if (w == "_width") {
      std::string v;
      if (in >> v) {
        char* end = nullptr;
        const double x = std::strtod(v.c_str(), &end);
        if (end != v.c_str() && x > 0.0 && x < 1000.0) width_ = x;
      }
    } else if (w == "_with") {
      in >> with_;
    } else if (w == "_code") {
      in >> code_;
    } else if (w == "_title") {
      std::string t;
      if (in >> t) title_ = blanks_for_bars(t);
    } else if (w == "_vscroll") {
      flags |= vertical_scroll;
    } else if (w == "_hscroll") {
      flags |= horizontal_scroll;
    } else if (w == "_read_only") {
      flags |= read_only;
    } else if (w == "_on_lb_down") {
      std::string a, b;
      in >> a >> b;
      on_down_first.push_back(blanks_for_bars(a));
      on_down_second.push_back(blanks_for_bars(b));
    }
  }
}
