#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPointer>

#include "app/platform/platform.h"

class QDockWidget;
class QMdiSubWindow;
class QPlainTextEdit;
class QTimer;
class dialog_window;
class graph_view_widget;
class main_window;
class qt_surface;

// The platform layer on Qt 6 Widgets: the real windows of the workbench.
//
// A program that plays the user (the GUI tests) may queue answers for the
// questions that would otherwise wait for a person: file dialogs, yes/no
// boxes and popup menus take a queued answer when there is one, and message
// boxes can be collected instead of shown.
class qt_platform : public QObject, public platform {
  Q_OBJECT
 public:
  qt_platform();
  ~qt_platform() override;

  main_window& window() { return *window_; }
  // The widget of a graph view's frame, or null.
  graph_view_widget* frame_widget(frame_id f) const;
  QMdiSubWindow* frame_window(frame_id f) const;
  dialog_window* dialog_widget(dialog_id d) const;
  // The frame shown in a sub-window, or 0.
  frame_id frame_of(QMdiSubWindow* w) const;

  // --- scripted answers ---
  std::deque<platform_types::file_answer> queued_files;
  std::deque<bool> queued_yes_no;
  std::deque<int> queued_popups;
  // Answers of the figure size dialog; nullopt cancels it.
  std::deque<std::optional<platform_types::figure_size>> queued_figure_sizes;
  bool collect_messages = false;
  std::vector<std::string> messages;

  // --- platform ---
  void message(platform_types::box_kind kind, const std::string& caption, const std::string& text) override;
  void set_clipboard_text(const std::string& text) override;
  void opened(const std::string& path) override;
  // In the application's QSettings, under the key as given.
  std::string setting(const std::string& key) const override;
  void set_setting(const std::string& key, const std::string& value) override;
  bool ask_yes_no(const std::string& caption, const std::string& text) override;
  platform_types::file_answer choose_file(const platform_types::file_request& request) override;
  int popup_menu(platform_types::window_ref owner, int x, int y,
                 const std::vector<platform_types::menu_item>& items) override;
  bool ask_figure_size(platform_types::figure_size& size, bool resolution, platform_types::window_ref parent) override;
  // A PNG through Qt's image writer, an SVG through Qt SVG's generator.
  bool write_figure(const std::string& path, const platform_types::figure_size& size,
                    const std::function<void(platform_types::surface&)>& draw, std::string& why) override;

  void set_app_events(platform_types::app_events* events) override;
  void set_main_title(const std::string& title) override;
  void set_menu(const std::vector<platform_types::menu_item>& popups) override;
  void set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) override;
  void set_status_text(int gadget_id, const std::string& text) override;
  void set_control_buttons(const std::vector<platform_types::gadget>& buttons) override;

  frame_id create_frame(const std::string& title, platform_types::frame_events* events = nullptr) override;
  frame_id create_text_frame(const std::string& title, platform_types::frame_events* events = nullptr) override;
  void destroy_frame(frame_id frame) override;
  void set_frame_title(frame_id frame, const std::string& title) override;
  void activate_frame(frame_id frame) override;
  frame_id active_frame() const override;
  void close_frame(frame_id frame) override;
  void activate_next_frame() override;
  int frame_count() const override;
  void focus_frame(frame_id frame) override;
  void show_client(bool shown) override;
  void tile_frames(bool horizontal = false) override;
  void cascade_frames() override;
  void arrange_icons() override;
  void invalidate_frame(frame_id frame) override;
  int frame_width(frame_id frame) const override;
  int frame_height(frame_id frame) const override;
  bool frame_minimised(frame_id frame) const override;
  bool frame_maximised(frame_id frame) const override;
  void set_frame_cursor(frame_id frame, int cursor_id) override;
  void capture_mouse(frame_id frame) override;
  void release_mouse() override;
  void set_frame_text(frame_id frame, const std::string& text) override;
  std::string frame_text(frame_id frame) const override;
  bool frame_text_modified(frame_id frame) const override;
  void set_frame_text_modified(frame_id frame, bool modified) override;
  void set_frame_font(frame_id frame, const platform_types::font_description& font) override;

  dialog_id create_dialog(const platform_types::dialog_resource& resource, platform_types::window_ref parent,
                          bool modal, platform_types::dialog_events* events = nullptr) override;
  dialog_id create_form(frame_id frame, const platform_types::dialog_resource& layout,
                        platform_types::dialog_events* events = nullptr) override;
  void destroy_dialog(dialog_id dialog) override;
  void show_dialog(dialog_id dialog, bool shown) override;
  bool dialog_shown(dialog_id dialog) const override;
  bool run_modal(dialog_id dialog) override;
  void set_dialog_caption(dialog_id dialog, const std::string& caption) override;
  void add_control(dialog_id dialog, const platform_types::control& c) override;
  void remove_control(dialog_id dialog, int control) override;
  void set_control_font(dialog_id dialog, int control, const platform_types::font_description& font) override;

  void list_add(dialog_id dialog, int control, const std::string& line) override;
  void list_clear(dialog_id dialog, int control) override;
  void list_select(dialog_id dialog, int control, int index) override;
  void list_set_selected(dialog_id dialog, int control, int index, bool selected) override;
  std::vector<int> list_selection(dialog_id dialog, int control) const override;
  int list_caret(dialog_id dialog, int control) const override;
  int list_count(dialog_id dialog, int control) const override;
  std::string list_text(dialog_id dialog, int control, int index) const override;
  void list_replace(dialog_id dialog, int control, int index, const std::string& line) override;
  int list_top_index(dialog_id dialog, int control) const override;
  void list_set_top_index(dialog_id dialog, int control, int index) override;

  void edit_set_text(dialog_id dialog, int control, const std::string& text) override;
  void edit_append(dialog_id dialog, int control, const std::string& text) override;
  std::string edit_text(dialog_id dialog, int control) const override;

  picture_id create_picture(int width, int height) override;
  platform_types::surface* picture_surface(picture_id picture) override;
  void copy_picture(picture_id picture, frame_id frame) override;
  void copy_picture_into(picture_id from, picture_id to) override;
  void paint_picture(picture_id picture, platform_types::surface& target) override;
  void destroy_picture(picture_id picture) override;

  void set_busy(bool busy) override;
  void show_progress(int done, int total) override;

  void run() override;
  void quit() override;

 private:
  struct frame_rec {
    QPointer<QMdiSubWindow> window;
    graph_view_widget* view = nullptr;
    QPlainTextEdit* text = nullptr;
    platform_types::frame_events* events = nullptr;
  };
  struct picture_rec {
    QImage image;
    std::unique_ptr<qt_surface> surface;
  };

  frame_id add_frame(const std::string& title, QWidget* client, platform_types::frame_events* events);
  QWidget* parent_of(platform_types::window_ref owner) const;
  void dock_under_views(dialog_window* d, const std::string& caption);
  // The dock a dialog is shown in, or null for a window of its own.
  static QDockWidget* dock_of(dialog_window* d);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void activated(QMdiSubWindow* w);

  std::unique_ptr<main_window> window_;
  platform_types::app_events* events_ = nullptr;
  std::map<frame_id, frame_rec> frames_;
  std::map<dialog_id, QPointer<dialog_window>> dialogs_;
  std::map<picture_id, picture_rec> pictures_;
  frame_id next_frame_ = 1;
  dialog_id next_dialog_ = 1;
  picture_id next_picture_ = 1;
  frame_id active_ = 0;
  // How the views were last tiled (horizontal or not), until a window comes
  // or goes or they are cascaded; the tiling follows the client's size.
  std::optional<bool> tiled_;
  bool retile_pending_ = false;
  // The MDI client's viewport, watched for its size.
  QPointer<QWidget> client_viewport_;
  QTimer* idle_ = nullptr;
  int busy_depth_ = 0;
};
