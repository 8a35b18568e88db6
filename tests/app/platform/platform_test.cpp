#include "app/platform/platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/headless/headless_platform.h"
#include "core/error_message.h"

namespace {

using strings = std::vector<std::string>;

platform_types::dialog_resource list_dialog() {
  platform_types::dialog_resource r;
  r.id = 4148;
  r.caption = "Options";
  r.controls.push_back({});
  r.controls[0].kind = platform_types::control_kind::list_box;
  r.controls[0].id = 4149;
  return r;
}

TEST(CurrentPlatform, ShownErrorsBecomeErrorBoxesOfTheInstalledPlatformAndWithoutOneGoElsewhere) {
  set_caption_source([] { return "XRD Fourier Workbench"; });
  headless_platform screen;
  platform* before = set_platform(&screen);
  error_reporter* previous = install_platform_reporter();
  global_error_message().append("Cannot load any more files: Maximum of ").append(32);
  show_error();
  EXPECT_EQ(screen.calls(),
            strings{"message error 'XRD Fourier Workbench' 'Cannot load any more files: Maximum of 32'"});
  EXPECT_TRUE(global_error_message().is_empty());
  set_platform(nullptr);
  report_error("nobody sees this box");
  EXPECT_EQ(screen.calls().size(), 1u);
  set_error_reporter(previous);
  set_platform(before);
  set_caption_source(nullptr);
}

TEST(Questions, AreAnsweredInTheOrderQueuedEachKindOnItsOwnAndFailNamedWhenUnanswered) {
  headless_platform p;
  p.queue_yes_no(yes_no_reply::escape);
  p.queue_files({"/a.xdd", "/b.xdd"});
  p.queue_yes_no(yes_no_reply::yes);
  p.queue_popup(3022);
  EXPECT_FALSE(p.ask_yes_no("App", "first"));
  EXPECT_TRUE(p.ask_yes_no("App", "second"));
  const platform_types::file_answer files = p.choose_file({});
  EXPECT_EQ(files.result, platform_types::file_answer::status::chosen);
  EXPECT_EQ(files.paths, (strings{"/a.xdd", "/b.xdd"}));
  EXPECT_EQ(p.popup_menu({}, 0, 0, {}), 3022);
  EXPECT_EQ(p.pending_answers(), 0u);

  platform_types::file_request save;
  save.caption = "Save Project File";
  const std::pair<const char*, std::function<void()>> unanswered[] = {
      {"Unload Anyway ?", [&] { p.ask_yes_no("App", "Unload Anyway ?"); }},
      {"Save Project File", [&] { p.choose_file(save); }},
      {"Options", [&] { p.run_modal(p.create_dialog(list_dialog(), {}, true)); }},
      {"Show all of this file|-|Unload", [&] {
         p.popup_menu(platform_types::window_ref::frame(1), 10, 20,
                      {{3025, "Show all of this file", "", {}}, {0, "", "", {}}, {3022, "Unload", "", {}}});
       }}};
  for (const auto& [text, ask] : unanswered) {
    try {
      ask();
      ADD_FAILURE() << "'" << text << "' must not be answered by the platform";
    } catch (const unanswered_question& e) {
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  }
}

TEST(HeadlessDialogs, AModalRunShowsTheDialogOnlyWhileTheUserActs) {
  headless_platform screen;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, true);
  bool shown_while_open = false;
  screen.queue_modal(true, [&](platform::dialog_id open) { shown_while_open = screen.dialog_shown(open); });
  EXPECT_TRUE(screen.run_modal(d));
  EXPECT_TRUE(shown_while_open);
  EXPECT_FALSE(screen.dialog_shown(d));
}

}  // namespace
