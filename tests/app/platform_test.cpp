#include "app/platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/headless_platform.h"
#include "core/error_message.h"

namespace {

using platform_types::dialog_resource;
using platform_types::mouse_action;
using platform_types::mouse_button;
using platform_types::mouse_event;

dialog_resource list_dialog() {
  dialog_resource r;
  r.id = 4148;
  r.caption = "Options";
  platform_types::control list;
  list.kind = platform_types::control_kind::list_box;
  list.id = 4149;
  r.controls.push_back(list);
  return r;
}

// --- the current platform and its message boxes ---

const char* test_caption() { return "XRD Fourier Workbench"; }

struct caption_installed {
  caption_installed() { set_caption_source(test_caption); }
  ~caption_installed() { set_caption_source(nullptr); }
};

TEST(CurrentPlatform, ShownErrorsBecomeErrorBoxesOfTheInstalledPlatform) {
  caption_installed caption;
  headless_platform screen;
  platform* before = set_platform(&screen);
  error_reporter* previous = install_platform_reporter();
  EXPECT_EQ(current_platform(), &screen);
  global_error_message().append("Cannot load any more files: Maximum of ").append(32);
  show_error();
  EXPECT_EQ(screen.calls(), std::vector<std::string>{
                                "message error 'XRD Fourier Workbench' 'Cannot load any more files: Maximum of 32'"});
  EXPECT_TRUE(global_error_message().is_empty());

  // Without a platform the message still goes somewhere, and nothing breaks.
  set_platform(nullptr);
  report_error("nobody sees this box");
  EXPECT_EQ(screen.calls().size(), 1u);
  set_error_reporter(previous);
  EXPECT_EQ(set_platform(before), nullptr);
}

// --- questions ---

struct question_case {
  const char* name;
  std::function<void(headless_platform&)> ask;
  const char* text;  // in the failure
  const char* line;  // the call recorded
};

void PrintTo(const question_case& c, std::ostream* os) { *os << c.name; }

class UnansweredQuestion : public ::testing::TestWithParam<question_case> {};

TEST_P(UnansweredQuestion, FailsNamingTheQuestionAfterRecordingIt) {
  headless_platform screen;
  try {
    GetParam().ask(screen);
    FAIL() << "an unanswered question must not be answered by the platform";
  } catch (const unanswered_question& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().text), std::string::npos) << e.what();
  }
  ASSERT_FALSE(screen.calls().empty());
  EXPECT_EQ(screen.calls().back(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnansweredQuestion,
    ::testing::Values(question_case{"YesNo", [](headless_platform& p) { p.ask_yes_no("App", "Unload Anyway ?"); },
                                    "Unload Anyway ?", "ask 'Unload Anyway ?'"},
                      question_case{"FileDialog",
                                    [](headless_platform& p) {
                                      platform_types::file_request r;
                                      r.caption = "Save Project File";
                                      p.choose_file(r);
                                    },
                                    "Save Project File", "choose_file open 'Save Project File'"},
                      question_case{"ModalDialog",
                                    [](headless_platform& p) { p.run_modal(p.create_dialog(list_dialog(), {}, true)); },
                                    "Options", "run_modal 1"},
                      question_case{"PopupMenu",
                                    [](headless_platform& p) {
                                      p.popup_menu(platform_types::window_ref::frame(1), 10, 20,
                                                   {{3025, "Show all of this file", "", {}},
                                                    {0, "", "", {}},
                                                    {3022, "Unload", "", {}}});
                                    },
                                    "Show all of this file|-|Unload",
                                    "popup_menu frame 1 10 20 'Show all of this file|-|Unload'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Answers, AreUsedInTheOrderQueuedEachKindOnItsOwn) {
  headless_platform screen;
  screen.queue_yes_no(yes_no_reply::escape);
  screen.queue_files({"/a.xdd", "/b.xdd"});
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_popup(3022);
  EXPECT_EQ(screen.pending_answers(), 4u);
  EXPECT_FALSE(screen.ask_yes_no("App", "first"));
  EXPECT_TRUE(screen.ask_yes_no("App", "second"));
  const platform_types::file_answer files = screen.choose_file({});
  EXPECT_EQ(files.result, platform_types::file_answer::status::chosen);
  EXPECT_EQ(files.paths, (std::vector<std::string>{"/a.xdd", "/b.xdd"}));
  EXPECT_EQ(screen.popup_menu({}, 0, 0, {}), 3022);
  EXPECT_EQ(screen.pending_answers(), 0u);
  ASSERT_EQ(screen.questions().size(), 2u);
  EXPECT_EQ(screen.questions()[1].caption, "App");
}

// --- dialogs ---

struct dialog_listener : platform_types::dialog_events {
  std::vector<std::string> heard;
  std::function<void()> on_close;
  void on_close_box() override {
    heard.push_back("close");
    if (on_close) on_close();
  }
  void on_list_select(int control) override { heard.push_back("select " + std::to_string(control)); }
  void on_edit_enter(int control) override { heard.push_back("enter " + std::to_string(control)); }
};

TEST(HeadlessDialogs, KeepListsAsTheUserWouldSeeThem) {
  headless_platform screen;
  dialog_listener listener;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, false, &listener);
  EXPECT_FALSE(screen.dialog_shown(d)) << "modeless dialogs start hidden";
  for (const char* line : {"a", "b", "c"}) screen.list_add(d, 4149, line);
  screen.list_select(d, 4149, 2);
  EXPECT_EQ(screen.list_caret(d, 4149), 2);
  EXPECT_EQ(screen.list_selection(d, 4149), std::vector<int>{2});
  screen.user_selects(d, 4149, 0);
  EXPECT_EQ(screen.list_selection(d, 4149), std::vector<int>{0}) << "a single-selection list keeps one line";
  EXPECT_EQ(listener.heard, std::vector<std::string>{"select 4149"});
  EXPECT_THROW(screen.user_selects(d, 4149, 3), std::logic_error) << "there is no fourth line to click";

  screen.list_set_selected(d, 4149, 1, true);
  screen.list_set_selected(d, 4149, 2, true);
  EXPECT_EQ(screen.list_selection(d, 4149), (std::vector<int>{0, 1, 2}));
  screen.list_set_top_index(d, 4149, 1);
  EXPECT_EQ(screen.list_top_index(d, 4149), 1);
  EXPECT_EQ(screen.list_text(d, 4149, 1), "b");
  EXPECT_EQ(screen.list_text(d, 4149, 7), "");

  screen.list_clear(d, 4149);
  EXPECT_EQ(screen.list_count(d, 4149), 0);
  EXPECT_EQ(screen.list_caret(d, 4149), -1);
  EXPECT_TRUE(screen.list_selection(d, 4149).empty());
}

TEST(HeadlessDialogs, EditsAppendAndReplaceTheirText) {
  headless_platform screen;
  dialog_listener listener;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, false, &listener);
  screen.edit_set_text(d, 4233, "one\r\n");
  screen.edit_append(d, 4233, "two\r\n");
  EXPECT_EQ(screen.edit_text(d, 4233), "one\r\ntwo\r\n");
  screen.user_types(d, 4244, "12.5");
  screen.user_presses_enter(d, 4244);
  EXPECT_EQ(screen.edit_text(d, 4244), "12.5");
  EXPECT_EQ(listener.heard, std::vector<std::string>{"enter 4244"});
}

TEST(HeadlessDialogs, ADestroyedDialogHearsNothingMoreAndKeepsItsLastState) {
  headless_platform screen;
  dialog_listener listener;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, false, &listener);
  screen.list_add(d, 4149, "kept");
  // A handler that destroys its own window while it is being called.
  listener.on_close = [&] { screen.destroy_dialog(d); };
  screen.user_closes_dialog(d);
  EXPECT_FALSE(screen.dialog(d)->exists);
  EXPECT_EQ(screen.list_lines(d, 4149), std::vector<std::string>{"kept"});
  screen.list_add(d, 4149, "ignored");
  EXPECT_EQ(screen.list_lines(d, 4149), std::vector<std::string>{"kept"});
  EXPECT_THROW(screen.user_closes_dialog(d), std::logic_error);
  EXPECT_EQ(listener.heard, std::vector<std::string>{"close"});
}

TEST(HeadlessDialogs, AModalRunShowsTheDialogOnlyWhileTheUserActs) {
  headless_platform screen;
  const platform::dialog_id d = screen.create_dialog(list_dialog(), {}, true);
  bool shown_while_open = false;
  screen.queue_modal(true, [&](platform::dialog_id open) { shown_while_open = screen.dialog_shown(open); });
  EXPECT_TRUE(screen.run_modal(d));
  EXPECT_TRUE(shown_while_open);
  EXPECT_FALSE(screen.dialog_shown(d));
  EXPECT_EQ(screen.calls(), (std::vector<std::string>{"create_dialog 1 4148 'Options' modal", "run_modal 1"}));
}

// --- frames ---

struct frame_listener : platform_types::frame_events {
  std::string name;
  std::vector<std::string>* heard;
  bool may_close = true;
  frame_listener(std::string n, std::vector<std::string>* h) : name(std::move(n)), heard(h) {}
  void on_activate(bool active) override { heard->push_back(name + (active ? " active" : " inactive")); }
  void on_mouse(const mouse_event& e) override { heard->push_back(name + " mouse " + std::to_string(e.x)); }
  bool on_close() override { return may_close; }
  void on_paint(platform_types::surface& s) override {
    s.set_pen({0, 255, 255}, 1, platform_types::pen_style::dot);
    s.line(0, 10, s.width(), 10);
  }
};

TEST(HeadlessFrames, ANewChildBecomesActiveAndClosingOneActivatesTheLatestLeft) {
  headless_platform screen;
  std::vector<std::string> heard;
  frame_listener a("a", &heard), b("b", &heard), c("c", &heard);
  const platform::frame_id fa = screen.create_frame("", &a);
  const platform::frame_id fb = screen.create_frame("", &b);
  const platform::frame_id fc = screen.create_text_frame("TXT Report", &c);
  EXPECT_EQ(screen.active_frame(), fc);
  screen.user_activates(fa);
  EXPECT_EQ(screen.active_frame(), fa);
  screen.destroy_frame(fa);
  EXPECT_EQ(screen.active_frame(), fc) << "the most recent child left takes over";
  EXPECT_EQ(heard, (std::vector<std::string>{"a active", "a inactive", "b active", "b inactive", "c active",
                                             "c inactive", "a active", "c active"}));
  EXPECT_TRUE(screen.called("create_frame 1 ''"));
  EXPECT_TRUE(screen.called("create_text_frame 3 'TXT Report'"));
  EXPECT_TRUE(screen.frame(fc)->text_frame);
  (void)fb;
}

TEST(HeadlessFrames, AVetoKeepsAFrameOpenAndACaptureTakesTheMouse) {
  headless_platform screen;
  std::vector<std::string> heard;
  frame_listener a("a", &heard), b("b", &heard);
  const platform::frame_id fa = screen.create_frame("a.xdd", &a);
  const platform::frame_id fb = screen.create_frame("b.xdd", &b);
  a.may_close = false;
  EXPECT_FALSE(screen.user_closes_frame(fa));
  EXPECT_TRUE(screen.frame(fa)->exists);
  heard.clear();
  screen.capture_mouse(fa);
  screen.user_mouse(fb, {mouse_action::move, mouse_button::left, 7, 8});
  screen.release_mouse();
  screen.user_mouse(fb, {mouse_action::move, mouse_button::none, 9, 9});
  EXPECT_EQ(heard, (std::vector<std::string>{"a mouse 7", "b mouse 9"}));
  EXPECT_TRUE(screen.user_closes_frame(fb));
  EXPECT_FALSE(screen.frame(fb)->exists);
}

TEST(HeadlessPictures, RecordWhatIsDrawnAtTheSizeAsked) {
  headless_platform screen;
  std::vector<std::string> heard;
  frame_listener view("view", &heard);
  const platform::frame_id f = screen.create_frame("", &view);
  screen.user_resizes(f, 200, 100);
  EXPECT_EQ(screen.user_paints(f), (std::vector<std::string>{"pen 0 255 255 1 dot", "line 0 10 200 10"}));

  const platform::picture_id p = screen.create_picture(200, 100);
  platform_types::surface* s = screen.picture_surface(p);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->width(), 200);
  EXPECT_EQ(s->height(), 100);
  s->set_fill({0, 0, 0});
  s->fill_rect(0, 0, 201, 101);
  s->polyline({0, 99, 10, 50, 20, 0});
  s->text(4, 4, "FWHM");
  const platform::picture_id cache = screen.create_picture(200, 100);
  screen.copy_picture_into(p, cache);
  screen.copy_picture(cache, f);
  EXPECT_EQ(screen.picture(p)->calls(), (std::vector<std::string>{"fill 0 0 0", "fill_rect 0 0 201 101",
                                                                  "polyline 0 99 10 50 20 0", "text 4 4 'FWHM'"}));
  EXPECT_EQ(screen.picture(cache)->calls(), std::vector<std::string>{"picture 1"});
  EXPECT_TRUE(screen.called("copy_picture 2 1"));
  screen.destroy_picture(p);
  EXPECT_EQ(screen.picture_surface(p), nullptr);
}

// --- the application ---

struct app_listener : platform_types::app_events {
  std::vector<int> commands;
  bool may_close = false;
  int idles = 0;
  void on_command(int id) override { commands.push_back(id); }
  platform_types::command_state on_enable(int id) override { return {id != 1284, id == 4248}; }
  bool on_can_close() override { return may_close; }
  void on_idle() override { ++idles; }
};

TEST(HeadlessApplication, PassesTheUsersCommandsAndClosesOnlyWhenAllowed) {
  headless_platform screen;
  EXPECT_THROW(screen.user_command(3153), std::logic_error) << "nobody listens yet";
  app_listener app;
  screen.set_app_events(&app);
  screen.user_command(3153);
  screen.user_command(4156);
  EXPECT_EQ(app.commands, (std::vector<int>{3153, 4156}));
  EXPECT_FALSE(screen.user_enabler(1284).enabled);
  EXPECT_TRUE(screen.user_enabler(4248).checked);
  screen.user_idles();
  EXPECT_EQ(app.idles, 1);
  EXPECT_FALSE(screen.user_closes_main());
  EXPECT_FALSE(screen.quit_requested());
  app.may_close = true;
  EXPECT_TRUE(screen.user_closes_main());
  EXPECT_TRUE(screen.quit_requested());
  screen.run();
  EXPECT_EQ(screen.calls(), std::vector<std::string>{"quit"}) << "a headless run returns at once and shows nothing";
}

TEST(HeadlessApplication, KeepsTheMainWindowsTexts) {
  headless_platform screen;
  screen.set_main_title("XRD Fourier Workbench");
  screen.set_status_text(2052, "x(1.000, 2.000)  y(0, 5)");
  screen.set_control_buttons({{1014, 0, 0}, {0, 0, 2}, {4010, 0, 0, 4100, true, {255, 0, 0}}});
  EXPECT_EQ(screen.main_title(), "XRD Fourier Workbench");
  EXPECT_EQ(screen.status_text(2052), "x(1.000, 2.000)  y(0, 5)");
  EXPECT_EQ(screen.status_text(2050), "");
  ASSERT_EQ(screen.control_buttons().size(), 3u);
  EXPECT_EQ(screen.control_buttons()[2].tint, (platform_types::colour{255, 0, 0}));
  EXPECT_EQ(screen.calls(),
            (std::vector<std::string>{"set_main_title 'XRD Fourier Workbench'",
                                      "set_status_text 2052 'x(1.000, 2.000)  y(0, 5)'", "set_control_buttons 3"}));
}

}  // namespace
