#include "core/template_host.h"

namespace {
template_host* active_host = nullptr;
}

template_host* current_template_host() { return active_host; }

template_host* set_template_host(template_host* host) {
  template_host* previous = active_host;
  active_host = host;
  return previous;
}
