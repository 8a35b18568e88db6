#include <gtest/gtest.h>

#include <string>

#include "app/dialogs/B_dlg_3.h"

namespace {

using platform_types::control;
using platform_types::control_kind;

// Where a control of a dialog stands and what it shows, as a person sees it.
struct expected_control {
  const char* what;
  int dialog;
  int id;
  control_kind kind;
  int x, y, width, height;
  std::string text;
  bool read_only;
  bool vertical_scroll;
};

const control* find_control(const platform_types::dialog_resource& r, const expected_control& e) {
  for (const control& c : r.controls)
    if (c.id == e.id && c.kind == e.kind && c.text == e.text) return &c;
  return nullptr;
}

TEST(DialogResources, EveryDialogShowsItsControlsWhereTheyWereDrawnWithTheirTexts) {
  const expected_control rows[] = {
      {"the options list scrolls", 4148, 4149, control_kind::list_box, 5, 5, 52, 50, "", false, true},
      {"the temporary output can be typed in", 4232, 4233, control_kind::multiline_edit, 5, 5, 109, 64, "", false,
       true},
      {"the help text can be read but not changed", 4237, 4238, control_kind::multiline_edit, 5, 4, 129, 77, "", true,
       true},
      {"the axes dialog's first limit stands top left", 4240, 4244, control_kind::edit, 23, 4, 43, 13, "", false,
       false},
      {"the axes dialog's last limit stands bottom right", 4240, 4247, control_kind::edit, 89, 21, 43, 13, "", false,
       false},
      {"the axes dialog names x1 beside its box", 4240, 0, control_kind::label, 6, 6, 16, 8, "x1 = ", false, false},
      {"the axes dialog names y2 beside its box", 4240, 0, control_kind::label, 72, 23, 16, 8, "y2 = ", false, false},
  };
  for (const auto& e : rows) {
    const platform_types::dialog_resource* r = dialog_resource_of(e.dialog);
    ASSERT_NE(r, nullptr) << e.what;
    const control* c = find_control(*r, e);
    ASSERT_NE(c, nullptr) << e.what;
    EXPECT_EQ(c->x, e.x) << e.what;
    EXPECT_EQ(c->y, e.y) << e.what;
    EXPECT_EQ(c->width, e.width) << e.what;
    EXPECT_EQ(c->height, e.height) << e.what;
    EXPECT_EQ(c->read_only, e.read_only) << e.what;
    EXPECT_EQ(c->vertical_scroll, e.vertical_scroll) << e.what;
    EXPECT_FALSE(c->border || c->horizontal_scroll || c->multiple_selection) << e.what;
  }
}

}  // namespace
