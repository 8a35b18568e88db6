#pragma once

// Gives v n elements, first index 0, whose values the caller is about to
// overwrite. Storage that already holds n elements of its own is kept, so a
// result recomputed at the same length costs no allocation, no zeroing and
// no fresh pages; other storage (another length, or borrowed) is replaced.
// n < 1 empties v.
template <class V>
void size_for_overwrite(V& v, int n) {
  if (n < 1) {
    v.free_storage();
  } else if (v.count() != n || v.storage_borrowed()) {
    v.allocate(n);
  }
  v.rebase(0);
}
