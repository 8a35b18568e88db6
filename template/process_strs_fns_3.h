#pragma once

#include "core/assoc_class.h"
#include "core/my_string.h"
#include "template/process_dets_3.h"

// The process language: actions attached to template nodes are texts of
// one-character commands, run by the interpreter below over the object tree.

// One command of the language.
struct process_fn_3 {
  char code;
  const char* name;  // "A_process_3", "br_l_process_3" for '[', ...
  // Non-zero: go on with the next command; 0: stop the process string.
  int (*run)(process_dets_3& context);
};

// The command table: one entry for each character from 'A' to 'z', in
// character-code order. Characters outside that range stop a process string.
class process_strs_fns_3 {
 public:
  static constexpr char first = 'A';
  static constexpr char last = 'z';
  static constexpr int size = last - first + 1;

  // The command of a character; null outside 'A'..'z'.
  static const process_fn_3* find(char code);
};

// Scripts start scripts (a value's change script, an execution script, a get
// script, a loop body), and a script can reach itself; runs nested deeper
// than this are refused with "Script nesting too deep".
inline constexpr int max_process_nesting = 200;
// Loops run their bodies once per element, a body may add elements to the
// list that an enclosing loop walks next, and a copy moved into what it was
// copied from doubles it: a few lines of script can multiply without end. One run,
// with every run it starts, may carry out so many commands and leave so many
// new objects; past either, every run in the chain stops, with "Script runs
// too long" or "Script makes too many objects". The defaults are far above
// what the scripts of the template file need.
struct process_limits {
  long commands = 200000;
  long new_objects = 200000;
};
// Sets the limits of the runs that start from now on (a caller that must
// have an answer sooner, a fuzzer for one, lowers them); the defaults return
// with a default-made process_limits.
void set_process_limits(const process_limits& limits);

// Runs the context's text from its current position. 1 when the text ran to
// its end, 0 when a command stopped it (or the run was refused as too deep).
int run_process(process_dets_3& context);

// Runs `text` with `object` as origin and current object. With `output`, the
// run is a deletion run: "H" sets the output text; elsewhere "H" skips it.
int run_process_text(assoc_class& object, const char* text, my_string* output = nullptr);

// Runs `text` and returns the current object it ends on: how a get script
// yields a node. Null when the run ended with no current object, or was cut
// short at the nesting cap.
assoc_class* evaluate_process_text(assoc_class& object, const char* text);

// What "O" calls with exit code 1; null restores std::exit. A handler that
// returns makes "O" stop the process string.
void set_exit_handler(void (*handler)(int));

// How many process runs are active now (outermost = 1).
int process_nesting_depth();
