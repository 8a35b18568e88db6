#include "app/report/inp_data_id_lb_3.h"

#include "core/fund_type_3.h"
#include "core/my_string.h"
#include "core/node_watch.h"

inp_data_id_lb_3::inp_data_id_lb_3(lb_tem_3 def, bool id, int list, int title)
    : definition(std::move(def)), identity(id), list_id(list), title_id(title) {}

inp_data_id_lb_3::~inp_data_id_lb_3() = default;

void inp_data_id_lb_3::set_cells(std::vector<assoc_class*> nodes) {
  cells_.clear();
  for (assoc_class* n : nodes) cells_.push_back(std::make_unique<node_watch>(n));
}

assoc_class* inp_data_id_lb_3::cell(int row) const {
  return row >= 0 && row < rows() ? cells_[static_cast<std::size_t>(row)]->get() : nullptr;
}

std::string inp_data_id_lb_3::text(int row) const { return cell_text(cell(row)); }

void inp_data_id_lb_3::erase_rows(const std::vector<int>& ascending) {
  for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
    if (*it >= 0 && *it < rows()) cells_.erase(cells_.begin() + *it);
}

std::string cell_text(assoc_class* node) {
  if (!node) return "";
  my_string t;
  node->format_value(t);
  if (dynamic_cast<fund_type_3*>(node) || !t.is_empty()) return t.c_str();
  if (const char* t = node->get_text(); t && *t) return t;
  return node->display_name();
}
