#pragma once

#include <vector>

#include "core/my_ctr.h"

// Sorts a pointer list through a permutation of indices: a sift-down heap sort
// on the index list, then one pass that puts the pointers in that order. Heap
// sort does not keep equal elements in their old order.
template <class T, class Less>
void index_sort(my_ctr_ptr<T>& list, Less less) {
  const int n = list.count();
  if (n < 2) return;
  std::vector<int> idx(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) idx[static_cast<std::size_t>(i)] = i;
  T** items = list.data();
  auto before = [&](int a, int b) { return less(items[idx[static_cast<std::size_t>(a)]], items[idx[static_cast<std::size_t>(b)]]); };
  auto sift = [&](int root, int end) {
    while (2 * root + 1 < end) {
      int child = 2 * root + 1;
      if (child + 1 < end && before(child, child + 1)) ++child;
      if (!before(root, child)) return;
      std::swap(idx[static_cast<std::size_t>(root)], idx[static_cast<std::size_t>(child)]);
      root = child;
    }
  };
  for (int i = n / 2 - 1; i >= 0; --i) sift(i, n);
  for (int end = n - 1; end > 0; --end) {
    std::swap(idx[0], idx[static_cast<std::size_t>(end)]);
    sift(0, end);
  }
  std::vector<T*> sorted(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) sorted[static_cast<std::size_t>(i)] = items[idx[static_cast<std::size_t>(i)]];
  for (int i = 0; i < n; ++i) items[i] = sorted[static_cast<std::size_t>(i)];
}
