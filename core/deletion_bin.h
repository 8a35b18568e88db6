#pragma once

class assoc_class;

// Whether the node is on its way out: its own deletion has begun, or it lies
// in a sub-tree that is being destroyed. A sub-tree being destroyed resets
// the links into it before it marks its nodes dying, so the mark may only be
// on the top of that sub-tree: the ancestors are asked too.
bool in_teardown(const assoc_class& node);

// Moves the node into the deletion bin "dAeletion_bin", which the
// application empties at idle time, so that a node can leave the tree from
// inside a handler that runs for it. Only a bin that exists already is used:
// nothing is built while another node is being torn down. A node made in
// code has no template of its own to resolve the name from, so its
// ancestors are asked in turn. False when there is no bin (the node stays).
bool move_to_deletion_bin(assoc_class& node);
