#pragma once

#include <memory>

#include "app/platform/platform.h"
#include "core/assoc_class.h"

class color_3;

// The colour slots of the file buttons and curves (node "colors"): one
// "color" per entry of the outside record "win_misc c file_colors", in its
// order. Slot i belongs to the file on button first_file_button + i.
class colors_3 : public assoc_class {
 public:
  // The colour of a file without a slot.
  static constexpr platform_types::colour no_slot{255, 255, 255};

  const char* class_name() const override { return "colors"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Makes the slots from the outside record (which stays: another "colors"
  // made later reads it again).
  void configure() override;

  int slot_count() const { return child_count(); }
  color_3* slot(int index) const;
  // The slot of a file, or -1.
  int slot_of(const assoc_class* file) const;
  // The first slot without a file, or -1 when all are taken.
  int free_slot() const;
  platform_types::colour colour_of(const assoc_class* file) const;
};

// The slots seen from any node of the application; null without them.
colors_3* colour_slots(assoc_class& from);
