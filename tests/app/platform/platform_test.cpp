#include "app/platform/platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/platform/headless_platform.h"
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

struct dialog_listener : platform_types::dialog_events {
  strings heard;
  std::function<void()> on_close;
  void on_close_box() override {
    heard.push_back("close");
    if (on_close) on_close();
  }
  void on_list_select(int control) override { heard.push_back("select " + std::to_string(control)); }
  void on_edit_enter(int control) override { heard.push_back("enter " + std::to_string(control)); }
};

TEST(HeadlessDialogs, KeepListsAndEditsAsTheUserWouldSeeThem) {
  headless_platform screen;
  dialog_listener listener;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, false, &listener);
  EXPECT_FALSE(screen.dialog_shown(d)) << "modeless dialogs start hidden";
  for (const char* line : {"a", "b", "c"}) screen.list_add(d, 4149, line);
  screen.list_select(d, 4149, 2);
  EXPECT_EQ(screen.list_caret(d, 4149), 2);
  screen.user_selects(d, 4149, 0);
  EXPECT_EQ(screen.list_selection(d, 4149), std::vector<int>{0}) << "a single-selection list keeps one line";
  EXPECT_THROW(screen.user_selects(d, 4149, 3), std::logic_error) << "there is no fourth line to click";
  screen.list_set_selected(d, 4149, 2, true);
  EXPECT_EQ(screen.list_selection(d, 4149), (std::vector<int>{0, 2}));
  EXPECT_EQ(screen.list_text(d, 4149, 7), "") << "no eighth line";
  screen.list_clear(d, 4149);
  EXPECT_EQ(std::pair(screen.list_count(d, 4149), screen.list_caret(d, 4149)), std::pair(0, -1));
  EXPECT_TRUE(screen.list_selection(d, 4149).empty());
  screen.edit_set_text(d, 4233, "one\r\n");
  screen.edit_append(d, 4233, "two\r\n");
  EXPECT_EQ(screen.edit_text(d, 4233), "one\r\ntwo\r\n");
  screen.user_types(d, 4244, "12.5");
  screen.user_presses_enter(d, 4244);
  EXPECT_EQ(screen.edit_text(d, 4244), "12.5");
  EXPECT_EQ(listener.heard, (strings{"select 4149", "enter 4244"}));

  screen.list_add(d, 4149, "kept");
  listener.on_close = [&] { screen.destroy_dialog(d); };  // destroys its own window while being called
  screen.user_closes_dialog(d);
  EXPECT_FALSE(screen.dialog(d)->exists);
  screen.list_add(d, 4149, "ignored");
  EXPECT_EQ(screen.list_lines(d, 4149), strings{"kept"}) << "a destroyed dialog keeps its last state";
  EXPECT_THROW(screen.user_closes_dialog(d), std::logic_error);
  EXPECT_EQ(listener.heard.back(), "close") << "and hears nothing more";
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

struct frame_listener : platform_types::frame_events {
  frame_listener(std::string n, strings* h) : name(std::move(n)), heard(h) {}
  void on_activate(bool active) override { heard->push_back(name + (active ? " active" : " inactive")); }
  void on_mouse(const platform_types::mouse_event& e) override {
    heard->push_back(name + " mouse " + std::to_string(e.x));
  }
  bool on_close() override { return may_close; }
  void on_paint(platform_types::surface& s) override { s.line(0, 10, s.width(), 10); }
  std::string name;
  strings* heard;
  bool may_close = true;
};

TEST(HeadlessFrames, ActivationCloseVetoAndMouseCapture) {
  headless_platform screen;
  strings heard;
  frame_listener a("a", &heard), b("b", &heard), c("c", &heard);
  const platform::frame_id fa = screen.create_frame("", &a), fb = screen.create_frame("", &b);
  const platform::frame_id fc = screen.create_text_frame("TXT Report", &c);
  EXPECT_TRUE(screen.frame(fc)->text_frame);
  EXPECT_EQ(screen.active_frame(), fc) << "a new child becomes active";
  screen.user_activates(fa);
  screen.destroy_frame(fa);
  EXPECT_EQ(screen.active_frame(), fc) << "the most recent child left takes over";
  EXPECT_EQ(heard, (strings{"a active", "a inactive", "b active", "b inactive", "c active", "c inactive", "a active",
                            "c active"}));
  heard.clear();
  b.may_close = false;
  EXPECT_FALSE(screen.user_closes_frame(fb));
  EXPECT_TRUE(screen.frame(fb)->exists);
  screen.capture_mouse(fc);
  screen.user_mouse(fb, {platform_types::mouse_action::move, platform_types::mouse_button::left, 7, 8});
  screen.release_mouse();
  screen.user_mouse(fb, {platform_types::mouse_action::move, platform_types::mouse_button::none, 9, 9});
  EXPECT_EQ(heard, (strings{"c mouse 7", "b mouse 9"}));
  screen.user_resizes(fb, 200, 100);
  EXPECT_EQ(screen.user_paints(fb), strings{"line 0 10 200 10"}) << "painted at the size asked";
  EXPECT_TRUE(screen.user_closes_frame(fc));
  EXPECT_FALSE(screen.frame(fc)->exists);
}

TEST(HeadlessApplication, RefusesCommandsNobodyListensToAndRunsWithoutShowingAnything) {
  headless_platform screen;
  EXPECT_THROW(screen.user_command(3153), std::logic_error);
  struct app_listener : platform_types::app_events {
    void on_command(int id) override { commands.push_back(id); }
    platform_types::command_state on_enable(int) override { return {}; }
    bool on_can_close() override { return true; }
    void on_idle() override {}
    std::vector<int> commands;
  } app;
  screen.set_app_events(&app);
  screen.user_command(3153);
  EXPECT_EQ(app.commands, std::vector<int>{3153});
  screen.run();
  EXPECT_TRUE(screen.calls().empty()) << "a headless run returns at once and shows nothing";
}

}  // namespace
