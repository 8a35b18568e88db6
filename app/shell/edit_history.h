#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "numerics/fft_3.h"

class assoc_class;
class node_watch;

// The steps that Edit > Undo and Redo walk, one per edit of the loaded
// files' data or options.
//
// A file's state is its records in the tree text format, as a project saves
// them, and its observed curve, which a drag moves but no project holds.
// The history keeps the state the files were in after the last step (or
// the last settle); an edit that ends compares the files with it, and the
// files that differ make one step with their state before and after. So an
// edit need not say when it begins: a drag is one step from its press to
// its release, however many moves it took.
//
// Undo puts the step's files back into their state before it, redo into
// their state after it, and everything drawn from them is computed again.
// Both mark the files and the project changed as the edit itself did: a
// file the edit marked changed is marked changed again, and no mark is
// taken away. A step whose file has been unloaded is dropped when it comes
// to be undone or redone. A new step drops the steps undone before it.
class edit_history {
 public:
  // How many steps are kept; the oldest go first.
  static constexpr std::size_t most_steps = 100;

  edit_history();
  ~edit_history();
  edit_history(const edit_history&) = delete;
  edit_history& operator=(const edit_history&) = delete;

  // What the loaded files (the children of `files`) hold now is where the
  // next edit starts from, and no step is made: for loads, captures, the
  // defaults a paint makes explicit, anything that is not a person's edit.
  void settle(assoc_class* files);
  // The files that differ from where the last edit ended make one step
  // named `what` ("drag"); the project's modified flag is `project_dirty`
  // (null when there is none). False, and nothing recorded, when no file
  // changed; the files are settled either way.
  bool record(assoc_class* files, assoc_class* project_dirty, const std::string& what);

  bool can_undo();
  bool can_redo();
  // What Undo or Redo would do now: "drag of fe110.xdd", "report edit of 3
  // files"; "" when there is nothing.
  std::string undo_name();
  std::string redo_name();
  // Undoes or redoes the step at the top; false when there is none.
  bool undo(assoc_class* files, assoc_class* project_dirty);
  bool redo(assoc_class* files, assoc_class* project_dirty);

  std::size_t undo_count() const { return done_.size(); }
  std::size_t redo_count() const { return undone_.size(); }

 private:
  // The observed curve: its axis and its counts (and their abscissa, when
  // the file gave one per point).
  struct curve_state {
    double x1 = 0.0;
    double x2 = 0.0;
    double xd = 0.0;
    int n = 0;
    float_vec y;
    float_vec x;
    bool operator==(const curve_state& other) const;
  };
  struct file_state {
    std::string records;
    // Shared between the steps and the settled state: a curve is copied
    // only when it changed.
    std::shared_ptr<const curve_state> curve;
    bool operator==(const file_state& other) const;
  };
  struct file_change {
    std::unique_ptr<node_watch> file;
    file_state before;
    file_state after;
    bool marked_changed = false;  // the edit left the file marked changed
  };
  struct step {
    std::string what;
    std::vector<file_change> files;
    bool marked_project = false;  // the edit left the project modified
    std::string name() const;
    bool file_gone() const;
  };
  struct known_file {
    std::unique_ptr<node_watch> file;
    file_state state;
  };

  static file_state state_of(assoc_class& file, const file_state* known);
  static void restore(assoc_class& file, const file_state& state);
  const file_state* known_state(assoc_class* file) const;
  static void drop_gone(std::deque<step>& steps);
  // Moves the top step of `from` onto `to`, its files put into their state
  // after it (`forward`) or before it.
  bool apply(std::deque<step>& from, std::deque<step>& to, bool forward, assoc_class* files,
             assoc_class* project_dirty);

  std::deque<step> done_;
  std::deque<step> undone_;
  std::vector<known_file> known_;
};
