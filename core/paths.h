#pragma once

#include "core/assoc_class.h"

// Turning names and path texts into nodes. A path is a sequence of steps, each
// an operator character and a name:
//   c name   the child of that name (made when walking with creation)
//   f name   the existing child of that name
//   p name   the nearest ancestor of that name
//   d name   depth-first search below the current node
// Names are resolved through the template scopes of the tree: the path from
// the nearest object whose scope declares the name is built from the
// template tree and walked from there.

assoc_class* walk(assoc_class& from, const char* path);
assoc_class* walk_existing(assoc_class& from, const char* path);
// The node itself if it has the name, else the first node in pre-order below
// it; the elements of arrays below the start are not searched.
assoc_class* depth_first_search(assoc_class& from, const char* name);

// The node that `name` designates from `n`, created with every missing node
// on its path.
assoc_class* find(assoc_class& n, const char* name);
// As find, but nothing is created: null when a node on the path is missing.
assoc_class* find_existing(assoc_class& n, const char* name);
// The node that holds (or would hold) the named node.
assoc_class* find_parent_of(assoc_class& n, const char* name);
assoc_class* add_at_place(assoc_class& n, assoc_class* node);
assoc_class* create_at_place(assoc_class& n, const char* name);
bool delete_named(assoc_class& n, const char* name);
// Always makes a new node for the last step (one per element where the path
// crosses an array); each new node copies `model` when one is given. Returns
// the first node made.
assoc_class* make_new_at_place(assoc_class& n, const char* name, assoc_class* model, node_list* made = nullptr);
// Every node designated by the name, fanning out over array elements.
void find_all(assoc_class& n, node_list& list, const char* name, bool create);
void find_all_of_words(assoc_class& n, node_list& list, const char* text, bool create);

// Outside records: "win_misc c commands" and the like, walked without
// creation from the root of the outside records.
assoc_class* query_object(const char* query);
// The name of the first child of the record the query finds; null if none.
const char* query_value(const char* query);

// Typed access by name from any node (find, then the operation).
assoc_class* set_int_named(assoc_class& n, const char* name, int value);
assoc_class* set_double_named(assoc_class& n, const char* name, double value);
assoc_class* set_object_named(assoc_class& n, const char* name, assoc_class* value);
assoc_class* set_text_named(assoc_class& n, const char* name, const char* value);
assoc_class* get_object_named(assoc_class& n, const char* name);
int get_int_named(assoc_class& n, const char* name);
double get_double_named(assoc_class& n, const char* name);
const char* get_text_named(assoc_class& n, const char* name);
my_string* get_string_named(assoc_class& n, const char* name);
