#include <gtest/gtest.h>

#include <string>

#include "core/paths.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/tem_funda_3.h"
#include "io/file_in.h"
#include "loaded_templates.h"

namespace {

tem_node_3* top(const char* name) { return template_tree().top_level(name); }

std::string shape(assoc_class* n) {
  std::string s = n->class_name();
  if (n->child_count() == 0) return s;
  s += "(";
  for (int i = 0; i < n->child_count(); ++i) {
    if (i) s += ' ';
    s += shape(n->child(i));
  }
  return s + ")";
}

TEST(TemplateIndentation, LevelsFollowBlanksAndTabs) {
  const struct {
    const char* what;
    const char* text;
    const char* shape;
  } rows[] = {
      {"a tab is one level", "{first ;\n   kid_one ;\n\tkid_two ;\nsecond ;\n}\nend_templates\n",
       "all_templates(first(kid_one kid_two) second)"},
      {"two extra levels make a sibling, not a grandchild", "{a ;\n      b ;\n   c ;\n}\n", "all_templates(a b(c))"},
      {"deeper levels climb back up past blank and comment lines",
       "{#t ;\n   a ;\n      b ;\n         c ;\n   d ;\n\n   ' a comment line inside the block\n   e ;\n}\n"
       "{#u ;\n}\n",
       "all_templates(#t(a(b(c)) d e) #u)"},
  };
  for (const auto& r : rows) {
    loaded_templates t(std::string("start_templates\n") + r.text);
    EXPECT_EQ(shape(&template_tree()), r.shape) << r.what;
  }
  EXPECT_EQ(static_cast<tem_node_3*>(top("#t")->records()->find_child("c"))->depth(), 3);
}

TEST(TemplateReferences, AreReplacedByCopiesOfTheTemplatesChildren) {
  loaded_templates t(
      "start_templates\n"
      "{plot ;\n"
      "   Apen _int _default 2 ;\n"
      "   brush ;\n"
      "      colour ;\n"
      "}\n"
      "{#v ;\n"
      "   view ;\n"
      "      plot ;\n"
      "      axis ;\n"
      "}\n"
      "{loop ;\n"
      "   inner ;\n"
      "      loop ;\n"
      "}\n");
  EXPECT_EQ(shape(top("#v")), "#v(view(axis pen brush(colour)))");
  auto* pen = dynamic_cast<tem_funda_3*>(top("#v")->records()->find_child("pen"));
  ASSERT_NE(pen, nullptr) << "copies keep their kind";
  EXPECT_STREQ(pen->field_.def.c_str(), "2");
  EXPECT_NE(top("loop"), nullptr) << "a template that refers to itself stops expanding";
}

TEST(NameScopes, TemPlateNodesLookUpInTheNamedTemplate) {
  loaded_templates t(
      "start_templates\n"
      "{#app ;\n"
      "   app _tem_plate #app ;\n"
      "      xdds ;\n"
      "         xdd _tem_plate #xdd ;\n"
      "}\n"
      "{#xdd ;\n"
      "   Bopts ;\n"
      "}\n"
      "{#not_in_tem ;\n"
      "   pRath ;\n"
      "}\n");
  auto* app = static_cast<tem_node_3*>(top("#app")->find_child("app"));
  EXPECT_EQ(app->records(), top("#app")->records());
  auto* xdd = static_cast<tem_node_3*>(top("#app")->records()->find_child("xdd"));
  EXPECT_EQ(xdd->records(), top("#xdd")->records());
  EXPECT_EQ(template_tree().not_in_tem(), top("#not_in_tem")->records());
  EXPECT_STREQ(template_tree().child(0)->class_name(), "#app") << "top-level templates are sorted";
}

TEST(Attributes, ReadTheirArgumentsAndSetTheirMarksUpToTheSemicolonOverLines) {
  loaded_templates t(
      "start_templates\n"
      "{#t ;\n"
      "   Aline_width _int _min 0 _max 10 ; _switch _name ignored\n"
      "   long_one _not_to_copy\n"
      "       _not_for_proj ;\n"
      "   Clist _alias a1 _alias a2 _creator xdd _char* ;\n"
      "   Aw _double _name Line|width _fmt %-1.2f _on_change k|x _on_take_data_4 e|^ ;\n"
      "   node _on_creation { x   y } _on_execution {v} _on_get_a {K} _array _not_to_be_deleted ;\n"
      "   Bentry _tem_plate #t _int ;\n"
      "}\n");
  auto* list = dynamic_cast<tem_multiple_names_3*>(top("#t")->find_child("list"));
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(list->aliases.c_str(), "a1 a2");
  EXPECT_TRUE(list->matches("a2"));
  EXPECT_FALSE(list->matches("a"));
  EXPECT_STREQ(list->creation_name("list"), "xdd");
  auto* w = dynamic_cast<tem_funda_3*>(top("#t")->find_child("w"));
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(w->field_.name.c_str(), "Line width");
  EXPECT_STREQ(w->field_.fmt.c_str(), "%-1.2f");
  EXPECT_STREQ(w->field_.on_change.c_str(), "k x");
  EXPECT_STREQ(w->field_.take_data.c_str(), "e ^");
  auto* node = static_cast<tem_node_3*>(top("#t")->find_child("node"));
  EXPECT_STREQ(node->creation_action.c_str(), "x y");
  EXPECT_STREQ(node->execution_action.c_str(), "v");
  EXPECT_STREQ(node->get_action.c_str(), "K");
  EXPECT_EQ(node->attributes(), tem_bits::on_creation | tem_bits::on_execution | tem_bits::on_get_a |
                                    tem_bits::array | tem_bits::not_to_be_deleted);
  auto* entry = dynamic_cast<inp_tem_rec_3*>(top("#t")->find_child("entry"));
  ASSERT_NE(entry, nullptr) << "B makes a report-editor node";
  EXPECT_STREQ(entry->template_name.c_str(), "#t");
  auto* width = dynamic_cast<tem_funda_3*>(top("#t")->find_child("line_width"));
  ASSERT_NE(width, nullptr) << "the prefix letter A makes a typed-field node and is not part of the name";
  const field_description& f = width->field_;
  EXPECT_TRUE(f.has(field_bits::int_ | field_bits::min | field_bits::max));
  EXPECT_FALSE(f.has(field_bits::switch_) || f.has(field_bits::name)) << "words after ';' are a comment";
  EXPECT_DOUBLE_EQ(f.max, 10.0);
  assoc_class* long_one = top("#t")->find_child("long_one");
  ASSERT_NE(long_one, nullptr);
  EXPECT_EQ(long_one->as_template()->attributes(), tem_bits::not_to_copy | tem_bits::not_for_proj);
}

TEST(OutsideRecords, ValueIsTheFirstChildsText) {
  const struct {
    const char* what;
    const char* text;
    const char* expected;  // null: no value
  } rows[] = {{"a bare word keeps its trailing blank", "{\"def_prj_ext\" {PRJ }}", "PRJ "},
              {"quoted text is exact", "{\"def_prj_ext\" {\"PRJ\"}}", "PRJ"},
              {"a word against the brace", "{\"def_prj_ext\" {PRJ}}", "PRJ"},
              {"several words are joined by one blank", "{\"def_prj_ext\" {a   b}}", "a b"},
              {"a record without value", "{\"def_prj_ext\"}", nullptr},
              {"a missing record", "{\"other\" {\"x\"}}", nullptr}};
  for (const auto& r : rows) {
    loaded_templates t("", std::string("start_out_side_recs { ") + r.text + " }");
    const char* v = outside_value("def_prj_ext");
    EXPECT_EQ(v ? std::string(v) : "(none)", r.expected ? r.expected : "(none)") << r.what;
  }
}

TEST(OutsideRecords, QueriesWalkNestedAndSortedRecords) {
  loaded_templates t("",
                     "start_out_side_recs {\n"
                     "  {\"win_misc\"\n"
                     "     {^\"commands\" {\"4248\" {\"e dAo\"}} {\"3153\" {\"v\"}}}\n"
                     "     {%\"exts_load\" {\"xdd\" {\"load_xdd\"}}}\n"
                     "     ' a comment between records\n"
                     "     {\"root_directory\" {\"/usr/share/doc\"}}\n"
                     "  }\n"
                     "}");
  EXPECT_STREQ(query_value("win_misc c commands c 3153"), "v");
  EXPECT_STREQ(query_value("win_misc c commands c 4248"), "e dAo");
  EXPECT_STREQ(query_value("win_misc c exts_load c xdd"), "load_xdd");
  EXPECT_STREQ(query_value("win_misc c root_directory"), "/usr/share/doc");
  EXPECT_EQ(query_value("win_misc c nothing"), nullptr);
}

TEST(TemplateFile, TheBundledFileLoadsAndAppBindsUnderALiveTop) {
  install_template_side();
  file_in in(XRDF_SOURCE_DIR "/resources/xrdfourier.tpl", true);
  ASSERT_TRUE(in.is_open());
  replace_templates(in);
  file_in again(XRDF_SOURCE_DIR "/resources/xrdfourier.tpl", true);
  replace_outside_records(again);
  EXPECT_STREQ(outside_value("app_name"), "XRD Fourier Workbench");
  EXPECT_NE(query_object("win_misc c commands"), nullptr);
  EXPECT_NE(query_object("win_misc c enablers"), nullptr);
  ASSERT_NE(top("#not_in_tem"), nullptr);

  struct app_node : assoc_class {
    const char* class_name() const override { return "app"; }
  };
  top_3 root;
  assoc_class* app = root.add_child(std::make_unique<app_node>());
  EXPECT_EQ(app->tem(), top("#app")->find_child("app"));
  EXPECT_EQ(find_parent_of(*app, "xdds"), app);
  assoc_class* path = app->create_child_by_name("pRath_name");
  ASSERT_NE(path, nullptr) << "free-standing names find their template in #not_in_tem";
  EXPECT_STREQ(path->class_name(), "pRath_name");
}

}  // namespace
