#include "app/dialogs/lb_opts_2.h"

#include <utility>

#include "core/text_helpers.h"
#include "template/process_strs_fns_3.h"

namespace {

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (is_separator(c)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

std::string bars_to_blanks(std::string text) {
  for (char& c : text)
    if (c == '|') c = ' ';
  return text;
}

bool in_range_of(int index, const std::vector<std::string>& v) {
  return index >= 0 && static_cast<std::size_t>(index) < v.size();
}

}  // namespace

lb_opts_2::lb_opts_2(description d) : description_(std::move(d)) {
  for (const std::string& w : words_of(description_.items)) lines_.push_back(bars_to_blanks(w));
  classes_ = words_of(description_.classes);
}

std::unique_ptr<assoc_class> lb_opts_2::clone_empty() const {
  auto copy = std::make_unique<lb_opts_2>(description_);
  copy->set_tem(tem());
  return copy;
}

void lb_opts_2::fill(platform& p, platform::dialog_id dialog) {
  const int list = description_.control;
  p.list_clear(dialog, list);
  for (const std::string& line : lines_) p.list_add(dialog, list, line);
  if (filled_before_) {
    if (in_range_of(remembered_, lines_)) p.list_select(dialog, list, remembered_);
    return;
  }
  filled_before_ = true;
  if (description_.has_default && in_range_of(description_.default_selection, lines_)) {
    p.list_select(dialog, list, description_.default_selection);
    act_on_selection(p, dialog);
  }
}

void lb_opts_2::act_on_selection(platform& p, platform::dialog_id dialog) {
  const int index = p.list_caret(dialog, description_.control);
  if (!in_range_of(index, lines_)) return;
  remembered_ = index;
  if (!in_range_of(index, classes_)) return;
  // A copy: the script may delete this node and its words with it.
  const std::string script = bars_to_blanks(classes_[static_cast<std::size_t>(index)]);
  run_process_text(*this, script.c_str());
}

void lb_opts_2::forget_choice(platform& p, platform::dialog_id dialog) {
  if (in_range_of(remembered_, lines_)) p.list_set_selected(dialog, description_.control, remembered_, false);
  remembered_ = -1;
}
