#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../core/stand_in_templates.h"
#include "core/error_message.h"
#include "core/fund_type_3.h"
#include "core/numeric_abort.h"
#include "io/string_in.h"
#include "loaded_templates.h"
#include "template/process_strs_fns_3.h"

namespace {

using stand_in::kind;
using stand_in::tem;

// A host whose scripts are process strings, so that creation, execution,
// change, get and deletion scripts all run through the interpreter. The
// script "throw" stands for a numerical stage abandoning its computation.
class interpreter_host : public stand_in::host {
 public:
  using stand_in::host::host;
  void run_script(assoc_class& node, const char* script, my_string* output) override {
    ran.push_back(std::string(script) + "@" + node.class_name());
    deepest = std::max(deepest, process_nesting_depth());
    if (std::string(script) == "throw") throw numeric_abort("gave up");
    run_process_text(node, script, output);
  }
  assoc_class* evaluate_object(assoc_class& node, const char* script) override {
    deepest = std::max(deepest, process_nesting_depth());
    return evaluate_process_text(node, script);
  }
  std::vector<std::string> ran;
  int deepest = 0;
};

int exits = 0;
void count_exit(int code) { exits += code; }

// The tree the scripts run over: each node's scripts mark where they ran
// ("c mark"), so that the tree after a run shows what ran.
class Interpreter : public ::testing::Test {
 protected:
  Interpreter() : h(t) {
    tem* scope = t.top("#i");
    tem* root_tem = t.node(scope, "root");
    t.open_scope(root_tem, scope);
    tem* box = t.node(root_tem, "box")->with_script(script_kind::execution, "c mark");
    t.node(box, "item")->with_script(script_kind::execution, "r box c mark");
    t.node(box, "gone")->with_script(script_kind::deletion, "H c mark ]");
    t.node(box, "wary")->with_script(script_kind::deletion, "N ^ v")->with_script(script_kind::execution, "c mark");
    t.node(t.node(root_tem, "lBist"), "eElem");
    t.node(root_tem, "mark");
    t.node(root_tem, "zap")->with_script(script_kind::execution, "t");
    t.node(root_tem, "bomb")->with_script(script_kind::execution, "throw");
    t.node(root_tem, "xSelf")->with_script(script_kind::execution, "v v");
    t.node(root_tem, "nVal", 0, kind::int_value);
    t.node(root_tem, "nCount", 0, kind::int_value);
    field_description& self = t.node(root_tem, "nSelf", 0, kind::int_value)->field_desc();
    self.bits |= field_bits::on_change;
    self.on_change.assign("k 1");
    t.node(root_tem, "tText", 0, kind::text_value)->with_script(script_kind::execution, "r box c mark");
    t.node(root_tem, "aRef", 0, kind::ref_value)->with_script(script_kind::execution, "K c mark");
    t.node(root_tem, "aLink", 0, kind::ref_value);
    t.node(root_tem, "gGet", 0, kind::ref_value)->with_script(script_kind::get, "r box");
    t.node(root_tem, "gLoop", 0, kind::ref_value)->with_script(script_kind::get, "K");
    root.set_tem(root_tem);
    root.set_live();
    set_exit_handler(count_exit);
    exits = 0;
  }
  ~Interpreter() override {
    set_exit_handler(nullptr);
    global_error_message().assign("");
  }

  // Builds children from the form dump() writes: "box(item) nVal=3".
  void build(const char* form) { build_from(root, form); }
  void clear() { root.delete_all_children(); }
  static void build_from(assoc_class& parent, const char*& p) {
    for (;;) {
      while (*p == ' ') ++p;
      if (!*p || *p == ')') return;
      std::string name, value;
      while (*p && !std::strchr(" ()=", *p)) name += *p++;
      if (*p == '=')
        for (++p; *p && !std::strchr(" ()", *p);) value += *p++;
      assoc_class* n = parent.create_child_by_name(name.c_str());
      if (!value.empty()) n->set_text(value.c_str());
      if (*p == '(') {
        build_from(*n, ++p);
        if (*p == ')') ++p;
      }
    }
  }

  static std::string dump(assoc_class& n) {
    std::string s = n.class_name();
    if (auto* v = dynamic_cast<fund_type_3*>(&n); v && !v->funs().is_reference()) s += std::string("=") + v->get_text();
    for (int i = 0; i < n.child_count(); ++i)
      s += (i ? " " : "(") + dump(*n.child(i)) + (i + 1 == n.child_count() ? ")" : "");
    return s;
  }

  int run(const char* text) { return run_process_text(root, text); }

  stand_in::templates t;
  interpreter_host h;
  no_name_3 root;
  shown_errors shown;
};

struct script_case {
  const char* name;
  const char* tree;
  const char* script;
  const char* expected;
};

class Commands : public Interpreter, public ::testing::WithParamInterface<script_case> {};

TEST_P(Commands, LeaveTheTreeAsExpected) {
  const script_case& c = GetParam();
  build(c.tree);
  run(c.script);
  EXPECT_EQ(dump(root), c.expected) << "script: " << c.script;
}

constexpr auto case_name = [](const auto& info) { return std::string(info.param.name); };

const script_case structure[] = {
    {"c_makes_a_child_only_once", "", "c box c box", "root(box)"},
    {"q_moves_into_what_it_creates_at_its_place", "", "q item c mark", "root(box(item(mark)))"},
    {"p_creates_at_place_and_stays", "", "p item c mark", "root(box(item) mark)"},
    {"g_creates_what_it_resolves", "", "g item", "root(box(item))"},
    {"t_deletes_the_current_object_and_leaves_none", "box(item)", "r item t c mark", "root(box)"},
    {"t_never_deletes_the_root", "box", "t c mark", "root(box)"},
    {"D_executes_before_deleting", "box(item)", "D item", "root(box(mark))"},
    {"a_keeps_only_the_current_among_its_siblings", "box(mark item mark item) nVal", "r item a",
     "root(box(item) nVal=0)"},
    {"b_deletes_only_what_exists", "box(item)", "b item b eElem", "root(box)"},
    {"M_moves_a_node_to_the_end_of_another", "box(item) lBist(eElem)", "M lBist item", "root(box lBist(eElem item))"},
    {"M_refuses_to_move_the_root", "box", "r box M ^ _", "root(box)"},
    {"o_copies_a_subtree", "box(item(mark)) lBist", "o lBist box", "root(box(item(mark)) lBist(item(mark)))"},
    {"E_deletes_the_linked_nodes_of_that_name", "box lBist aRef", "m aRef box r aRef E box E lBist",
     "root(lBist aRef)"},
    {"v_executes_the_current_object", "box", "r box v", "root(box(mark))"},
    {"e_executes_its_operand", "box(item)", "e item", "root(box(item mark))"},
    {"Q_executes_its_first_operand", "box(item)", "Q box item", "root(box(item mark))"},
};
INSTANTIATE_TEST_SUITE_P(Structure, Commands, ::testing::ValuesIn(structure), case_name);

const script_case values_and_navigation[] = {
    {"k_sets_the_current_objects_text", "tText", "r tText k hello", "root(tText=hello)"},
    {"j_sets_an_operands_text", "nVal", "j nVal 7", "root(nVal=7)"},
    {"C_counts_children", "box(item item mark) nVal", "C nVal box", "root(box(item item mark) nVal=3)"},
    {"n_assigns_one_value_to_another", "nVal=5 nCount", "n nCount nVal", "root(nVal=5 nCount=5)"},
    {"R_sets_then_executes", "box tText", "R tText hi", "root(box(mark) tText=hi)"},
    {"L_follows_a_reference_set_by_m", "box aRef", "m aRef box L aRef c mark", "root(box(mark) aRef)"},
    {"K_follows_the_current_objects_reference", "box aRef", "m aRef box r aRef K c mark", "root(box(mark) aRef)"},
    {"F_copies_a_reference", "box aRef aLink", "m aRef box F aLink aRef L aLink c mark", "root(box(mark) aRef aLink)"},
    {"L_takes_what_a_get_script_yields", "box gGet", "L gGet c mark", "root(box(mark) gGet)"},
    {"x_points_a_reference_at_current_and_executes_it", "box", "r box x aRef", "root(box(mark) aRef)"},
    {"l_sets_the_origin", "box nVal", "l box r nVal M _ ^", "root(box(nVal=0))"},
    {"h_makes_the_current_object_the_origin", "box nVal", "r box h r nVal M _ ^", "root(box(nVal=0))"},
    {"r_to_a_missing_object_keeps_the_current_one", "box", "r nothing c mark", "root(box mark)"},
};
INSTANTIATE_TEST_SUITE_P(ValuesAndNavigation, Commands, ::testing::ValuesIn(values_and_navigation), case_name);

const script_case conditionals[] = {
    {"G_stops_at_an_object_without_parent", "", "G ^ c mark", "root"},
    {"G_goes_on_for_a_child", "box", "r box G ^ c mark", "root(box(mark))"},
    {"N_goes_on_for_a_live_object", "box", "N box c mark", "root(box mark)"},
    {"N_stops_for_a_missing_object", "", "N nothing c mark", "root"},
    {"i_stops_when_the_object_is_missing", "", "i box c mark", "root"},
    {"i_goes_on_when_the_object_exists", "box", "i box c mark", "root(box mark)"},
    {"d_skips_the_bracket_for_a_childless_object", "box", "r box d ^ [ v ] c item", "root(box(item))"},
    {"d_runs_the_bracket_for_an_object_with_children", "box(item)", "r box d ^ [ v ] c item", "root(box(item mark))"},
    {"f_runs_the_bracket_when_the_value_matches", "box nVal=3", "f nVal 3 [ e box ]", "root(box(mark) nVal=3)"},
    {"f_skips_the_bracket_when_it_does_not", "box nVal=4", "f nVal 3 [ e box ]", "root(box nVal=4)"},
    {"f_skips_the_bracket_for_a_missing_object", "box", "f nothing 3 [ e box ] c mark", "root(box mark)"},
};
INSTANTIATE_TEST_SUITE_P(Conditionals, Commands, ::testing::ValuesIn(conditionals), case_name);

const script_case loops[] = {
    {"w_runs_the_body_on_each_child", "lBist(eElem eElem)", "w lBist [ c mark ]",
     "root(lBist(eElem(mark) eElem(mark)))"},
    {"w_body_has_the_elements_parent_as_origin", "lBist(eElem eElem)", "w lBist [ r _ c mark ]",
     "root(lBist(eElem eElem mark))"},
    {"w_runs_only_over_the_children_it_started_with", "lBist(eElem eElem)", "w lBist [ p eElem ]",
     "root(lBist(eElem eElem eElem eElem))"},
    {"w_skips_elements_deleted_before_their_turn", "lBist(eElem eElem eElem)", "w lBist [ c mark a ]",
     "root(lBist(eElem(mark)))"},
    {"w_survives_a_body_that_deletes_each_element", "lBist(eElem eElem)", "w lBist [ t ]", "root(lBist)"},
    {"w_survives_a_body_that_deletes_the_list", "lBist(eElem eElem)", "w lBist [ b lBist ] c mark", "root(mark)"},
    {"w_skips_its_body_for_an_empty_list", "lBist", "w lBist [ u ] c mark", "root(lBist mark)"},
    {"w_skips_its_body_for_a_missing_list", "", "w lBist [ u ] c mark", "root(mark)"},
    {"S_loops_over_the_current_objects_reference", "lBist(eElem eElem) aRef", "m aRef lBist r aRef S [ c mark ]",
     "root(lBist(eElem(mark) eElem(mark)) aRef)"},
};
INSTANTIATE_TEST_SUITE_P(Loops, Commands, ::testing::ValuesIn(loops), case_name);

const script_case control[] = {
    {"the_empty_string_does_nothing", "box", "", "root(box)"},
    {"u_stops_before_anything_else", "box", "u v c mark", "root(box)"},
    {"a_character_outside_the_table_stops", "", "c box 1 c mark", "root(box)"},
    {"commands_without_effect_go_on", "", "A B I J T U V W X Y Z \\ ` ^ _ [ ] y z c mark", "root(mark)"},
    {"H_outside_a_deletion_skips_its_text", "", "H c box ] c mark", "root(mark)"},
    {"a_deletion_scripts_H_text_runs_on_the_former_parent", "box(gone)", "b gone", "root(box(mark))"},
    {"a_torn_down_child_has_no_one_to_hand_H_text_to", "box(gone)", "b box", "root"},
    {"a_script_may_delete_the_object_it_runs_for", "zap box", "e zap r zap v c mark", "root(box)"},
};
INSTANTIATE_TEST_SUITE_P(Control, Commands, ::testing::ValuesIn(control), case_name);

TEST_F(Interpreter, SClearsAPendingErrorAndRunsItsBracketOnlyWhenThereWasOne) {
  global_error_message().append("bad file");
  run("s [ c mark ]");
  EXPECT_TRUE(global_error_message().is_empty());
  EXPECT_EQ(dump(root), "root(mark)");
  run("s [ u ] c box");
  EXPECT_EQ(dump(root), "root(mark box)");
}

TEST_F(Interpreter, OCallsTheExitHandlerAndStops) {
  EXPECT_EQ(run("c box O c mark"), 0);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(dump(root), "root(box)");
}

TEST_F(Interpreter, PReadsFromTheContextsInputOnly) {
  build("nVal");
  run("r nVal P");
  EXPECT_EQ(dump(root), "root(nVal=0)") << "no input stream: P does nothing";
  process_dets_3 context("r nVal P", &root);
  string_in in("42");
  context.set_input(&in);
  run_process(context);
  EXPECT_EQ(dump(root), "root(nVal=42)");
}

TEST_F(Interpreter, EvaluateYieldsTheLastCurrentObject) {
  build("box(item) gLoop");
  EXPECT_EQ(evaluate_process_text(root, "r item"), root.child(0)->child(0));
  EXPECT_EQ(evaluate_process_text(root, "r item t"), nullptr) << "the node it ended on is gone";
  EXPECT_EQ(evaluate_process_text(root, "L gLoop r box"), nullptr) << "a get script cut short yields nothing";
}

TEST_F(Interpreter, NotBeingDestroyedGuardsADeletionScript) {
  for (const char* deleted : {"wary", "box"}) {  // directly, or torn down with its parent
    clear();
    build("box(wary)");
    h.ran.clear();
    run((std::string("b ") + deleted).c_str());
    EXPECT_EQ(std::count(h.ran.begin(), h.ran.end(), "c mark@wary"), deleted[0] == 'w' ? 1 : 0) << deleted;
  }
}

struct runaway_case {
  const char* name;
  const char* tree;
  const char* script;
};
class Runaway : public Interpreter, public ::testing::WithParamInterface<runaway_case> {};

TEST_P(Runaway, ScriptsReachingThemselvesStopAtTheNestingCap) {
  build(GetParam().tree);
  run(GetParam().script);
  EXPECT_EQ(h.deepest, max_process_nesting) << "the run past the cap is refused";
  EXPECT_LT(h.ran.size(), 4u * max_process_nesting) << "the whole chain unwinds, it does not branch out again";
  ASSERT_EQ(shown.messages().size(), 1u);
  EXPECT_EQ(shown.messages()[0].text, "Script nesting too deep");
  EXPECT_EQ(process_nesting_depth(), 0);
  run("c mark");
  EXPECT_NE(dump(root).find("mark"), std::string::npos) << "the next run is not refused";
}

const runaway_case runaways[] = {
    {"a_change_script_setting_its_own_value", "nSelf", "r nSelf k 2"},
    {"an_execution_script_executing_itself_twice", "xSelf", "e xSelf"},
    {"a_get_script_reading_its_own_reference", "gLoop", "L gLoop"},
};
INSTANTIATE_TEST_SUITE_P(Runaway, Runaway, ::testing::ValuesIn(runaways), case_name);

struct limit_case {
  const char* name;
  const char* tree;
  const char* script;
  const char* message;
};
class Limits : public Interpreter, public ::testing::WithParamInterface<limit_case> {
 protected:
  Limits() {
    process_limits low;
    low.commands = 5000;
    low.new_objects = 100;
    set_process_limits(low);
  }
  ~Limits() override { set_process_limits(process_limits{}); }
  static int size(assoc_class& n) {
    int total = 1;
    for (int i = 0; i < n.child_count(); ++i) total += size(*n.child(i));
    return total;
  }
};

TEST_P(Limits, StopARunThatMultipliesAndSayWhy) {
  build(GetParam().tree);
  run(GetParam().script);
  ASSERT_EQ(shown.messages().size(), 1u);
  EXPECT_EQ(shown.messages()[0].text, GetParam().message);
  EXPECT_LT(size(root), 2 * 100 + 10) << "a copy can at most double the tree before the run stops";
  EXPECT_EQ(process_nesting_depth(), 0);
  clear();
  run("c mark");
  EXPECT_EQ(dump(root), "root(mark)") << "the next run starts afresh";
}

// Brackets do not nest: each inner loop takes the rest of the outer body as
// its own, so nine loops over three elements run their body 3^9 times.
const limit_case limits[] = {
    {"loops_nested_nine_deep", "lBist(eElem eElem eElem)",
     "w lBist [ w lBist [ w lBist [ w lBist [ w lBist [ w lBist [ w lBist [ w lBist [ w lBist [ A ]",
     "Script runs too long"},
    {"a_copy_moved_into_its_source_again_and_again", "box(item)",
     "o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist "
     "o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist "
     "o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist "
     "o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist "
     "o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist o lBist box M box lBist",
     "Script makes too many objects"},
};
INSTANTIATE_TEST_SUITE_P(Limits, Limits, ::testing::ValuesIn(limits), case_name);

TEST_F(Interpreter, AThrownAbortLeavesTheNestingCountRight) {
  build("lBist(eElem)");
  EXPECT_THROW(run("w lBist [ e bomb ]"), numeric_abort);
  EXPECT_EQ(process_nesting_depth(), 0);
}

// Random and truncated process strings over a small tree: nothing may crash,
// leak or touch a dead node (the sanitizers watch), and nothing may run away.
TEST_F(Interpreter, RandomProcessStringsAreHarmless) {
  std::istringstream words(
      "A C D E F G H K L M N O P Q R S a b c d e f g h i j k l m n o p q r s t u v w x [ ] ^ _ box item gone wary "
      "lBist eElem mark zap xSelf nVal nSelf tText aRef aLink gGet gLoop nothing 3 0 ; 7");
  const std::vector<std::string> tokens{std::istream_iterator<std::string>(words), {}};
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 3000; ++round) {
    clear();
    build("box(item gone wary) lBist(eElem eElem eElem) nVal=3 tText aRef gGet zap");
    std::string text;
    for (int n = length(rng); n > 0; --n) text += tokens[pick(rng)] + (rng() % 5 ? " " : "");
    text.resize(rng() % (text.size() + 1));  // a cut anywhere, inside a word too
    run(text.c_str());
    ASSERT_EQ(process_nesting_depth(), 0) << text;
  }
  global_error_message().assign("");
}

}  // namespace
