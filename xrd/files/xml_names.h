#pragma once

#include <string_view>

#include <pugixml.hpp>

// Finding elements by their names in the vendors' XML, whose schema
// versions and writers differ in how they qualify the names: a name is
// compared without its namespace prefix.

// An element's name without its prefix ("ns:counts" is "counts").
std::string_view local_name(const pugi::xml_node& node);
// The first child element of that name, or an empty node.
pugi::xml_node child_named(const pugi::xml_node& parent, std::string_view name);
// The first element of that name below `top`, depth first, or an empty node.
pugi::xml_node descendant_named(const pugi::xml_node& top, std::string_view name);
