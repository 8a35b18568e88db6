#include "app/qt/qt_platform.h"

#include <cmath>
#include <filesystem>
#include <string_view>
#include <utility>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDockWidget>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QThread>
#include <QTimer>

#include "app/platform/figure_file.h"
#include "app/qt/dialog_window.h"
#include "app/qt/figure_size_dialog.h"
#include "app/qt/graph_view_widget.h"
#include "app/qt/icons.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_surface.h"
#include "app/qt/shortcuts.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The dialog of the measures' results ("Tempory output"), which the
// workbench docks under the views.
constexpr int docked_output_resource = 4232;

// How often the application's idle work runs (the deletion bin, the control
// bar's enablers).
constexpr int idle_interval_ms = 200;

QMessageBox::Icon icon_of(platform_types::box_kind kind) {
  switch (kind) {
    case platform_types::box_kind::information:
      return QMessageBox::Information;
    case platform_types::box_kind::question:
      return QMessageBox::Question;
    case platform_types::box_kind::error:
    case platform_types::box_kind::warning:
      break;
  }
  return QMessageBox::Warning;
}

// A filter entry as the file dialog shows it: "XDD Files (*.xdd)".
QString filter_entry(const platform_types::file_filter& f, const std::string& default_extension) {
  std::string pattern = f.pattern;
  // A pattern without a wildcard is a proposed file: its entry shows its
  // kind instead.
  if (pattern.find('*') == std::string::npos) {
    const std::size_t dot = pattern.find_last_of('.');
    pattern = "*." + (dot == std::string::npos ? default_extension : pattern.substr(dot + 1));
  }
  // A name that shows its own pattern ("XDD Files (*.XDD)") shows the one
  // the dialog matches instead, once.
  std::string name = f.name;
  if (const std::size_t open = name.rfind(" ("); open != std::string::npos && name.back() == ')') name.erase(open);
  return qs(name + " (" + pattern + ")");
}

}  // namespace

qt_platform::qt_platform() : window_(std::make_unique<main_window>()) {
  connect(window_->mdi(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) { activated(w); });
  idle_ = new QTimer(this);
  idle_->setInterval(idle_interval_ms);
  connect(idle_, &QTimer::timeout, this, [this] {
    // Idle work belongs to the main loop only: inside a dialog's own loop a
    // handler that put something into the deletion bin may still be running.
    if (QThread::currentThread()->loopLevel() > 1) return;
    if (events_) events_->on_idle();
    window_->update_control_enablers();
  });
  idle_->start();
  client_viewport_ = window_->mdi()->viewport();
  client_viewport_->installEventFilter(this);
}

qt_platform::~qt_platform() {
  // Nothing may call back into the application while the windows go.
  idle_->stop();
  if (client_viewport_) client_viewport_->removeEventFilter(this);
  window_->set_events(nullptr);
  for (auto& [id, f] : frames_) {
    f.events = nullptr;
    if (f.view) f.view->forget_events();
  }
  for (auto& [id, d] : dialogs_)
    if (d) d->forget_events();
}

// --- message boxes and questions ---

void qt_platform::opened(const std::string& path) { window_->add_recent({path}); }

std::string qt_platform::setting(const std::string& key) const {
  return QSettings().value(QString::fromStdString(key)).toString().toStdString();
}

void qt_platform::set_setting(const std::string& key, const std::string& value) {
  QSettings().setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void qt_platform::set_clipboard_text(const std::string& text) {
  if (QClipboard* board = QGuiApplication::clipboard()) board->setText(qs(text));
}

void qt_platform::message(platform_types::box_kind kind, const std::string& caption, const std::string& text) {
  if (collect_messages) {
    messages.push_back(text);
    return;
  }
  QMessageBox box(icon_of(kind), qs(caption), qs(text), QMessageBox::Ok, window_.get());
  box.exec();
}

bool qt_platform::ask_yes_no(const std::string& caption, const std::string& text) {
  if (!queued_yes_no.empty()) {
    const bool yes = queued_yes_no.front();
    queued_yes_no.pop_front();
    return yes;
  }
  return QMessageBox::question(window_.get(), qs(caption), qs(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

platform_types::file_answer qt_platform::choose_file(const platform_types::file_request& request) {
  platform_types::file_answer answer;
  if (!queued_files.empty()) {
    answer = queued_files.front();
    queued_files.pop_front();
  } else {
    QFileDialog dialog(parent_of(request.parent), qs(request.caption));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save            ? QFileDialog::AnyFile
                       : request.multiple      ? QFileDialog::ExistingFiles
                       : request.file_must_exist ? QFileDialog::ExistingFile
                                               : QFileDialog::AnyFile);
    if (!request.overwrite_prompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    std::string proposed = request.file;
    for (const platform_types::file_filter& f : request.filters) {
      filters << filter_entry(f, request.default_extension);
      if (proposed.empty() && f.pattern.find('*') == std::string::npos) proposed = f.pattern;
    }
    filters << "All files (*)";
    dialog.setNameFilters(filters);
    if (!request.default_extension.empty()) dialog.setDefaultSuffix(qs(request.default_extension));
    QSettings settings;
    const QString start = request.directory.empty() ? settings.value("files/last_directory").toString()
                                                    : qs(request.directory);
    if (!start.isEmpty()) dialog.setDirectory(start);
    if (!proposed.empty()) dialog.selectFile(qs(proposed));
    // Load Data asks, below the files, the wavelength of those that do not
    // give one; Qt's own dialog, since a system dialog takes no field.
    QLineEdit* wavelength = nullptr;
    if (request.offer_wavelength) {
      dialog.setOption(QFileDialog::DontUseNativeDialog);
      if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        auto* label = new QLabel(QString::fromUtf8("Wavelength (Å):"), &dialog);
        wavelength = new QLineEdit(&dialog);
        wavelength->setObjectName("load_data_wavelength");
        wavelength->setPlaceholderText("for files without one; empty: the default is assumed");
        label->setBuddy(wavelength);
        grid->addWidget(label, row, 0);
        grid->addWidget(wavelength, row, 1, 1, grid->columnCount() - 1);
      }
    }
    if (dialog.exec() != QDialog::Accepted) return answer;
    answer.result = platform_types::file_answer::status::chosen;
    if (wavelength) answer.wavelength = wavelength->text().trimmed().toStdString();
    for (const QString& f : dialog.selectedFiles()) answer.paths.push_back(f.toStdString());
    settings.setValue("files/last_directory", dialog.directory().absolutePath());
  }
  return answer;
}

int qt_platform::popup_menu(platform_types::window_ref owner, int x, int y,
                            const std::vector<platform_types::menu_item>& items) {
  if (!queued_popups.empty()) {
    const int id = queued_popups.front();
    queued_popups.pop_front();
    return id;
  }
  QMenu menu(window_.get());
  for (const platform_types::menu_item& item : items) {
    if (item.id == 0) {
      menu.addSeparator();
      continue;
    }
    menu.addAction(qs(item.text))->setData(item.id);
  }
  QWidget* at = parent_of(owner);
  const QPoint where = x < 0 || y < 0 ? QCursor::pos() : at->mapToGlobal(QPoint(x, y));
  QAction* chosen = menu.exec(where);
  return chosen ? chosen->data().toInt() : 0;
}

// --- figures ---

bool qt_platform::ask_figure_size(platform_types::figure_size& size, bool resolution,
                                  platform_types::window_ref parent) {
  if (!queued_figure_sizes.empty()) {
    const std::optional<platform_types::figure_size> answer = queued_figure_sizes.front();
    queued_figure_sizes.pop_front();
    if (answer) size = *answer;
    return answer.has_value();
  }
  figure_size_dialog dialog(size, resolution, parent_of(parent));
  if (dialog.exec() != QDialog::Accepted) return false;
  size = dialog.chosen();
  return true;
}

bool qt_platform::write_figure(const std::string& path, const platform_types::figure_size& size,
                               const std::function<void(platform_types::surface&)>& draw, std::string& why) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (figure_format_of(path) == figure_format::svg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(size.width, size.height));
    generator.setViewBox(QRect(0, 0, size.width, size.height));
    // A pixel of the drawing is a CSS pixel, 1/96 inch, as on the screen.
    generator.setResolution(96);
    generator.setTitle(qs(std::filesystem::path(path).filename().string()));
    QPainter painter(&generator);
    qt_surface s(painter, size.width, size.height);
    draw(s);
    painter.end();
  } else {
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    // Dots per metre, as PNG marks its resolution.
    const int dots = static_cast<int>(std::lround(size.dpi / 0.0254));
    image.setDotsPerMeterX(dots);
    image.setDotsPerMeterY(dots);
    {
      qt_surface s(image, size.width, size.height);
      draw(s);
    }
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
      why = path + ": Cannot write file: " + writer.errorString().toStdString();
      return false;
    }
  }
  return write_file_replacing(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), why);
}

// --- main window ---

void qt_platform::set_app_events(platform_types::app_events* events) {
  events_ = events;
  window_->set_events(events);
}

void qt_platform::set_main_title(const std::string& title) { window_->setWindowTitle(qs(title)); }

void qt_platform::set_menu(const std::vector<platform_types::menu_item>& popups) { window_->set_menu(popups); }

void qt_platform::set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) {
  window_->set_status_gadgets(gadgets);
}

void qt_platform::set_status_text(int gadget_id, const std::string& text) { window_->set_status_text(gadget_id, text); }

void qt_platform::set_control_buttons(const std::vector<platform_types::gadget>& buttons) {
  window_->set_control_buttons(buttons);
}

// --- frames ---

platform::frame_id qt_platform::add_frame(const std::string& title, QWidget* client,
                                          platform_types::frame_events* events) {
  const frame_id id = next_frame_++;
  tiled_.reset();
  auto* sub = new QMdiSubWindow;
  sub->setWidget(client);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(qs(title));
  sub->setWindowIcon(application_icon());
  sub->installEventFilter(this);
  // The window menu of a child has keys of its own (Ctrl+W closes it on
  // some systems); the workbench's keys are the main window's, or they would
  // be ambiguous and neither would act.
  if (QMenu* menu = sub->systemMenu())
    for (QAction* a : menu->actions()) {
      QList<QKeySequence> kept;
      for (const QKeySequence& k : a->shortcuts())
        if (!is_command_key(k)) kept << k;
      a->setShortcuts(kept);
    }
  frame_rec& rec = frames_[id];
  rec.window = sub;
  rec.events = events;
  rec.view = qobject_cast<graph_view_widget*>(client);
  rec.text = qobject_cast<QPlainTextEdit*>(client);
  window_->mdi()->addSubWindow(sub);
  sub->resize(640, 420);
  sub->show();
  return id;
}

platform::frame_id qt_platform::create_frame(const std::string& title, platform_types::frame_events* events) {
  return add_frame(title, new graph_view_widget(events), events);
}

platform::frame_id qt_platform::create_text_frame(const std::string& title, platform_types::frame_events* events) {
  return add_frame(title, new QPlainTextEdit, events);
}

platform::frame_id qt_platform::frame_of(QMdiSubWindow* w) const {
  if (!w) return 0;
  for (const auto& [id, f] : frames_)
    if (f.window == w) return id;
  return 0;
}

void qt_platform::activated(QMdiSubWindow* w) {
  // The whole main window going inactive (a dialog, another program) is no
  // change of the active child: the view keeps its focus for when it comes
  // back.
  if (!w) return;
  const frame_id now = frame_of(w);
  if (now == active_) return;
  const frame_id before = active_;
  active_ = now;
  if (auto it = frames_.find(before); it != frames_.end() && it->second.events) it->second.events->on_activate(false);
  // The handler above may have closed the new frame.
  if (auto it = frames_.find(now); it != frames_.end() && it->second.events && active_ == now)
    it->second.events->on_activate(true);
}

bool qt_platform::eventFilter(QObject* watched, QEvent* event) {
  // Tiled views stay tiled while the client grows or shrinks (the window
  // resized, the output docked under the views): none is cut off below.
  if (watched == client_viewport_ && event->type() == QEvent::Resize) {
    if (tiled_ && !retile_pending_) {
      retile_pending_ = true;
      QTimer::singleShot(0, this, [this] {
        retile_pending_ = false;
        if (tiled_) tile_frames(*tiled_);
      });
    }
    return false;
  }
  if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
  auto* sub = qobject_cast<QMdiSubWindow*>(watched);
  const frame_id id = frame_of(sub);
  auto it = frames_.find(id);
  if (it == frames_.end()) return false;
  if (it->second.events && !it->second.events->on_close()) {
    event->ignore();
    return true;
  }
  // The frame agreed: it goes, and nothing more reaches its owner.
  if (auto again = frames_.find(id); again != frames_.end()) {
    if (again->second.view) again->second.view->forget_events();
    frames_.erase(again);
  }
  if (active_ == id) active_ = 0;
  return false;
}

void qt_platform::destroy_frame(frame_id frame) {
  auto it = frames_.find(frame);
  if (it == frames_.end()) return;
  QPointer<QMdiSubWindow> sub = it->second.window;
  if (it->second.view) it->second.view->forget_events();
  frames_.erase(it);
  if (active_ == frame) active_ = 0;
  if (sub) {
    sub->removeEventFilter(this);
    sub->close();
  }
}

void qt_platform::set_frame_title(frame_id frame, const std::string& title) {
  if (QMdiSubWindow* w = frame_window(frame)) w->setWindowTitle(qs(title));
}

void qt_platform::activate_frame(frame_id frame) {
  if (QMdiSubWindow* w = frame_window(frame)) window_->mdi()->setActiveSubWindow(w);
}

platform::frame_id qt_platform::active_frame() const { return active_; }

void qt_platform::close_frame(frame_id frame) {
  // The sub-window's close goes through the same filter as its close box.
  if (QMdiSubWindow* w = frame_window(frame)) w->close();
}

void qt_platform::activate_next_frame() { window_->mdi()->activateNextSubWindow(); }

int qt_platform::frame_count() const {
  int n = 0;
  for (const auto& [id, f] : frames_)
    if (f.window) ++n;
  return n;
}

void qt_platform::focus_frame(frame_id frame) {
  auto it = frames_.find(frame);
  if (it == frames_.end()) return;
  if (it->second.view && !it->second.view->hasFocus()) it->second.view->setFocus();
}

void qt_platform::show_client(bool shown) { window_->mdi()->setUpdatesEnabled(shown); }

void qt_platform::tile_frames(bool horizontal) {
  // As the MDI client of Windows tiles: about sqrt(n) rows of columns side
  // by side for Tile Vertical, the same turned for Tile Horizontal; the last
  // column (or row) takes the windows left over. Minimised ones stay put.
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* w : window_->mdi()->subWindowList())
    if (w->isVisible() && !w->isMinimized()) shown << w;
  if (shown.isEmpty()) return;
  tiled_ = horizontal;
  const int total = static_cast<int>(shown.size());
  int rows = static_cast<int>(std::sqrt(static_cast<double>(total)));
  int cols = total / rows;
  if (horizontal) std::swap(rows, cols);
  const QRect area = window_->mdi()->viewport()->rect();
  int i = 0;
  for (int c = 0; c < cols && i < total; ++c) {
    const int in_column = c == cols - 1 ? total - i : rows;
    const int left = area.width() * c / cols;
    const int right = area.width() * (c + 1) / cols;
    for (int r = 0; r < in_column; ++r, ++i) {
      const int top = area.height() * r / in_column;
      const int bottom = area.height() * (r + 1) / in_column;
      if (shown[i]->isMaximized()) shown[i]->showNormal();
      shown[i]->setGeometry(left, top, right - left, bottom - top);
    }
  }
}

void qt_platform::cascade_frames() {
  tiled_.reset();
  window_->mdi()->cascadeSubWindows();
}

void qt_platform::arrange_icons() {
  // Minimised children line up along the bottom, left to right, a row
  // higher when one is full; the others keep their places.
  const QRect area = window_->mdi()->viewport()->rect();
  int x = 0;
  int row_bottom = area.height();
  for (QMdiSubWindow* w : window_->mdi()->subWindowList()) {
    if (!w->isMinimized()) continue;
    if (x > 0 && x + w->width() > area.width()) {
      x = 0;
      row_bottom -= w->height();
    }
    w->move(x, row_bottom - w->height());
    x += w->width();
  }
}

void qt_platform::invalidate_frame(frame_id frame) {
  auto it = frames_.find(frame);
  if (it != frames_.end() && it->second.view) it->second.view->update();
}

int qt_platform::frame_width(frame_id frame) const {
  auto it = frames_.find(frame);
  return it != frames_.end() && it->second.view ? it->second.view->width() : 0;
}

int qt_platform::frame_height(frame_id frame) const {
  auto it = frames_.find(frame);
  return it != frames_.end() && it->second.view ? it->second.view->height() : 0;
}

bool qt_platform::frame_minimised(frame_id frame) const {
  QMdiSubWindow* w = frame_window(frame);
  return w && w->isMinimized();
}

bool qt_platform::frame_maximised(frame_id frame) const {
  QMdiSubWindow* w = frame_window(frame);
  return w && w->isMaximized();
}

void qt_platform::set_frame_cursor(frame_id frame, int cursor_id) {
  auto it = frames_.find(frame);
  if (it != frames_.end() && it->second.view) it->second.view->setCursor(view_cursor_shape(cursor_id));
}

// While a button is held, Qt sends the mouse to the widget it was pressed
// in: the capture a drag needs is already there.
void qt_platform::capture_mouse(frame_id) {}

void qt_platform::release_mouse() {}

void qt_platform::set_frame_text(frame_id frame, const std::string& text) {
  auto it = frames_.find(frame);
  if (it != frames_.end() && it->second.text) {
    it->second.text->setPlainText(qs(text));
    it->second.text->document()->setModified(false);
  }
}

bool qt_platform::frame_text_modified(frame_id frame) const {
  auto it = frames_.find(frame);
  return it != frames_.end() && it->second.text && it->second.text->document()->isModified();
}

void qt_platform::set_frame_text_modified(frame_id frame, bool modified) {
  auto it = frames_.find(frame);
  if (it != frames_.end() && it->second.text) it->second.text->document()->setModified(modified);
}

std::string qt_platform::frame_text(frame_id frame) const {
  auto it = frames_.find(frame);
  return it != frames_.end() && it->second.text ? it->second.text->toPlainText().toStdString() : std::string();
}

void qt_platform::set_frame_font(frame_id frame, const platform_types::font_description& font) {
  auto it = frames_.find(frame);
  if (it == frames_.end()) return;
  if (it->second.text) it->second.text->setFont(qt_font(font));
}

graph_view_widget* qt_platform::frame_widget(frame_id f) const {
  auto it = frames_.find(f);
  return it == frames_.end() ? nullptr : it->second.view;
}

QMdiSubWindow* qt_platform::frame_window(frame_id f) const {
  auto it = frames_.find(f);
  return it == frames_.end() ? nullptr : it->second.window.data();
}

// --- dialogs ---

QWidget* qt_platform::parent_of(platform_types::window_ref owner) const {
  switch (owner.what) {
    case platform_types::window_ref::kind::frame:
      if (QMdiSubWindow* w = frame_window(owner.id)) return w;
      break;
    case platform_types::window_ref::kind::dialog:
      if (dialog_window* d = dialog_widget(owner.id)) return d;
      break;
    case platform_types::window_ref::kind::main:
      break;
  }
  return window_.get();
}

dialog_window* qt_platform::dialog_widget(dialog_id d) const {
  auto it = dialogs_.find(d);
  return it == dialogs_.end() ? nullptr : it->second.data();
}

platform::dialog_id qt_platform::create_dialog(const platform_types::dialog_resource& resource,
                                               platform_types::window_ref parent, bool modal,
                                               platform_types::dialog_events* events) {
  auto* d = new dialog_window(resource, modal, events, parent_of(parent));
  d->setObjectName(QString("dialog_%1").arg(resource.id));
  // Modeless dialogs (the history of measures, help) appear beside the work
  // without taking the keyboard from it.
  if (!modal) d->setAttribute(Qt::WA_ShowWithoutActivating);
  if (!modal && resource.id == docked_output_resource) dock_under_views(d, resource.caption);
  const dialog_id id = next_dialog_++;
  dialogs_[id] = d;
  return id;
}

void qt_platform::dock_under_views(dialog_window* d, const std::string& caption) {
  // The results are read beside the plot they measure: under the views, not
  // over them. The user may float the dock and put it back.
  auto* dock = new QDockWidget(qs(caption), window_.get());
  dock->setObjectName("tempory_output");
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  dock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  d->setWindowFlags(Qt::Widget);
  d->setSizeGripEnabled(false);
  d->setMinimumSize(0, 0);
  dock->setWidget(d);
  d->show();
  dock->hide();
  window_->addDockWidget(Qt::BottomDockWidgetArea, dock);
}

QDockWidget* qt_platform::dock_of(dialog_window* d) { return d ? qobject_cast<QDockWidget*>(d->parentWidget()) : nullptr; }

platform::dialog_id qt_platform::create_form(frame_id frame, const platform_types::dialog_resource& layout,
                                             platform_types::dialog_events* events) {
  QMdiSubWindow* sub = frame_window(frame);
  if (!sub) return 0;
  auto* d = new dialog_window(layout, false, events, nullptr);
  d->make_form();
  // The form takes the place of the frame's client, which goes with it.
  QWidget* old = sub->widget();
  sub->setWidget(d);
  const QSize room = window_->mdi()->size();
  sub->resize(std::min(d->width() + 16, room.width()), std::min(d->height() + 40, room.height()));
  if (old && old != d) old->deleteLater();
  for (auto& [id, f] : frames_)
    if (id == frame) {
      if (f.view) f.view->forget_events();
      f.view = nullptr;
      f.text = nullptr;
    }
  const dialog_id id = next_dialog_++;
  dialogs_[id] = d;
  return id;
}

void qt_platform::destroy_dialog(dialog_id dialog) {
  auto it = dialogs_.find(dialog);
  if (it == dialogs_.end()) return;
  if (dialog_window* d = it->second.data()) {
    d->forget_events();
    if (QDockWidget* dock = dock_of(d)) {
      window_->removeDockWidget(dock);
      dock->deleteLater();
    } else {
      d->hide();
      d->deleteLater();
    }
  }
  dialogs_.erase(it);
}

void qt_platform::show_dialog(dialog_id dialog, bool shown) {
  dialog_window* d = dialog_widget(dialog);
  if (!d) return;
  QDockWidget* dock = dock_of(d);
  if (!dock) {
    d->setVisible(shown);
    return;
  }
  const bool first = shown && !dock->property("sized").toBool();
  dock->setVisible(shown);
  if (first) {
    // A few lines high the first time, leaving the views most of the room.
    dock->setProperty("sized", true);
    window_->resizeDocks({dock}, {std::max(dock->minimumSizeHint().height(), window_->height() / 5)}, Qt::Vertical);
  }
}

bool qt_platform::dialog_shown(dialog_id dialog) const {
  dialog_window* d = dialog_widget(dialog);
  if (QDockWidget* dock = dock_of(d)) return !dock->isHidden();
  return d && d->isVisible();
}

bool qt_platform::run_modal(dialog_id dialog) {
  dialog_window* d = dialog_widget(dialog);
  return d && d->exec() == QDialog::Accepted;
}

void qt_platform::set_dialog_caption(dialog_id dialog, const std::string& caption) {
  dialog_window* d = dialog_widget(dialog);
  if (!d) return;
  d->setWindowTitle(qs(caption));
  if (QDockWidget* dock = dock_of(d)) dock->setWindowTitle(qs(caption));
}

void qt_platform::add_control(dialog_id dialog, const platform_types::control& c) {
  dialog_window* d = dialog_widget(dialog);
  if (!d) return;
  d->add(c);
  // A form's frame grows with it, as far as the client allows.
  if (auto* sub = d->is_form() ? qobject_cast<QMdiSubWindow*>(d->parentWidget()) : nullptr) {
    const QSize room = window_->mdi()->size();
    const QSize wanted(std::min(d->width() + 16, room.width()), std::min(d->height() + 40, room.height()));
    if (wanted.width() > sub->width() || wanted.height() > sub->height()) sub->resize(wanted.expandedTo(sub->size()));
  }
}

void qt_platform::remove_control(dialog_id dialog, int control) {
  if (dialog_window* d = dialog_widget(dialog)) d->remove(control);
}

void qt_platform::set_control_font(dialog_id dialog, int control, const platform_types::font_description& font) {
  if (dialog_window* d = dialog_widget(dialog)) d->set_control_font(control, font);
}

// --- list boxes: the program's own changes are not the user's choices ---

namespace {

QListWidget* list_of(dialog_window* d, int control) { return d ? d->list(control) : nullptr; }

}  // namespace

void qt_platform::list_add(dialog_id dialog, int control, const std::string& line) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control)) {
    const QSignalBlocker quiet(l);
    l->addItem(qs(line));
  }
}

void qt_platform::list_clear(dialog_id dialog, int control) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control)) {
    const QSignalBlocker quiet(l);
    l->clear();
  }
}

void qt_platform::list_select(dialog_id dialog, int control, int index) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control)) {
    const QSignalBlocker quiet(l);
    l->setCurrentRow(index);
  }
}

void qt_platform::list_set_selected(dialog_id dialog, int control, int index, bool selected) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control); l && index >= 0 && index < l->count()) {
    const QSignalBlocker quiet(l);
    l->item(index)->setSelected(selected);
  }
}

std::vector<int> qt_platform::list_selection(dialog_id dialog, int control) const {
  std::vector<int> out;
  if (QListWidget* l = list_of(dialog_widget(dialog), control))
    for (int i = 0; i < l->count(); ++i)
      if (l->item(i)->isSelected()) out.push_back(i);
  return out;
}

int qt_platform::list_caret(dialog_id dialog, int control) const {
  QListWidget* l = list_of(dialog_widget(dialog), control);
  return l ? l->currentRow() : -1;
}

int qt_platform::list_count(dialog_id dialog, int control) const {
  QListWidget* l = list_of(dialog_widget(dialog), control);
  return l ? l->count() : 0;
}

std::string qt_platform::list_text(dialog_id dialog, int control, int index) const {
  QListWidget* l = list_of(dialog_widget(dialog), control);
  return l && index >= 0 && index < l->count() ? l->item(index)->text().toStdString() : std::string();
}

void qt_platform::list_replace(dialog_id dialog, int control, int index, const std::string& line) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control); l && index >= 0 && index < l->count())
    l->item(index)->setText(qs(line));
}

int qt_platform::list_top_index(dialog_id dialog, int control) const {
  QListWidget* l = list_of(dialog_widget(dialog), control);
  return l ? l->verticalScrollBar()->value() : 0;
}

void qt_platform::list_set_top_index(dialog_id dialog, int control, int index) {
  if (QListWidget* l = list_of(dialog_widget(dialog), control)) {
    const QSignalBlocker quiet(l->verticalScrollBar());
    l->verticalScrollBar()->setValue(index);
  }
}

void qt_platform::edit_set_text(dialog_id dialog, int control, const std::string& text) {
  if (dialog_window* d = dialog_widget(dialog)) d->set_text(control, text);
}

void qt_platform::edit_append(dialog_id dialog, int control, const std::string& text) {
  if (dialog_window* d = dialog_widget(dialog)) d->append_text(control, text);
}

std::string qt_platform::edit_text(dialog_id dialog, int control) const {
  dialog_window* d = dialog_widget(dialog);
  return d ? d->text_of(control) : std::string();
}

// --- pictures ---

platform::picture_id qt_platform::create_picture(int width, int height) {
  const picture_id id = next_picture_++;
  picture_rec& rec = pictures_[id];
  // As many device pixels as the screen has, so that curves stay sharp on a
  // high-DPI screen; the drawing itself is in logical pixels.
  const qreal ratio = window_->devicePixelRatioF();
  rec.image = QImage(QSize(std::max(width, 1), std::max(height, 1)) * ratio, QImage::Format_RGB32);
  rec.image.setDevicePixelRatio(ratio);
  rec.image.fill(Qt::black);
  rec.surface = std::make_unique<qt_surface>(rec.image, width, height);
  return id;
}

platform_types::surface* qt_platform::picture_surface(picture_id picture) {
  auto it = pictures_.find(picture);
  return it == pictures_.end() ? nullptr : it->second.surface.get();
}

void qt_platform::copy_picture(picture_id picture, frame_id frame) {
  // Pictures reach a frame through its paint handler (paint_picture); here
  // the frame is only asked to paint again.
  (void)picture;
  invalidate_frame(frame);
}

void qt_platform::copy_picture_into(picture_id from, picture_id to) {
  auto a = pictures_.find(from);
  auto b = pictures_.find(to);
  if (a == pictures_.end() || b == pictures_.end() || from == to) return;
  a->second.surface->end();
  b->second.surface->painter().drawImage(QPoint(0, 0), a->second.image);
}

void qt_platform::paint_picture(picture_id picture, platform_types::surface& target) {
  auto it = pictures_.find(picture);
  auto* out = dynamic_cast<qt_surface*>(&target);
  if (it == pictures_.end() || !out) return;
  it->second.surface->end();
  out->painter().drawImage(QPoint(0, 0), it->second.image);
}

void qt_platform::destroy_picture(picture_id picture) { pictures_.erase(picture); }

// --- waiting ---

void qt_platform::set_busy(bool busy) {
  if (busy) {
    if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_depth_ > 0) {
    if (--busy_depth_ == 0) {
      QApplication::restoreOverrideCursor();
      window_->statusBar()->clearMessage();
    }
  }
}

void qt_platform::show_progress(int done, int total) {
  window_->statusBar()->showMessage(QString("Loading file %1 of %2").arg(done).arg(total));
  // The message and the views must show while the work goes on, but the
  // user's input waits for it to end.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void qt_platform::run() {
  window_->show();
  QApplication::exec();
}

void qt_platform::quit() {
  window_->close_accepted();
  QApplication::quit();
}
