#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "../workbench_fixture.h"

namespace {

// A project read back, a copied file and a pasted record are all rebuilt
// from empty copies: a copy of another class would lose its data and its
// actions.
TEST_F(Workbench, EveryClassTheTemplateCanNameCopiesEmptyAsItsOwnClass) {
  assoc_class* some_template = template_tree().top_level("#app");
  ASSERT_NE(some_template, nullptr);
  get_objs_3& registry = class_registry();
  int checked = 0;
  for (int i = 0; i < registry.child_count(); ++i) {
    auto* creator = dynamic_cast<B_creator_3*>(registry.child(i));
    ASSERT_NE(creator, nullptr);
    const std::string name = creator->class_name();
    std::unique_ptr<assoc_class> original = creator->create(name.c_str());
    if (!original) continue;
    original->set_tem(some_template);
    const std::unique_ptr<assoc_class> copy = original->clone_empty();
    ASSERT_NE(copy, nullptr) << name;
    EXPECT_EQ(typeid(*copy), typeid(*original)) << name;
    ++checked;
  }
  EXPECT_GT(checked, 80) << "the whole program's classes are registered";
}

}  // namespace
