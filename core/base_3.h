#pragma once

// Root of every polymorphic class of the library: containers, nodes, streams'
// helpers and reference holders all share one virtual destructor.
class base_3 {
 public:
  base_3() = default;
  base_3(const base_3&) = default;
  base_3& operator=(const base_3&) = default;
  virtual ~base_3() = default;
  virtual void base_hook() {}
};
