#include <gtest/gtest.h>

#include <string>

#include "core/fund_kp_sorted_3.h"
#include "core/io_funda_3.h"
#include "core/path_and_name_3.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/process_strs_fns_3.h"
#include "template/tem_funda_3.h"
#include "template/tem_node_3.h"
#include "loaded_templates.h"

namespace {

// A registered class for the 'P' directive and for names made through the
// registry; it exists only in these tests.
struct mem_like : assoc_class {
  const char* class_name() const override { return "mPem"; }
};
struct scan_like : assoc_class {
  const char* class_name() const override { return "scan"; }
};

class Directives : public ::testing::Test {
 protected:
  Directives()
      : t("start_templates\n"
          "{#app ;\n"
          "   app _tem_plate #app ;\n"
          "      mAanip ;\n"
          "      AtBime _double _min 0 _name Count|time _default 1.5 ;\n"
          "      AvCiew _int ;\n"
          "      AxDdd_path _char* ;\n"
          "      scan ;\n"
          "      Cpeak _alias summit _creator scan ;\n"
          "      lAist _array ;\n"
          "         AeBlem _int ;\n"
          "}\n"
          "{#not_in_tem ;\n"
          "   mNem ;\n"
          "   AcOunt _int ;\n"
          "   mPem ;\n"
          "   AqQueue _int ;\n"
          "   pRath_name ;\n"
          "}\n") {
    static creator_3<mem_like> mem("mPem");
    static creator_3<scan_like> scan("scan");
    register_creator(mem);
    register_creator(scan);
    app.set_tem(template_tree().top_level("#app")->find_child("app"));
    root.add_child(&app);
  }
  ~Directives() override { app.detach_from_parent(); }

  struct app_node : assoc_class {
    const char* class_name() const override { return "app"; }
  };

  loaded_templates t;
  top_3 root;
  app_node app;
};

template <class T>
bool is(assoc_class* n) {
  return dynamic_cast<T*>(n) != nullptr;
}

// Each letter chooses the class made; a name outside #app's scope finds its
// template in #not_in_tem.
TEST_F(Directives, EachLetterChoosesItsClassAndTemplate) {
  const struct {
    const char* name;
    bool (*made_as)(assoc_class*);
    bool from_not_in_tem;
  } rows[] = {{"mAanip", is<no_name_3>, false},      {"tBime", is<fund_type_3>, false},
              {"vCiew", is<fund_kp_sorted_3>, false}, {"xDdd_path", is<path_and_name_3>, false},
              {"mNem", is<no_name_3>, true},          {"cOunt", is<fund_type_3>, true},
              {"mPem", is<mem_like>, true},           {"qQueue", is<io_funda_3>, true},
              {"pRath_name", is<path_and_name_3>, true}};
  for (const auto& r : rows) {
    assoc_class* made = app.create_child_by_name(r.name);
    ASSERT_NE(made, nullptr) << r.name;
    EXPECT_EQ(made->parent(), &app) << r.name;
    EXPECT_TRUE(r.made_as(made)) << r.name;
    ASSERT_NE(made->tem(), nullptr) << r.name;
    EXPECT_STREQ(made->display_name(), r.name);
    assoc_class* home = template_tree().top_level(r.from_not_in_tem ? "#not_in_tem" : "#app");
    EXPECT_EQ(made->tem()->parent(), r.from_not_in_tem ? home : home->find_child("app")) << r.name;
  }
}

TEST_F(Directives, ATypedFieldCarriesItsTemplatesLimitsAndDefault) {
  shown_errors shown;
  assoc_class* time = app.create_child_by_name("tBime");
  EXPECT_DOUBLE_EQ(time->get_double(), 1.5);
  EXPECT_EQ(time->set_text_with_limits("-2"), 3);
  ASSERT_EQ(shown.messages().size(), 1u);
  EXPECT_EQ(shown.messages()[0].text, "Value for Count time must be greater than 0.0000");
}

TEST_F(Directives, LowerCaseSecondLetterGoesThroughTheRegistry) {
  assoc_class* scan = app.create_child_by_name("scan");
  ASSERT_NE(scan, nullptr);
  EXPECT_NE(dynamic_cast<scan_like*>(scan), nullptr);
  assoc_class* peak = app.create_child_by_name("peak");
  ASSERT_NE(peak, nullptr) << "a C node's _creator names the class to make";
  EXPECT_NE(dynamic_cast<scan_like*>(peak), nullptr);
  EXPECT_TRUE(peak->is_named("summit")) << "a live object answers to its template's aliases";
  EXPECT_EQ(app.create_child_by_name("unknown"), nullptr);
  EXPECT_EQ(app.create_child_by_name("x"), nullptr) << "a one-letter name has no second letter";
}

// These objects take their name from their template node. Made without one,
// an object answered to no name, so that every later asking for the name
// missed it and made another.
TEST_F(Directives, AnUndeclaredNameWithADirectiveLetterMakesNothing) {
  for (const char* name : {"nAope", "tBypo", "vCiews", "xDdd", "mNope", "cOunts", "qQueues", "pRath"}) {
    EXPECT_EQ(app.create_child_by_name(name), nullptr) << name;
    EXPECT_EQ(app.child_or_create(name), nullptr) << name;
  }
  EXPECT_EQ(app.child_count(), 0);
}

// The script that found it: loops over a list whose bodies asked for names
// nobody declared, each asking adding a nameless element for the loops
// around it to walk; it ran for hours.
TEST_F(Directives, LoopsAskingForUndeclaredNamesEndWithoutGrowingTheList) {
  shown_errors quiet;
  run_process_text(app,
                   "c bAost r lAist c nBveBlem c eBlem w lAist [eBlem w lAist [r lAist c eBr lAist c nBveBlem c eBlem "
                   "w lAist [r lAist c lem c eB l e^ ]");
  assoc_class* list = find_existing(app, "lAist");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->child_count(), 1);
  EXPECT_STREQ(list->child(0)->display_name(), "eBlem");
}

TEST(Registry, MakesDistinctObjectsByLowerCaseNameOnly) {
  install_template_side();
  std::unique_ptr<assoc_class> a = create_registered("tem_funda");
  std::unique_ptr<assoc_class> b = create_registered("tem_funda");
  ASSERT_NE(a, nullptr);
  EXPECT_NE(dynamic_cast<tem_funda_3*>(a.get()), nullptr);
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(create_registered("Tem_funda"), nullptr);
  EXPECT_EQ(create_registered("#app"), nullptr);
  EXPECT_EQ(create_registered(""), nullptr);
  EXPECT_NE(dynamic_cast<tem_multiple_names_3*>(create_registered("tem_multiple_names").get()), nullptr);
}

}  // namespace
