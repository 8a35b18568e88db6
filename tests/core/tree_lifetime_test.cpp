#include <gtest/gtest.h>

#include "core/assoc_class.h"
#include "core/node_watch.h"
#include "stand_in_templates.h"

namespace {

using stand_in::host;
using stand_in::templates;

// An object holding a reference to another node through a linked holder.
struct watcher : assoc_class {
  ptr_class<assoc_class> ref;
};

class TreeLifetime : public ::testing::Test {
 protected:
  TreeLifetime() : h(t) {
    scope = t.top("#s");
    plain = t.node(scope, "plain");
    keeper = t.node(scope, "keeper", tem_bits::not_to_be_deleted);
    noisy = t.node(scope, "noisy");
    noisy->with_script(script_kind::deletion, "log bye;emit run-on-parent noisy");
    root.set_tem(t.node(scope, "root_tem"));
    t.open_scope(static_cast<stand_in::tem*>(root.tem()), scope);
    root.set_live();
  }
  assoc_class* make(const char* name, assoc_class& parent) { return parent.create_child_by_name(name); }

  templates t;
  host h;
  stand_in::tem* scope;
  stand_in::tem* plain;
  stand_in::tem* keeper;
  stand_in::tem* noisy;
  assoc_class root;
};

TEST_F(TreeLifetime, HolderIsResetWhicheverWayItsTargetDies) {
  // Direct deletion.
  watcher w;
  assoc_class* a = make("plain", root);
  w.link(a, &w.ref);
  EXPECT_EQ(w.ref.get(), a);
  root.delete_child(a);
  EXPECT_EQ(w.ref.get(), nullptr);
  EXPECT_EQ(w.records().count(), 0) << "the dead target's record must be dropped too";

  // Destruction of the target's parent.
  assoc_class* holder_parent = make("plain", root);
  assoc_class* inner = make("plain", *holder_parent);
  w.link(inner, &w.ref);
  root.delete_child(holder_parent);
  EXPECT_EQ(w.ref.get(), nullptr);

  // Replacement of the target by copy_from into its parent.
  assoc_class* box = make("plain", root);
  w.link(make("plain", *box), &w.ref);
  assoc_class empty_source;
  box->copy_from(empty_source);
  EXPECT_EQ(w.ref.get(), nullptr);
}

TEST_F(TreeLifetime, RelinkingForgetsTheOldTargetAndTheHoldersDeathLeavesTheTargetClean) {
  assoc_class* second = make("plain", root);
  {
    watcher w;
    assoc_class* first = make("plain", root);
    w.link(first, &w.ref);
    w.link(second, &w.ref);
    root.delete_child(first);
    EXPECT_EQ(w.ref.get(), second) << "the death of a former target must not clear the new reference";
    EXPECT_EQ(second->records().count(), 1);
  }
  EXPECT_EQ(second->records().count(), 0);
  watcher w;
  w.link(second, &w.ref);
  w.unlink(&w.ref);
  EXPECT_EQ(w.ref.get(), nullptr);
  EXPECT_EQ(second->records().count(), 0);
}

// A deletion script's collected text runs on the parent once the child is
// gone; when the parent itself is torn down there is no one to run it on.
TEST_F(TreeLifetime, DeletionScriptOutputRunsOnTheFormerParentUnlessItDiesToo) {
  assoc_class* box = make("plain", root);
  make("noisy", *box);
  box->delete_child(box->child(0));
  EXPECT_EQ(h.log, (std::vector<std::string>{"bye@noisy", "ran:noisy@plain"}));
  EXPECT_EQ(box->child_count(), 0);
  h.log.clear();
  make("noisy", *box);
  make("noisy", *box);
  root.delete_child(box);
  EXPECT_EQ(h.log, (std::vector<std::string>{"bye@noisy", "no-collector@noisy", "bye@noisy", "no-collector@noisy"}));
}

TEST_F(TreeLifetime, NotToBeDeletedResistsDeleteChildAndDeleteAll) {
  assoc_class* box = make("plain", root);
  assoc_class* kept = make("keeper", *box);
  make("plain", *box);
  make("plain", *box);
  box->delete_child(kept);
  EXPECT_EQ(box->child_count(), 3);
  box->delete_all_children();
  ASSERT_EQ(box->child_count(), 1) << "delete_all_children must skip, not loop on, an undeletable child";
  EXPECT_EQ(box->child(0), kept);
  // The parent's own destruction still frees it (LeakSanitizer watches).
  root.delete_child(box);
}

TEST_F(TreeLifetime, ScriptsThatDeleteSiblingsOrThemselvesAreSafe) {
  stand_in::tem* killer = t.node(scope, "killer");
  killer->with_script(script_kind::deletion, "delete-sibling plain;delete-self");
  assoc_class* box = make("plain", root);
  make("killer", *box);
  make("plain", *box);
  node_watch watch(box->child(1));
  box->delete_child(box->child(0));
  EXPECT_FALSE(watch) << "the sibling was deleted by the script";
  EXPECT_EQ(box->child_count(), 0);
  // During the teardown of the parent the same script must not double-delete.
  make("killer", *box);
  make("plain", *box);
  root.delete_child(box);
}

TEST_F(TreeLifetime, LiveParentBindsChildrenAndRunsCreationInOrder) {
  stand_in::tem* greeter = t.node(scope, "greeter");
  greeter->with_script(script_kind::creation, "log made");
  assoc_class* a = make("greeter", root);
  make("greeter", root);
  EXPECT_TRUE(a->is_live());
  EXPECT_EQ(a->tem(), greeter);
  EXPECT_EQ(h.log, (std::vector<std::string>{"made@greeter", "made@greeter"}));
}

TEST_F(TreeLifetime, MoveRefusesToMakeANodeItsOwnDescendant) {
  assoc_class* a = make("plain", root);
  assoc_class* b = make("plain", *a);
  a->move_to(b);
  EXPECT_EQ(a->parent(), &root);
  b->move_to(&root);
  EXPECT_EQ(b->parent(), &root);
  EXPECT_EQ(a->child_count(), 0);
}

TEST_F(TreeLifetime, DeleteLinkedNamedSkipsWhatIsAlreadyDying) {
  watcher w;
  assoc_class* a = make("plain", root);
  assoc_class* b = make("keeper", root);
  w.link(a, nullptr);
  w.link(b, nullptr);
  EXPECT_TRUE(w.delete_linked_named("plain"));
  EXPECT_EQ(root.child_count(), 1);
  EXPECT_TRUE(w.delete_linked_named("keeper")) << "an undeletable target is tried once";
  EXPECT_EQ(root.child_count(), 1);
  EXPECT_FALSE(w.delete_linked_named("plain"));
}

class CopyFrom : public TreeLifetime {
 protected:
  CopyFrom() {
    t.node(scope, "kept", tem_bits::no_delete_on_assignment);
    t.node(scope, "secret", tem_bits::not_to_copy);
  }
};

TEST_F(CopyFrom, KeepsProtectedChildrenSkipsPrivateOnesAndIgnoresItselfOrAnAncestor) {
  assoc_class* source = make("plain", root);
  make("plain", *source);
  make("secret", *source);
  make("kept", *source);
  assoc_class* target = make("plain", root);
  assoc_class* old_kept = make("kept", *target);
  make("plain", *target);
  target->copy_from(*source);
  target->copy_from(*target);
  target->child(1)->copy_from(*target);
  ASSERT_EQ(target->child_count(), 3);
  EXPECT_EQ(target->child(0), old_kept);
  EXPECT_STREQ(target->child(1)->display_name(), "plain");
  EXPECT_EQ(target->child(1)->child_count(), 0) << "a copy from an ancestor changes nothing";
  EXPECT_STREQ(target->child(2)->display_name(), "kept");
}

// A detached target takes every copyable child; a live one only the names
// its scope knows.
TEST_F(CopyFrom, DetachedTargetClonesEveryCopyableChildAndALiveOneDropsStrangers) {
  assoc_class* source = make("plain", root);
  make("plain", *make("plain", *source));
  make("secret", *source);
  assoc_class detached;
  detached.copy_from(*source);
  ASSERT_EQ(detached.child_count(), 1);
  EXPECT_EQ(detached.child(0)->child_count(), 1);
  EXPECT_EQ(detached.child(0)->parent(), &detached);

  stand_in::templates other;
  assoc_class mixed;
  for (stand_in::tem* tem : {other.node(other.top("#o"), "stranger"), plain}) {
    auto child = std::make_unique<no_name_3>();
    child->set_tem(tem);
    mixed.add_child(std::move(child));
  }
  assoc_class* live = make("plain", root);
  live->copy_from(mixed);
  ASSERT_EQ(live->child_count(), 1);
  EXPECT_STREQ(live->child(0)->class_name(), "plain");
}

TEST_F(CopyFrom, ExcludedNodesAreLeftOutOfTheCopy) {
  t.node(plain, "part");
  assoc_class* source = make("plain", root);
  make("kept", *source);
  make("part", *source);
  assoc_class* target = make("plain", root);
  source->copy_into_excluding(*target, "part");
  ASSERT_EQ(target->child_count(), 1);
  EXPECT_STREQ(target->child(0)->display_name(), "kept");
  EXPECT_EQ(source->child(1)->flags().test(node_bits::excluded), 0u) << "the exclusion mark is temporary";
}

}  // namespace
