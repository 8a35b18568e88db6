#include "template/process_strs_fns_3.h"

#include <cstdlib>
#include <iterator>
#include <memory>
#include <vector>

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "core/my_string.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "core/stream_in.h"

namespace {

// The interpreter's one process-wide state. Runs nest through the tree (a
// command sets a value, the value's change script runs, ...), so the depth
// is counted here rather than in any one context. Once the cap is hit every
// run in the chain stops and no new one starts until the outermost run has
// returned: stopping only the innermost would let a script that reaches
// itself twice ("v v") branch out again at every level below the cap.
struct nesting_state {
  int depth = 0;
  bool unwinding = false;
  // Since the outermost run began: the commands carried out, and how many
  // nodes there were then.
  long commands = 0;
  long nodes_at_start = 0;
};
nesting_state nesting;
process_limits limits;

// Stops every run in the chain, saying why.
void unwind_with(const char* why) {
  nesting.unwinding = true;
  global_error_message().append(why);
  show_error();
}

// Counts one run for as long as it is active, on every way out of it: the
// numerical stages throw through scripts to abandon a computation.
class nesting_guard {
 public:
  nesting_guard() {
    if (++nesting.depth == 1) {
      nesting.commands = 0;
      nesting.nodes_at_start = assoc_class::existing_count();
    }
    if (nesting.unwinding) return;
    if (nesting.depth > max_process_nesting) unwind_with("Script nesting too deep");
  }
  nesting_guard(const nesting_guard&) = delete;
  nesting_guard& operator=(const nesting_guard&) = delete;
  ~nesting_guard() {
    if (--nesting.depth == 0) nesting.unwinding = false;
  }
  bool admitted() const { return !nesting.unwinding; }
};

void default_exit(int code) { std::exit(code); }
void (*exit_handler)(int) = default_exit;

// ---- Operands ----

// find, for a caller that keeps the result: making the missing nodes runs
// their creation scripts, which may delete what they were run for, so what
// was made is looked up again rather than trusted.
assoc_class* find_held(assoc_class& from, const char* name) {
  if (assoc_class* found = find_existing(from, name)) return found;
  node_watch start(&from);
  find(from, name);
  return start ? find_existing(from, name) : nullptr;
}

// Reads an object operand into `slot`: "^" the current object, "_" the
// origin, otherwise a word found from the current object. A word that names
// nothing leaves the slot empty.
void read_operand(process_dets_3& cx, int slot) {
  stream_in& in = cx.text();
  in.skip_blanks();
  const char c = in.get();
  if (c == '^') {
    cx.set_operand(slot, cx.current());
    return;
  }
  if (c == '_') {
    cx.set_operand(slot, cx.origin());
    return;
  }
  if (c) in.unget();
  const my_string name(in.read_word());
  assoc_class* from = cx.current();
  cx.set_operand(slot, from && !name.is_empty() ? find_held(*from, name) : nullptr);
}

// Reads the two object operands of a command; true when both name a node
// that is still alive once both have been read.
bool read_pair(process_dets_3& cx, assoc_class*& first, assoc_class*& second) {
  read_operand(cx, 0);
  read_operand(cx, 1);
  first = cx.operand(0);
  second = cx.operand(1);
  return first && second;
}

const char* read_word_arg(process_dets_3& cx) {
  cx.word().assign(cx.text().read_word());
  return cx.word();
}

// The text up to the next "]", which is consumed.
my_string read_bracketed(stream_in& in) {
  my_string text;
  while (!in.at_end()) {
    const char c = in.get();
    if (c == ']') break;
    text.append(c);
  }
  return text;
}

int skip_bracket(process_dets_3& cx) {
  cx.text().skip_past(']');
  return 1;
}

bool is_dying(assoc_class* node) { return node->flags().test(node_bits::dying) != 0; }

// Deletes a node through its parent. A node without one is a root the tree
// does not own (the application's root lives on the stack), so scripts may
// not delete it.
void delete_node(assoc_class* node) {
  if (!node || is_dying(node)) return;
  if (assoc_class* parent = node->parent()) parent->delete_child(node);
}

bool lists_child(assoc_class& parent, const assoc_class* node) {
  for (int i = 0; i < parent.child_count(); ++i)
    if (parent.child(i) == node) return true;
  return false;
}

// create_at_place, for a caller that keeps the result: a creation script may
// delete or move what it was run for, so the new node is trusted only while
// its parent still lists it.
assoc_class* create_held(assoc_class& from, const char* name) {
  assoc_class* parent = find_parent_of(from, name);
  if (!parent) return nullptr;
  node_watch parent_alive(parent);
  assoc_class* made = parent->create_child_by_name(name);
  return made && parent_alive && lists_child(*parent, made) ? made : nullptr;
}

// Runs the body that follows (the text up to "]") once for each child the
// list has now: a body may add or delete children, or delete the list.
// Elements deleted before their turn are skipped.
int run_loop(process_dets_3& cx, assoc_class* list) {
  if (!list || list->child_count() == 0) return skip_bracket(cx);
  std::vector<std::unique_ptr<node_watch>> elements;
  elements.reserve(static_cast<std::size_t>(list->child_count()));
  for (int i = 0; i < list->child_count(); ++i) elements.push_back(std::make_unique<node_watch>(list->child(i)));
  const my_string body = read_bracketed(cx.text());
  for (const auto& element : elements) {
    assoc_class* e = element->get();
    if (!e) continue;
    process_dets_4 inner(body, e, cx.output());
    inner.set_origin(e->parent());
    inner.set_input(cx.input());
    run_process(inner);
    if (inner.cut_short()) break;
  }
  return 1;
}

// ---- Commands ----

int go_on(process_dets_3&) { return 1; }

int C_process_3(process_dets_3& cx) {
  assoc_class* target = nullptr;
  assoc_class* counted = nullptr;
  if (read_pair(cx, target, counted)) target->set_int(counted->child_count());
  return 1;
}

int D_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  assoc_class* from = cx.current();
  if (!from) return 1;
  cx.set_operand(0, find_held(*from, name));
  if (assoc_class* node = cx.operand(0)) node->execute();
  delete_node(cx.operand(0));
  return 1;
}

// delete_linked_named, done here over watched nodes: a deletion script may
// delete the current object, whose records the tree's own loop would then
// go on reading, or a linked root that no parent owns.
int E_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  assoc_class* cur = cx.current();
  if (!cur) return 1;
  std::vector<std::unique_ptr<node_watch>> victims;
  const auto& recs = cur->records();
  for (int i = 0; i < recs.count(); ++i) {
    assoc_class* target = recs[recs.base() + i].target;
    if (target && target->is_named(name)) victims.push_back(std::make_unique<node_watch>(target));
  }
  for (const auto& victim : victims) delete_node(victim->get());
  return 1;
}

int F_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  read_operand(cx, 1);
  assoc_class* source = cx.operand(1);
  if (!cx.operand(0) || !source) return 1;
  assoc_class* value = source->get_object();
  if (assoc_class* target = cx.operand(0)) target->set_object(value);
  return 1;
}

int G_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  assoc_class* node = cx.operand(0);
  return node && node->parent() ? 1 : 0;
}

int H_process_3(process_dets_3& cx) {
  my_string* out = cx.output();
  if (!out) return skip_bracket(cx);
  out->assign(read_bracketed(cx.text()).trim());
  return 1;
}

int K_process_3(process_dets_3& cx) {
  if (assoc_class* cur = cx.current()) cx.set_current(cur->get_object());
  return 1;
}

int L_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  if (assoc_class* node = cx.operand(0)) cx.set_current(node->get_object());
  return 1;
}

int M_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  read_operand(cx, 1);
  assoc_class* dest = cx.operand(0);
  assoc_class* moved = cx.operand(1);
  // A node without a parent is a root nobody may hand over, and a list that
  // does not own its children would leave the moved node with no owner.
  if (!dest || !moved || !moved->parent() || !dest->owns()) return 1;
  if (is_dying(dest) || is_dying(moved)) return 1;
  moved->move_to(dest);
  return 1;
}

int N_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  assoc_class* node = cx.operand(0);
  return node && !is_dying(node) ? 1 : 0;
}

int O_process_3(process_dets_3&) {
  exit_handler(1);
  return 0;
}

int P_process_3(process_dets_3& cx) {
  assoc_class* cur = cx.current();
  if (cur && cx.input()) cur->read_value(*cx.input());
  return 1;
}

int Q_process_3(process_dets_3& cx) {
  assoc_class* node = nullptr;
  assoc_class* argument = nullptr;
  if (read_pair(cx, node, argument)) node->execute_with(argument);
  return 1;
}

int R_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  const char* text = read_word_arg(cx);
  assoc_class* node = cx.operand(0);
  if (!node) return 1;
  assoc_class* result = node->set_text(text);
  // If the change script deleted the node, what set_text returned may have
  // gone with it.
  if (result && cx.operand(0)) result->execute();
  return 1;
}

int S_process_3(process_dets_3& cx) {
  assoc_class* cur = cx.current();
  return run_loop(cx, cur ? cur->get_object() : nullptr);
}

int a_process_3(process_dets_3& cx) {
  assoc_class* cur = cx.current();
  if (!cur || !cur->parent()) return 1;
  node_watch parent(cur->parent());
  std::vector<std::unique_ptr<node_watch>> others;
  for (int i = 0; i < parent.get()->child_count(); ++i)
    if (assoc_class* c = parent.get()->child(i); c != cur) others.push_back(std::make_unique<node_watch>(c));
  for (const auto& other : others) {
    assoc_class* p = parent.get();
    if (!p) break;
    assoc_class* o = other->get();
    if (o && o != cx.current() && o->parent() == p) delete_node(o);
  }
  return 1;
}

int b_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  if (assoc_class* cur = cx.current()) delete_node(find_existing(*cur, name));
  return 1;
}

int c_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  if (assoc_class* cur = cx.current()) cur->child_or_create(name);
  return 1;
}

int d_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  assoc_class* node = cx.operand(0);
  if (!node || node->child_count() == 0) return skip_bracket(cx);
  return 1;
}

int e_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  if (assoc_class* node = cx.operand(0)) node->execute();
  return 1;
}

int f_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  const char* text = read_word_arg(cx);
  assoc_class* node = cx.operand(0);
  if (!node || !node->sort_matches(text)) return skip_bracket(cx);
  return 1;
}

int g_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  return 1;
}

int h_process_3(process_dets_3& cx) {
  cx.set_origin(cx.current());
  return 1;
}

int i_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  assoc_class* cur = cx.current();
  return cur && find_existing(*cur, name) ? 1 : 0;
}

int j_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  const char* text = read_word_arg(cx);
  if (assoc_class* node = cx.operand(0)) node->set_text(text);
  return 1;
}

int k_process_3(process_dets_3& cx) {
  const char* text = read_word_arg(cx);
  if (assoc_class* cur = cx.current()) cur->set_text(text);
  return 1;
}

int l_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  if (assoc_class* node = cx.operand(0)) cx.set_origin(node);
  return 1;
}

int m_process_3(process_dets_3& cx) {
  assoc_class* node = nullptr;
  assoc_class* value = nullptr;
  if (read_pair(cx, node, value)) node->set_object(value);
  return 1;
}

int n_process_3(process_dets_3& cx) {
  assoc_class* node = nullptr;
  assoc_class* value = nullptr;
  if (read_pair(cx, node, value)) node->assign_value(*value);
  return 1;
}

int o_process_3(process_dets_3& cx) {
  assoc_class* node = nullptr;
  assoc_class* source = nullptr;
  if (read_pair(cx, node, source)) node->copy_from(*source);
  return 1;
}

int p_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  if (assoc_class* cur = cx.current()) create_at_place(*cur, name);
  return 1;
}

int q_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  if (assoc_class* cur = cx.current()) cx.set_current(create_held(*cur, name));
  return 1;
}

int r_process_3(process_dets_3& cx) {
  read_operand(cx, 0);
  if (assoc_class* node = cx.operand(0)) cx.set_current(node);
  return 1;
}

int s_process_3(process_dets_3& cx) {
  my_string& message = global_error_message();
  const bool pending = !message.is_empty();
  message.assign("");
  return pending ? 1 : skip_bracket(cx);
}

int t_process_3(process_dets_3& cx) {
  assoc_class* cur = cx.current();
  cx.set_current(nullptr);
  delete_node(cur);
  return 1;
}

int u_process_3(process_dets_3&) { return 0; }

int v_process_3(process_dets_3& cx) {
  if (assoc_class* cur = cx.current()) cur->execute();
  return 1;
}

int w_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  assoc_class* cur = cx.current();
  return run_loop(cx, cur ? find_existing(*cur, name) : nullptr);
}

int x_process_3(process_dets_3& cx) {
  const char* name = read_word_arg(cx);
  assoc_class* from = cx.origin();
  if (!from || !cx.current()) return 1;
  cx.set_operand(0, find_held(*from, name));
  assoc_class* node = cx.operand(0);
  assoc_class* cur = cx.current();
  if (!node || !cur) return 1;
  node->set_object(cur);
  if (assoc_class* still = cx.operand(0)) still->execute();
  return 1;
}

// clang-format off
constexpr process_fn_3 commands[] = {
    {'A',  "A_process_3",    go_on},        /* 'A'          nothing                                            */
    {'B',  "B_process_3",    go_on},        /* 'B'          nothing                                            */
    {'C',  "C_process_3",    C_process_3},  /* 'C' C1 C2    C1.set_int(number of children of C2)               */
    {'D',  "D_process_3",    D_process_3},  /* 'D' W        find(W) from current, execute it, delete it        */
    {'E',  "E_process_3",    E_process_3},  /* 'E' W        current.delete_linked_named(W)                     */
    {'F',  "F_process_3",    F_process_3},  /* 'F' C1 C2    C1.set_object(C2.get_object())                     */
    {'G',  "G_process_3",    G_process_3},  /* 'G' C1       stop unless C1 has a parent                        */
    {'H',  "H_process_3",    H_process_3},  /* 'H' text]    output text := text (skipped where no output)      */
    {'I',  "I_process_3",    go_on},        /* 'I'          nothing                                            */
    {'J',  "J_process_3",    go_on},        /* 'J'          nothing                                            */
    {'K',  "K_process_3",    K_process_3},  /* 'K'          current := current.get_object()                    */
    {'L',  "L_process_3",    L_process_3},  /* 'L' C1       current := C1.get_object()                         */
    {'M',  "M_process_3",    M_process_3},  /* 'M' C1 C2    move C2 to the end of C1's children                */
    {'N',  "N_process_3",    N_process_3},  /* 'N' C1       stop if C1 is being destroyed                      */
    {'O',  "O_process_3",    O_process_3},  /* 'O'          end the program with exit code 1                   */
    {'P',  "P_process_3",    P_process_3},  /* 'P'          current.read_value(input stream)                   */
    {'Q',  "Q_process_3",    Q_process_3},  /* 'Q' C1 C2    C1.execute_with(C2)                                */
    {'R',  "R_process_3",    R_process_3},  /* 'R' C1 W     C1.set_text(W), execute what set_text returns      */
    {'S',  "S_process_3",    S_process_3},  /* 'S' body]    body for each child of current.get_object()        */
    {'T',  "T_process_3",    go_on},        /* 'T'          nothing                                            */
    {'U',  "U_process_3",    go_on},        /* 'U'          nothing                                            */
    {'V',  "V_process_3",    go_on},        /* 'V'          nothing                                            */
    {'W',  "W_process_3",    go_on},        /* 'W'          nothing                                            */
    {'X',  "X_process_3",    go_on},        /* 'X'          nothing                                            */
    {'Y',  "Y_process_3",    go_on},        /* 'Y'          nothing                                            */
    {'Z',  "Z_process_3",    go_on},        /* 'Z'          nothing                                            */
    {'[',  "br_l_process_3", go_on},        /* '['          nothing (opens what a failed test skips)           */
    {'\\', "b_sl_process_3", go_on},        /* '\\'         nothing                                            */
    {']',  "br_r_process_3", go_on},        /* ']'          nothing (ends what a failed test skips)            */
    {'^',  "ca_process_3",   go_on},        /* '^'          nothing                                            */
    {'_',  "un_process_3",   go_on},        /* '_'          nothing                                            */
    {'`',  "sq_process_3",   go_on},        /* '`'          nothing                                            */
    {'a',  "a_process_3",    a_process_3},  /* 'a'          delete every other child of current's parent       */
    {'b',  "b_process_3",    b_process_3},  /* 'b' W        delete find_existing(W) unless being destroyed     */
    {'c',  "c_process_3",    c_process_3},  /* 'c' W        current.child_or_create(W)                         */
    {'d',  "d_process_3",    d_process_3},  /* 'd' C1       skip past "]" if C1 has no children                */
    {'e',  "e_process_3",    e_process_3},  /* 'e' C1       C1.execute()                                       */
    {'f',  "f_process_3",    f_process_3},  /* 'f' C1 W     skip past "]" unless C1.sort_matches(W)            */
    {'g',  "g_process_3",    g_process_3},  /* 'g' C1       resolve C1 (creating it) and drop it               */
    {'h',  "h_process_3",    h_process_3},  /* 'h'          origin := current                                  */
    {'i',  "i_process_3",    i_process_3},  /* 'i' W        stop unless find_existing(W) from current          */
    {'j',  "j_process_3",    j_process_3},  /* 'j' C1 W     C1.set_text(W)                                     */
    {'k',  "k_process_3",    k_process_3},  /* 'k' W        current.set_text(W)                                */
    {'l',  "l_process_3",    l_process_3},  /* 'l' C1       origin := C1                                       */
    {'m',  "m_process_3",    m_process_3},  /* 'm' C1 C2    C1.set_object(C2)                                  */
    {'n',  "n_process_3",    n_process_3},  /* 'n' C1 C2    C1.assign_value(C2)                                */
    {'o',  "o_process_3",    o_process_3},  /* 'o' C1 C2    C1.copy_from(C2)                                   */
    {'p',  "p_process_3",    p_process_3},  /* 'p' W        create_at_place(W) from current                    */
    {'q',  "q_process_3",    q_process_3},  /* 'q' W        current := create_at_place(W) from current         */
    {'r',  "r_process_3",    r_process_3},  /* 'r' C1       current := C1                                      */
    {'s',  "s_process_3",    s_process_3},  /* 's'          skip past "]" unless an error is pending; clear it */
    {'t',  "t_process_3",    t_process_3},  /* 't'          delete current; current := null                    */
    {'u',  "u_process_3",    u_process_3},  /* 'u'          stop                                               */
    {'v',  "v_process_3",    v_process_3},  /* 'v'          current.execute()                                  */
    {'w',  "w_process_3",    w_process_3},  /* 'w' W body]  body for each child of find_existing(W)            */
    {'x',  "x_process_3",    x_process_3},  /* 'x' W        find(W) from origin: set_object(current), execute  */
    {'y',  "y_process_3",    go_on},        /* 'y'          nothing                                            */
    {'z',  "z_process_3",    go_on},        /* 'z'          nothing                                            */
};
// clang-format on

constexpr bool in_code_order() {
  for (int i = 0; i < process_strs_fns_3::size; ++i)
    if (commands[i].code != process_strs_fns_3::first + i) return false;
  return true;
}
static_assert(std::size(commands) == process_strs_fns_3::size, "one command for each character from 'A' to 'z'");
static_assert(in_code_order(), "the table is indexed by the command character");

}  // namespace

const process_fn_3* process_strs_fns_3::find(char code) {
  if (code < first || code > last) return nullptr;
  return &commands[code - first];
}

int run_process(process_dets_3& context) {
  nesting_guard guard;
  if (!guard.admitted()) {
    context.mark_cut_short();
    return 0;
  }
  stream_in& in = context.text();
  for (;;) {
    in.skip_blanks();
    const char c = in.get();
    if (c == '\0') return 1;
    const process_fn_3* command = process_strs_fns_3::find(c);
    if (!command) return 0;
    const int go_on_after = command->run(context);
    context.clear_operands();
    if (!nesting.unwinding) {
      if (++nesting.commands > limits.commands)
        unwind_with("Script runs too long");
      else if (assoc_class::existing_count() - nesting.nodes_at_start > limits.new_objects)
        unwind_with("Script makes too many objects");
    }
    if (nesting.unwinding) {
      context.mark_cut_short();
      return 0;
    }
    if (!go_on_after) return 0;
  }
}

int run_process_text(assoc_class& object, const char* text, my_string* output) {
  process_dets_4 context(text, &object, output);
  return run_process(context);
}

assoc_class* evaluate_process_text(assoc_class& object, const char* text) {
  process_dets_3 context(text, &object);
  run_process(context);
  return context.cut_short() ? nullptr : context.current();
}

void set_process_limits(const process_limits& l) { limits = l; }

void set_exit_handler(void (*handler)(int)) { exit_handler = handler ? handler : default_exit; }

int process_nesting_depth() { return nesting.depth; }
