#include "app/text/font_3.h"

font_3::font_3(bool strike_out) {
  description_.face = "Courier New";
  description_.height = -12;
  description_.width = 7;
  description_.weight = 400;
  description_.strike_out = strike_out;
}
