#include <gtest/gtest.h>

#include <string>

#include "core/error_message.h"
#include "core/fund_type_3.h"
#include "core/text_helpers.h"
#include "io/string_in.h"
#include "stand_in_templates.h"

namespace {

using stand_in::kind;

// A double "width" (0 to 10, named "line width") at 5 and an int "count"
// without limits or name at 7, as a person types into them.
class TypedText : public ::testing::Test, public stand_in::value_tree {
 protected:
  TypedText() {
    limited("width", "line width", 0.0, 10.0);
    field("count", kind::int_value);
    width = make("width");
    count = make("count");
    width->set_double(5.0);
    count->set_int(7);
  }
  ~TypedText() override { set_data_limits_rule(nullptr); }

  assoc_class* width = nullptr;
  assoc_class* count = nullptr;
};

TEST_F(TypedText, ATextIsTakenOnlyWhenItIsWhollyANumberInTheFieldsTypeElseRefusedAndTheValueStays) {
  const struct {
    const char* what;
    bool in_count;
    const char* text;
    double stored;
    const char* message;  // null: taken
  } rows[] = {
      {"letters", false, "abc", 5, "line width: \"abc\" is not a number"},
      {"a number followed by letters", false, "12abc", 5, "line width: \"12abc\" is not a number"},
      {"nothing", false, "", 5, "line width: \"\" is not a number"},
      {"blanks only", false, "  ", 5, "line width: \"  \" is not a number"},
      {"not a number", false, "nan", 5, "line width: \"nan\" is not a number"},
      {"an infinity", false, "inf", 5, "line width: \"inf\" is not a number"},
      {"beyond a double", false, "1e400", 5, "line width: \"1e400\" is not a number"},
      {"two signs", false, "+-1", 5, "line width: \"+-1\" is not a number"},
      {"a hexadecimal number", false, "0x5", 5, "line width: \"0x5\" is not a number"},
      {"a decimal comma", false, "2,5", 5, "line width: \"2,5\" is not a number"},
      {"a fraction for a whole number", true, "12.5", 7, "count: \"12.5\" is not a whole number"},
      {"letters for a whole number", true, "12abc", 7, "count: \"12abc\" is not a number"},
      {"a whole number beyond int", true, "3e9", 7, "Value for count must be less than 2147483647.0000"},
      {"blanks around a number are taken", false, "  2.5 \t", 2.5, nullptr},
      {"a leading plus is taken", false, "+3", 3.0, nullptr},
      {"an exponent is taken", false, "2.5e-1", 0.25, nullptr},
      {"no digit before the point is taken", false, ".5", 0.5, nullptr},
      {"a negative whole number is taken", true, "-12", -12.0, nullptr},
      {"a whole number with a point is taken", true, "4.0", 4.0, nullptr},
      {"a whole number with an exponent is taken", true, "1e3", 1000.0, nullptr},
  };
  for (const auto& r : rows) {
    shown.messages.clear();
    assoc_class* field = r.in_count ? count : width;
    EXPECT_EQ(field->set_text_with_limits(r.text), r.message ? 3 : 0) << r.what;
    EXPECT_EQ(field->get_double(), r.stored) << r.what;
    ASSERT_EQ(shown.messages.size(), r.message ? 1u : 0u) << r.what;
    if (r.message) {
      EXPECT_EQ(shown.messages[0].text, r.message) << r.what;
    }
  }
}

TEST_F(TypedText, LimitsOfTheDataAreCheckedAfterTheTemplatesButTheDefaultAlwaysPasses) {
  // As the chain's options do: "-999" (not set) is the default, the data
  // allow 20 to 30.
  stand_in::tem* o = field("origin", kind::double_value);
  o->field_desc().bits |= field_bits::def | field_bits::name;
  o->field_desc().def.assign("-999");
  o->field_desc().name.assign("Origin");
  assoc_class* origin = make("origin");
  set_data_limits_rule([](fund_type_3& v, double& lo, double& hi, bool) {
    lo = 20.0;
    hi = 30.0;
    return std::string(v.display_name()) == "origin";
  });
  const struct {
    const char* text;
    double kept;
    const char* message;
  } rows[] = {{"25", 25, nullptr},
              {"1e300", 25, "Value for Origin must be less than 30.0000"},
              {"19.99", 25, "Value for Origin must be greater than 20.0000"},
              {"-999", -999, nullptr},
              {"30", 30, nullptr}};
  for (const auto& r : rows) {
    shown.messages.clear();
    EXPECT_EQ(origin->set_text_with_limits(r.text), r.message ? 3 : 0) << r.text;
    EXPECT_EQ(origin->get_double(), r.kept) << r.text;
    if (r.message) {
      ASSERT_EQ(shown.messages.size(), 1u) << r.text;
      EXPECT_EQ(shown.messages[0].text, r.message);
    }
  }
  EXPECT_EQ(width->set_text_with_limits("1e300"), 3) << "the template's own limits still hold elsewhere";
}

TEST_F(TypedText, AProjectValueThatIsRefusedKeepsTheOldValueAndLeavesItsReasonForTheReader) {
  const struct {
    const char* what;
    assoc_class* field;
    const char* record_value;
    double after;
    const char* reason;  // null: read
  } rows[] = {{"a number", width, "2.5", 2.5, nullptr},
              {"a number with a carriage return", width, "3.5\r", 3.5, nullptr},
              {"letters", width, "abc", 3.5, "line width: \"abc\" is not a number"},
              {"a number followed by letters", count, "12abc", 7, "count: \"12abc\" is not a number"},
              {"beyond the limits", width, "1e308", 3.5, "Value for line width must be less than 10.0000"},
              {"not a number", width, "nan", 3.5, "line width: \"nan\" is not a number"}};
  for (const auto& r : rows) {
    string_in in(r.record_value);
    EXPECT_EQ(r.field->read_for_project(in), r.reason == nullptr) << r.what;
    EXPECT_EQ(r.field->get_double(), r.after) << r.what;
    EXPECT_STREQ(global_error_message().c_str(), r.reason ? r.reason : "") << r.what;
    global_error_message().assign("");
    EXPECT_TRUE(shown.messages.empty()) << "the reader says it, naming its file: " << r.what;
  }
}

TEST(NumberText, AHugeNumberIsWrittenShortAndReadsBackTheSame) {
  for (const double x : {1e308, -3.5e200, 1e15}) {
    const std::string text = exact_number_text(x);
    EXPECT_LT(text.size(), 25u) << text;
    EXPECT_EQ(whole_number(text.c_str()), x) << text;
  }
  EXPECT_EQ(exact_number_text(2.5), "2.5000") << "ordinary values keep their fixed decimals";
}

}  // namespace
