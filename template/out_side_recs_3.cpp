#include "template/out_side_recs_3.h"

#include <string>

#include "core/paths.h"
#include "core/stream_copy.h"
#include "core/stream_in.h"
#include "core/text_helpers.h"
#include "io/string_out.h"
#include "template/lazy_template_global.h"

namespace {

void rebuild_all(assoc_class& record) {
  record.rebuild_index();
  for (int i = 0; i < record.child_count(); ++i) rebuild_all(*record.child(i));
}

}  // namespace

out_side_recs_3& outside_records() { return lazy_template_global<out_side_recs_3>::process_wide().get(); }

void replace_outside_records(stream_in& in) { lazy_template_global<out_side_recs_3>::process_wide().replace(in); }

const char* outside_value(const char* name) {
  assoc_class* root = outside_records().root();
  if (!root || !name) return nullptr;
  const std::string path = std::string("c ") + name;
  assoc_class* record = walk_existing(*root, path.c_str());
  if (!record || !record->first_child()) return nullptr;
  return record->first_child()->class_name();
}

void out_side_recs_3::load(stream_in& in) {
  if (!in.find_word("start_out_side_recs")) return;
  in.skip_space();
  in.get();  // the opening brace
  auto* root = static_cast<out_side_rec_3*>(
      dynamic_cast<out_side_sorted_rec_3*>(add_child(std::make_unique<out_side_sorted_rec_3>())));
  out_side_rec_3* current = root;
  while (!in.at_end()) {
    in.skip_space();
    if (in.at_end()) break;
    const char c = in.get();
    if (c == '"') {
      std::string text;
      while (!in.at_end()) {
        const char q = in.get();
        if (q == '"') break;
        text += q;
      }
      current->text.assign(text);
    } else if (c == '{') {
      in.skip_space();
      std::unique_ptr<assoc_class> record;
      const char kind = in.at_end() ? '\0' : in.get();
      if (kind == '^') {
        record = std::make_unique<out_side_sorted_rec_3>();
      } else if (kind == '%') {
        record = std::make_unique<out_side_sorted_rec_str_name_3>();
      } else {
        if (kind) in.unget();
        record = std::make_unique<out_side_rec_3>();
      }
      current = dynamic_cast<out_side_rec_3*>(current->add_child(std::move(record)));
    } else if (c == '}') {
      if (current == root) break;
      current = dynamic_cast<out_side_rec_3*>(current->parent());
      if (!current) break;
    } else {
      in.unget();
      string_out text;
      // The first word ends at a brace too: "{PRJ}" must not swallow the
      // braces that close the records.
      while (!in.at_end()) {
        const char w = in.get();
        if (is_separator(w) || w == '{' || w == '}') {
          in.unget();
          break;
        }
        text.put_char(w);
      }
      if (!in.at_end()) {
        const char next = in.get();
        in.unget();
        if (next != '{' && next != '}') text.put_char(' ');
      }
      copy_until_any(text, in, "{}", 2);
      current->text.assign(text.text());
    }
  }
  if (!in.at_end()) {
    in.skip_space();
    if (!in.at_end()) {
      in.get();
      in.unget();
    }
  }
  rebuild_all(*this);
}
