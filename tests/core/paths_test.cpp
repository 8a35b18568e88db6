#include <gtest/gtest.h>

#include "core/look_up_3.h"
#include "core/non_owns_3.h"
#include "core/paths.h"
#include "core/sorted_children_3.h"
#include "core/traverse_assoc_3.h"
#include "stand_in_templates.h"

namespace {

using stand_in::kind;
using stand_in::tem;

struct named : assoc_class {
  explicit named(const char* n) : name(n) {}
  const char* class_name() const override { return name; }
  const char* name;
};

// The shape used below, in template form:
//   app (opens #app)
//     xdds
//       xdd
//         opts
//           tBime (double)
//     views (array)
//       view
//         lines
class Paths : public ::testing::Test {
 protected:
  Paths() : h(t) {
    tem* scope = t.top("#app");
    tem* app_tem = t.node(scope, "app");
    t.open_scope(app_tem, scope);
    tem* xdds = t.node(app_tem, "xdds");
    tem* xdd = t.node(xdds, "xdd");
    tem* opts = t.node(xdd, "opts");
    t.node(opts, "tBime", 0, kind::double_value);
    tem* views = t.node(app_tem, "views", tem_bits::array);
    tem* view = t.node(views, "view");
    t.node(view, "lines");
    app.set_tem(app_tem);
    app.set_live();
  }

  struct app_node : assoc_class {
    const char* class_name() const override { return "app"; }
  };

  stand_in::templates t;
  stand_in::host h;
  app_node app;
};

TEST_F(Paths, FindCreatesTheMissingPathOnceAndNamesResolveUpwardsAndAcrossBranches) {
  EXPECT_EQ(find_existing(app, "tBime"), nullptr);
  assoc_class* time = find(app, "tBime");
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(h.created, 4) << "xdds, xdd, opts and tBime";
  EXPECT_STREQ(time->parent()->parent()->display_name(), "xdd");
  EXPECT_EQ(find(app, "tBime"), time);
  EXPECT_EQ(find_existing(app, "tBime"), time);
  EXPECT_EQ(h.created, 4);
  EXPECT_EQ(find(*time, "xdds"), find_existing(app, "xdds")) << "an ancestor is reached with a p step";
  EXPECT_EQ(find_parent_of(*time->parent(), "tBime"), time->parent());
  assoc_class* views = find(*time, "views");
  ASSERT_NE(views, nullptr);
  EXPECT_EQ(views->parent(), &app) << "a sibling branch is reached through the common ancestor";
  EXPECT_EQ(find(app, "no_such_name"), nullptr);
}

TEST_F(Paths, ANodeMadeInCodeResolvesFromItsTemplatedAncestor) {
  assoc_class* time = find(app, "tBime");
  assoc_class* opts = time->parent();
  // A node without a template of its own, deep in the scope.
  assoc_class* bare = opts->add_child(std::make_unique<assoc_class>());
  EXPECT_EQ(find_existing(*bare, "xdds"), find_existing(app, "xdds"));
  EXPECT_EQ(find_existing(*bare, "tBime"), time);
  assoc_class* views = find(*bare, "views");
  ASSERT_NE(views, nullptr);
  EXPECT_EQ(views->parent(), &app);
}

TEST_F(Paths, WalkCreatesWhereWalkExistingStops) {
  assoc_class* xdds = app.create_child_by_name("xdds");
  EXPECT_EQ(walk_existing(app, "c xdds c xdd"), nullptr);
  assoc_class* xdd = walk(app, "c xdds c xdd");
  ASSERT_NE(xdd, nullptr);
  EXPECT_EQ(xdd->parent(), xdds);
  EXPECT_EQ(walk_existing(app, "c xdds f xdd"), xdd);
  EXPECT_EQ(walk_existing(*xdd, "p app"), &app);
  EXPECT_EQ(walk_existing(app, ""), &app);
  EXPECT_EQ(walk_existing(app, "? junk c xdds"), xdds) << "unknown operators are skipped";
}

TEST_F(Paths, DepthFirstSearchDoesNotEnterArraysBelowTheStart) {
  assoc_class* views = app.create_child_by_name("views");
  assoc_class* view = views->create_child_by_name("view");
  view->create_child_by_name("lines");
  EXPECT_EQ(walk_existing(app, "d lines"), nullptr);
  EXPECT_NE(walk_existing(*views, "d lines"), nullptr) << "the start itself is searched even if it is an array";
}

TEST_F(Paths, ArraysFanOutForFindAllAndMakeNew) {
  assoc_class* views = app.create_child_by_name("views");
  views->create_child_by_name("view");
  views->create_child_by_name("view");
  node_list all;
  find_all(app, all, "lines", true);
  EXPECT_EQ(all.size(), 2u) << "one per element of the array";
  node_list views_found;
  find_all(app, views_found, "view", false);
  EXPECT_EQ(views_found.size(), 2u);
  node_list made;
  make_new_at_place(app, "lines", nullptr, &made);
  EXPECT_EQ(made.size(), 2u);
  EXPECT_EQ(views->child(0)->child_count(), 2) << "make_new always adds, even beside an existing node";
}

TEST(Walker, VisitsInPreOrderAndCanSkipChildren) {
  assoc_class root;
  traverse_assoc_3 empty;
  empty.start(&root);
  EXPECT_EQ(empty.next(), nullptr);
  assoc_class* a = root.add_child(std::make_unique<named>("a"));
  a->add_child(std::make_unique<named>("a1"))->add_child(std::make_unique<named>("a11"));
  a->add_child(std::make_unique<named>("a2"));
  root.add_child(std::make_unique<named>("b"));
  std::string order;
  traverse_assoc_3 w;
  w.start(&root);
  while (assoc_class* n = w.next()) {
    order += n->class_name();
    order += ' ';
    if (std::string(n->class_name()) == "a1") w.skip_children();
  }
  EXPECT_EQ(order, "a a1 a2 b ");
}

TEST(LetterIndex, FindsOnlyLowerCaseInitialsAndNeedsARebuildForNewChildren) {
  look_up_3 index;
  EXPECT_EQ(index.find_child("anything"), nullptr);
  for (const char* n : {"beta", "alpha", "Zulu", "9lives", "bravo"}) index.add_child(std::make_unique<named>(n));
  for (const char* n : {"alpha", "bravo", "beta"}) EXPECT_NE(index.find_child(n), nullptr) << n;
  for (const char* n : {"Zulu", "9lives"}) EXPECT_EQ(index.find_child(n), nullptr) << n;
  index.add_child(std::make_unique<named>("charlie"));
  EXPECT_EQ(index.find_child("charlie"), nullptr);
  index.rebuild_index();
  EXPECT_NE(index.find_child("charlie"), nullptr);
  sorted_children_3 sorted;
  for (const char* n : {"m", "c", "x"}) sorted.add_child(std::make_unique<named>(n));
  EXPECT_NE(sorted.find_child("x"), nullptr);
  EXPECT_STREQ(sorted.child(0)->class_name(), "c");
}

TEST(Queries, ReadTheFirstChildOfAnOutsideRecord) {
  stand_in::templates t;
  stand_in::host h(t);
  EXPECT_EQ(query_value("app_name"), nullptr) << "no outside records yet";
  assoc_class outside;
  h.outside = &outside;
  outside.add_child(std::make_unique<named>("app_name"))->add_child(std::make_unique<named>("XRD Fourier Workbench"));
  assoc_class* misc = outside.add_child(std::make_unique<named>("win_misc"));
  misc->add_child(std::make_unique<named>("root_directory"))->add_child(std::make_unique<named>("/usr/share/x"));
  EXPECT_STREQ(query_value("app_name"), "XRD Fourier Workbench");
  EXPECT_STREQ(query_value("win_misc c root_directory"), "/usr/share/x");
  EXPECT_STREQ(query_value("win_misc"), "root_directory");
}

}  // namespace
