#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/assoc_class.h"

// Sets the title of a graph view again (node "set_vw_title"): the view it
// refers to, else the view it lives in, else the view with the focus.
class set_vw_title_3 : public assoc_class {
 public:
  const char* class_name() const override { return "set_vw_title"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};

// The suffix a graph view adds to its title for the families it shows
// (display bits): the frequency families hide the profile ones.
std::string families_title_suffix(std::uint32_t bits);
