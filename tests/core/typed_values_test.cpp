#include <gtest/gtest.h>

#include <utility>

#include "core/error_message.h"
#include "core/fund_type_3.h"
#include "core/io_funda_3.h"
#include "core/keep_sorted_3.h"
#include "core/path_and_name_3.h"
#include "io/string_in.h"
#include "io/string_out.h"
#include "stand_in_templates.h"

namespace {

using stand_in::kind;

class TypedValues : public ::testing::Test, public stand_in::value_tree {};

// The messages a person sees when a typed entry is refused; the value stays.
TEST_F(TypedValues, LimitsAndSwitchesRefuseWithTheFieldsMessageAndKeepTheValue) {
  limited("width", "line width", 0.0, 10.0);
  stand_in::tem* flag = field("flag", kind::int_value);
  flag->field_desc().bits |= field_bits::switch_ | field_bits::int_ | field_bits::name;
  flag->field_desc().name.assign("use tails");
  assoc_class* w = make("width");
  assoc_class* f = make("flag");
  w->set_double(5.0);
  const struct {
    assoc_class* v;
    const char* text;
    double kept;
    const char* message;  // null: accepted
  } rows[] = {{w, "-1", 5, "Value for line width must be greater than 0.0000"},
              {w, "10.5", 5, "Value for line width must be less than 10.0000"},
              {w, "0", 0, nullptr},  // limits are inclusive
              {w, "10", 10, nullptr},
              {f, "1", 1, nullptr},
              {f, "0", 0, nullptr},
              {f, "2", 0, "Value for use tails must be either 0 or 1"}};
  for (const auto& r : rows) {
    shown.messages.clear();
    EXPECT_EQ(r.v->set_text_with_limits(r.text), r.message ? 3 : 0) << r.text;
    EXPECT_EQ(r.v->get_double(), r.kept) << r.text;
    if (!r.message) {
      EXPECT_TRUE(shown.messages.empty()) << r.text;
      continue;
    }
    ASSERT_EQ(shown.messages.size(), 1u) << r.text;
    EXPECT_EQ(shown.messages[0].text, r.message) << r.text;
    EXPECT_TRUE(global_error_message().is_empty()) << "show_error empties the message";
  }
}

TEST_F(TypedValues, IntFromDoubleTruncatesTowardZeroWithoutOverflow) {
  field("count", kind::int_value);
  assoc_class* v = make("count");
  const std::pair<double, int> rows[] = {{2.9, 2}, {-2.9, -2}, {1e12, 2147483647}, {-1e12, -2147483647 - 1}};
  for (auto [in, expected] : rows) {
    v->set_double(in);
    EXPECT_EQ(v->get_int(), expected) << in;
  }
}

TEST_F(TypedValues, DoublesAreWrittenSoThatTheyReadBackExactlyAndShownWithFourDecimals) {
  field("x", kind::double_value);
  assoc_class* v = make("x");
  const struct {
    const char* what;
    double x;
    const char* written;
  } rows[] = {{"four decimals where they are exact", 0.1, "0.1000"},
              {"a value below the fourth decimal keeps its digits", 4e-7, "4e-07"},
              {"a tail coefficient of 1e-9 does not become zero", -1e-9, "-1e-09"},
              {"a third keeps the sixteen digits that tell it apart", 1.0 / 3, "0.3333333333333333"}};
  for (const auto& r : rows) {
    v->set_double(r.x);
    string_out out;
    v->write_value(out);
    EXPECT_STREQ(out.text(), r.written) << r.what;
    string_in in(out.text());
    v->read_value(in);
    EXPECT_EQ(v->get_double(), r.x) << r.what << ": read back";
  }
  v->set_double(0.1);
  EXPECT_STREQ(v->get_text(), "0.1000");
  stand_in::tem* f = field("angle", kind::double_value);
  f->field_desc().bits |= field_bits::fmt;
  f->field_desc().fmt.assign("%.2f");
  assoc_class* angle = make("angle");
  angle->set_double(3.14159);
  my_string text;
  EXPECT_STREQ(angle->format_value(text).c_str(), "3.14") << "the template's format is used for showing";
}

TEST_F(TypedValues, DefaultIsAppliedOnFirstUseAndRunsTheChangeScriptOnce) {
  stand_in::tem* f = field("points", kind::int_value);
  f->field_desc().bits |= field_bits::def | field_bits::on_change;
  f->field_desc().def.assign("5");
  f->field_desc().on_change.assign("log changed");
  assoc_class* v = make("points");
  EXPECT_EQ(v->get_int(), 5);
  EXPECT_EQ(v->get_int(), 5);
  EXPECT_EQ(h.log, (std::vector<std::string>{"changed@points"}));
  v->set_text("7");
  EXPECT_EQ(h.log.size(), 2u);
  assoc_class* other = make("points");
  other->assign_value(*v);
  EXPECT_EQ(other->get_int(), 7);
  EXPECT_EQ(h.log.size(), 3u) << "assign_value runs no change hook beyond the default's";
}

TEST_F(TypedValues, TextValuesUseTheEmptyToken) {
  field("label", kind::text_value);
  assoc_class* v = make("label");
  string_out out;
  v->write_value(out);
  EXPECT_STREQ(out.text(), "~");
  string_in in("~ ~x");
  v->read_value(in);
  EXPECT_STREQ(v->get_text(), "");
  v->read_value(in);
  EXPECT_STREQ(v->get_text(), "~x");
}

TEST_F(TypedValues, PathsKeepTheirCaseAndAChangedExtensionReplacesTheOneThatIsRead) {
  field("pBath", kind::path_value);
  auto* p = dynamic_cast<path_and_name_3*>(make("pBath"));
  ASSERT_NE(p, nullptr);
  const struct {
    const char* path;
    const char* extension;  // as read before the change
    const char* title;      // after the change
    const char* changed;    // with "prj" in its place
  } rows[] = {{"/Data/Run 2/Scan.CPI", "CPI", "Scan.prj", "/Data/Run 2/Scan.prj"},
              {"/d/run.2024.xdd", "xdd", "run.2024.prj", "/d/run.2024.prj"},
              {"/d/v1.2/scan", "", "scan.prj", "/d/v1.2/scan.prj"},
              {"/d/v1.2/a.b.c.CPI", "CPI", "a.b.c.prj", "/d/v1.2/a.b.c.prj"}};
  for (const auto& c : rows) {
    p->set_text(c.path);
    my_string ext;
    EXPECT_STREQ(p->extension(ext).c_str(), c.extension) << c.path;
    p->change_extension("prj");
    EXPECT_STREQ(p->path(), c.changed) << c.path;
    EXPECT_STREQ(p->title().c_str(), c.title) << c.path;
    EXPECT_STREQ(p->extension(ext).c_str(), "prj") << c.path;
  }
}

TEST_F(TypedValues, ReferencesAreSkippedByProjectsAndResetWhenTheTargetDies) {
  field("ref", kind::ref_value);
  field("plain", kind::plain);
  assoc_class* r = make("ref");
  assoc_class* target = make("plain");
  r->set_object(target);
  EXPECT_EQ(r->get_object(), target);
  string_out out;
  r->write_for_project(out);
  EXPECT_STREQ(out.text(), "");
  string_in in("9");
  r->read_for_project(in);
  EXPECT_EQ(r->get_object(), target);
  root.delete_child(target);
  EXPECT_EQ(r->get_object(), nullptr) << "a reference value must not dangle";
}

TEST_F(TypedValues, CopyFromCopiesTheValueAndTheChildren) {
  field("n", kind::int_value);
  assoc_class* a = make("n");
  a->set_int(4);
  a->create_child_by_name("n")->set_int(9);
  assoc_class* b = make("n");
  b->copy_from(*a);
  EXPECT_EQ(b->get_int(), 4);
  ASSERT_EQ(b->child_count(), 1);
  EXPECT_EQ(b->child(0)->get_int(), 9);
  EXPECT_TRUE(a->equals(*b));
}

TEST_F(TypedValues, KeepSortedPutsANewChildBeforeItsEquals) {
  field("n", kind::int_value);
  keep_sorted_3 list;
  list.set_tem(root_tem);
  list.set_live();
  std::vector<assoc_class*> made;
  for (int v : {5, 1, 3, 3, 9, 0}) {
    auto value = std::make_unique<fund_type_3>();
    value->set_tem(scope->records()->find_child("n"));
    value->set_int(v);
    made.push_back(list.add_child(std::move(value)));
  }
  std::vector<int> order;
  for (int i = 0; i < list.child_count(); ++i) order.push_back(list.child(i)->get_int());
  EXPECT_EQ(order, (std::vector<int>{0, 1, 3, 3, 5, 9}));
  EXPECT_EQ(list.child(2), made[3]) << "the later 3 goes before the earlier one";
}

TEST_F(TypedValues, InputPositionOrdersRecordsAsRead) {
  field("n", kind::int_value);
  string_in in("  30   10");
  io_funda_3 first;
  io_funda_3 second;
  first.set_tem(scope->records()->find_child("n"));
  second.set_tem(first.tem());
  first.read_value(in);
  second.read_value(in);
  EXPECT_EQ(first.input_position(), 2);
  EXPECT_TRUE(first.less_than(second)) << "ordered by position, not by value";
}

}  // namespace
