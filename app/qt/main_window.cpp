#include "app/qt/main_window.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/qt/icons.h"
#include "app/platform/command_ids.h"
#include "app/shell/menu_commands.h"

namespace {

constexpr int max_recent = 8;
// The property of a menu action that holds the menu's own text.
constexpr const char* own_text_property = "own_text";

QString qs(const std::string& s) { return QString::fromStdString(s); }

// One spelling per file: links and ".." resolved where the file exists.
QString canonical(const QString& path) {
  const QFileInfo info(path);
  const QString resolved = info.canonicalFilePath();
  return resolved.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : resolved;
}

bool is_file_button(int id) { return id >= view_command::first_file_button && id <= view_command::last_file_button; }

// The commands that are toggles: their menu items carry a check mark.
bool is_toggle(int id) {
  namespace vc = view_command;
  return id == vc::fix_y1_zero || id == vc::fix_y2_max || id == vc::fix_y1_min ||
         (id >= vc::fix_y1_zero_all && id <= vc::fix_y1_min_all) || (id >= vc::first_display && id <= vc::last_display);
}

// A control-bar button. The scroll and extend buttons take a step on every
// press and, while held, on every move of the mouse; a file button toggles
// its file with a left click and opens its menu with a right press.
class bar_button : public QToolButton {
 public:
  bar_button(int id, main_window& window) : QToolButton(&window), id_(id), window_(window) {
    setAutoRaise(true);
    if (is_file_button(id))
      connect(this, &QToolButton::clicked, this, [this] {
        if (auto* e = window_.events()) e->on_command(id_);
      });
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    const bool right = e->button() == Qt::RightButton;
    if (is_file_button(id_)) {
      if (!right) {
        QToolButton::mousePressEvent(e);
        return;
      }
      if (auto* ev = window_.events()) ev->on_button_press(id_, platform_types::mouse_button::right);
      return;
    }
    held_ = right ? platform_types::mouse_button::right : platform_types::mouse_button::left;
    setDown(true);
    step();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (held_ == platform_types::mouse_button::none) {
      QToolButton::mouseMoveEvent(e);
      return;
    }
    // The held button keeps the mouse, but only moves over it take a step.
    const bool over = rect().contains(e->position().toPoint());
    setDown(over);
    if (over) step();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (held_ != platform_types::mouse_button::none) {
      held_ = platform_types::mouse_button::none;
      setDown(false);
      return;
    }
    QToolButton::mouseReleaseEvent(e);
  }
  void enterEvent(QEnterEvent* e) override {
    QToolButton::enterEvent(e);
    if (auto* ev = window_.events()) ev->on_button_hover(id_);
  }
  // A file's hint is shown while the mouse is over its button only.
  void leaveEvent(QEvent* e) override {
    QToolButton::leaveEvent(e);
    if (is_file_button(id_)) window_.statusBar()->clearMessage();
  }

 private:
  void step() {
    if (auto* e = window_.events()) e->on_button_press(id_, held_);
  }

  int id_;
  main_window& window_;
  platform_types::mouse_button held_ = platform_types::mouse_button::none;
};

std::vector<std::string> local_paths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

}  // namespace

main_window::main_window() {
  mdi_ = new QMdiArea(this);
  // The client never shows scroll bars: views are tiled or cascaded.
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mdi_->setBackground(QBrush(QColor(96, 96, 96)));
  setCentralWidget(mdi_);
  bar_ = addToolBar("Control bar");
  bar_->setObjectName("controlbar");
  bar_->setMovable(false);
  bar_->setIconSize(QSize(20, 20));
  statusBar()->setObjectName("status_bar");
  setAcceptDrops(true);
  // Ctrl+S saves the project from anywhere in the window. Not the menu
  // item's own shortcut: the item's enabled state is brought up to date only
  // when its menu opens, and a key must act on the state of now.
  auto* save = new QShortcut(QKeySequence::Save, this);
  connect(save, &QShortcut::activated, this, [this] {
    if (events_ && events_->on_enable(command_id::save_project).enabled) command(command_id::save_project);
  });
  setWindowIcon(application_icon());
  QSettings settings;
  restoreGeometry(settings.value("window/geometry").toByteArray());
  if (!settings.contains("window/geometry")) resize(1100, 720);
}

main_window::~main_window() = default;

void main_window::command(int id) {
  if (events_) events_->on_command(id);
}

QMenu* main_window::build_menu(const platform_types::menu_item& popup) {
  auto* menu = new QMenu(qs(popup.text), this);
  for (const platform_types::menu_item& item : popup.items) {
    if (!item.items.empty()) {
      menu->addMenu(build_menu(item));
    } else if (item.id == 0) {
      menu->addSeparator();
    } else {
      QString text = qs(item.text);
      if (item.id == command_id::save_project)
        text += "\t" + QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText);
      QAction* a = menu->addAction(text);
      a->setStatusTip(qs(item.hint));
      a->setData(item.id);
      // Kept for the items whose text follows what they will do ("&Undo
      // drag of fe110.xdd"), to go back to when there is nothing to do.
      a->setProperty(own_text_property, qs(item.text));
      a->setCheckable(is_toggle(item.id));
      const int id = item.id;
      connect(a, &QAction::triggered, this, [this, id] { command(id); });
      actions_[id] = a;
    }
    // The recent files come before the last group of the File menu (Exit).
    if (item.id == command_id::save_project_as && !recent_menu_) {
      menu->addSeparator();
      recent_menu_ = menu->addMenu("Recent &files");
      build_recent_menu();
    }
  }
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { update_enablers(menu); });
  return menu;
}

void main_window::set_menu(const std::vector<platform_types::menu_item>& popups) {
  menuBar()->clear();
  actions_.clear();
  recent_menu_ = nullptr;
  for (const platform_types::menu_item& popup : popups) {
    QMenu* m = build_menu(popup);
    // Help stands at the right edge where the style allows it.
    if (popup.text == "&Help") menuBar()->addSeparator();
    menuBar()->addMenu(m);
  }
}

QAction* main_window::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void main_window::update_enablers(QMenu* menu) {
  if (!events_ || !menu) return;
  for (QAction* a : menu->actions()) {
    if (a->menu()) {
      update_enablers(a->menu());
      continue;
    }
    bool ok = false;
    const int id = a->data().toInt(&ok);
    if (!ok || id == 0) continue;
    const platform_types::command_state state = events_->on_enable(id);
    a->setEnabled(state.enabled);
    // The shortcut shown after a tab stays whatever the text says.
    const QString now = a->text();
    const qsizetype tab = now.indexOf('\t');
    const QString text = state.text.empty() ? a->property(own_text_property).toString() : qs(state.text);
    const QString shortcut = tab < 0 ? QString() : now.mid(tab);
    if (!text.isEmpty() && text + shortcut != now) a->setText(text + shortcut);
    if (!a->isCheckable() && state.checked) a->setCheckable(true);
    if (a->isCheckable()) a->setChecked(state.checked);
  }
}

void main_window::update_control_enablers() {
  if (!events_) return;
  for (auto& [id, w] : button_widgets_)
    if (!is_file_button(id)) w->setEnabled(events_->on_enable(id).enabled);
}

void main_window::set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) {
  for (auto& [id, label] : gadgets_) delete label;
  gadgets_.clear();
  const QFontMetrics m(statusBar()->font());
  for (const platform_types::gadget& g : gadgets) {
    if (g.id == 0) continue;
    auto* label = new QLabel(statusBar());
    label->setObjectName(QString("gadget_%1").arg(g.id));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(m.averageCharWidth() * g.width_chars + 8);
    statusBar()->addPermanentWidget(label);
    gadgets_[g.id] = label;
  }
}

void main_window::set_status_text(int gadget_id, const std::string& text) {
  if (gadget_id == 0) {
    statusBar()->showMessage(qs(text));
    return;
  }
  auto it = gadgets_.find(gadget_id);
  if (it != gadgets_.end()) it->second->setText(qs(text));
}

std::string main_window::status_text(int gadget_id) const {
  if (gadget_id == 0) return statusBar()->currentMessage().toStdString();
  auto it = gadgets_.find(gadget_id);
  return it == gadgets_.end() ? std::string() : it->second->text().toStdString();
}

void main_window::set_control_buttons(const std::vector<platform_types::gadget>& buttons) {
  buttons_ = buttons;
  if (rebuild_pending_) return;
  rebuild_pending_ = true;
  QTimer::singleShot(0, this, [this] { rebuild_control_bar(); });
}

void main_window::rebuild_control_bar() {
  rebuild_pending_ = false;
  for (auto& [id, w] : button_widgets_) w->deleteLater();
  button_widgets_.clear();
  bar_->clear();
  for (const platform_types::gadget& g : buttons_) {
    if (g.id == 0) {
      bar_->addSeparator();
      continue;
    }
    auto* b = new bar_button(g.id, *this);
    b->setObjectName(QString("button_%1").arg(g.id));
    b->setIcon(control_icon(g));
    if (g.id == view_command::scroll) b->setToolTip("Scroll: left button to the left, right button to the right");
    if (g.id == view_command::extend_x) b->setToolTip("Extend x: left button to the left, right button to the right");
    if (g.id == view_command::extend_y) b->setToolTip("Extend y: left button upwards, right button downwards");
    // The glyph tells the state: a tick while the focused view shows the file.
    b->setProperty("ticked", g.bitmap == bar_bitmap::tick);
    bar_->addWidget(b);
    button_widgets_[g.id] = b;
  }
  update_control_enablers();
}

QWidget* main_window::control_button(int id) const {
  auto it = button_widgets_.find(id);
  return it == button_widgets_.end() ? nullptr : it->second;
}

void main_window::close_accepted() {
  closing_ = true;
  close();
}

void main_window::closeEvent(QCloseEvent* e) {
  if (!closing_ && events_ && !events_->on_can_close()) {
    e->ignore();
    return;
  }
  QSettings().setValue("window/geometry", saveGeometry());
  e->accept();
}

void main_window::dragEnterEvent(QDragEnterEvent* e) {
  if (!local_paths(e->mimeData()).empty()) e->acceptProposedAction();
}

void main_window::dropEvent(QDropEvent* e) {
  const std::vector<std::string> paths = local_paths(e->mimeData());
  if (paths.empty() || !open_paths_) return;
  e->acceptProposedAction();
  open_paths_(paths);
}

QStringList main_window::recent() const {
  // Lists written before paths were made canonical may hold one file twice.
  QStringList list;
  for (const QString& path : QSettings().value("recent/files").toStringList())
    if (const QString full = canonical(path); !list.contains(full)) list << full;
  return list;
}

void main_window::add_recent(const std::vector<std::string>& paths) {
  QStringList list = recent();
  for (const std::string& p : paths) {
    const QString full = canonical(qs(p));
    list.removeAll(full);
    list.prepend(full);
  }
  while (list.size() > max_recent) list.removeLast();
  QSettings().setValue("recent/files", list);
  build_recent_menu();
}

void main_window::build_recent_menu() {
  if (!recent_menu_) return;
  recent_menu_->clear();
  // A file that went since cannot be opened again.
  QStringList list;
  for (const QString& path : recent())
    if (QFileInfo(path).isFile()) list << path;
  recent_menu_->setToolTipsVisible(true);
  int n = 0;
  for (const QString& path : list) {
    const QFileInfo info(path);
    // Two files of one name are told apart by their folders.
    const bool shared_name = std::count_if(list.begin(), list.end(), [&](const QString& other) {
                               return QFileInfo(other).fileName() == info.fileName();
                             }) > 1;
    const QString label = shared_name ? QString("%1 (%2)").arg(info.fileName(), info.absolutePath()) : info.fileName();
    QAction* a = recent_menu_->addAction(QString("&%1 %2").arg(++n).arg(label));
    a->setStatusTip(path);
    a->setToolTip(path);
    connect(a, &QAction::triggered, this, [this, path] {
      if (open_paths_) open_paths_({path.toStdString()});
    });
  }
  recent_menu_->setEnabled(!list.isEmpty());
}
