#pragma once

#include <memory>

#include "app/platform/command_ids.h"
#include "app/platform/platform.h"
#include "core/assoc_class.h"
#include "core/cached_ref.h"

// The file button of a loaded file (node "fbutonoff" under the file). When
// it is attached to its file it takes the first free colour slot i, and its
// button has the command id first_file_button + i: a tick in the slot's colour while the
// focused view shows the file, a cross while it does not. When the file goes
// the button leaves the control bar and the slot is free again.
class file_button_on_off : public assoc_class {
 public:
  static constexpr int tick_bitmap = bar_bitmap::tick;
  static constexpr int cross_bitmap = bar_bitmap::cross;

  ~file_button_on_off() override;
  const char* class_name() const override { return "fbutonoff"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  // Takes a slot and puts the cross button into the control bar.
  void configure() override;

  // The state: on (tick) or off (cross).
  int get_int() override { return on_ ? 1 : 0; }
  assoc_class* set_int(int v) override;
  // Shows the button for the value set last, then runs the script.
  assoc_class* execute() override;
  void show(bool on);

  // The command id, 0 when every slot was taken.
  int command_id() const { return id_; }
  bool is_on() const { return on_; }
  platform_types::gadget gadget(bool on) const;

 private:
  int id_ = 0;
  bool on_ = false;
  bool wanted_ = false;
  platform_types::colour colour_{};
  cached_ref bar_{"controlbar"};
};
