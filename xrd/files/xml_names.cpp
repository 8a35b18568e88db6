#include "xrd/files/xml_names.h"

std::string_view local_name(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child_named(const pugi::xml_node& parent, std::string_view name) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && local_name(c) == name) return c;
  return {};
}

pugi::xml_node descendant_named(const pugi::xml_node& top, std::string_view name) {
  return top.find_node([name](const pugi::xml_node& n) { return n.type() == pugi::node_element && local_name(n) == name; });
}
