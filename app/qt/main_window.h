#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QStringList>

#include "app/platform/platform.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

// The main frame: the MDI client, the menu, the control bar and the status
// bar. Commands and enablers go to the application's events; menus ask
// their enablers when they open, the control bar's at idle time.
class main_window : public QMainWindow {
  Q_OBJECT
 public:
  main_window();
  ~main_window() override;

  void set_events(platform_types::app_events* events) { events_ = events; }
  platform_types::app_events* events() const { return events_; }
  QMdiArea* mdi() const { return mdi_; }
  QToolBar* control_bar() const { return bar_; }

  void set_menu(const std::vector<platform_types::menu_item>& popups);
  // The action of a command id in the menu, or null.
  QAction* action(int id) const;
  void set_status_gadgets(const std::vector<platform_types::gadget>& gadgets);
  void set_status_text(int gadget_id, const std::string& text);
  std::string status_text(int gadget_id) const;
  // The buttons are rebuilt once control returns to the event loop: a button
  // may be replaced from inside its own click.
  void set_control_buttons(const std::vector<platform_types::gadget>& buttons);
  void rebuild_control_bar();
  // The button of a control-bar id, or null.
  QWidget* control_button(int id) const;

  // Closing for good (Exit was accepted): the next close is not asked again.
  void close_accepted();
  // What opens paths dropped on the window or chosen from the recent files.
  void set_path_opener(std::function<void(const std::vector<std::string>&)> opener) { open_paths_ = std::move(opener); }
  // Remembers files and projects the user opened, most recent first.
  void add_recent(const std::vector<std::string>& paths);
  QStringList recent() const;

  void update_enablers(QMenu* menu);
  // The Window menu's list of the open views and texts, made again each time
  // the menu opens: the active one ticked, choosing one activates it.
  void list_windows();
  void update_control_enablers();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  QMenu* build_menu(const platform_types::menu_item& popup);
  void build_recent_menu();
  void command(int id);
  // A command's key was pressed.
  void key_command(int id);

  platform_types::app_events* events_ = nullptr;
  QMdiArea* mdi_ = nullptr;
  QToolBar* bar_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QMenu* window_menu_ = nullptr;
  std::vector<QAction*> window_entries_;
  std::map<int, QAction*> actions_;
  std::map<int, QLabel*> gadgets_;
  std::vector<platform_types::gadget> buttons_;
  std::map<int, QWidget*> button_widgets_;
  bool rebuild_pending_ = false;
  bool closing_ = false;
  std::function<void(const std::vector<std::string>&)> open_paths_;
};
