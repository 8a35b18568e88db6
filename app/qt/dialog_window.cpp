#include "app/qt/dialog_window.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

// Dialogs made from the resources are small by today's screens and fonts: a
// dialog whose main control fills it opens larger than its resource says,
// wide enough for the lines of its list or text.
constexpr double main_control_width_scale = 2.8;
constexpr double main_control_height_scale = 1.8;

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QFont qt_font(const platform_types::font_description& font) {
  QFont f(qs(font.face));
  // Where Courier New is missing, the font system's stand-in for it (a
  // metric-compatible clone) keeps the report columns in line as well; only
  // a stand-in of uneven pitch is replaced by the system's fixed font. (A
  // monospace style hint would pass over the clone for the system's
  // monospace face, which the font system may not know as fixed-pitch.)
  if (font.face == "Courier New" && !QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (font.height < 0) f.setPixelSize(-font.height);
  if (font.height > 0) f.setPixelSize(font.height);
  f.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
  f.setStrikeOut(font.strike_out);
  return f;
}

dialog_window::dialog_window(const platform_types::dialog_resource& resource, bool modal,
                             platform_types::dialog_events* events, QWidget* parent)
    : QDialog(parent), resource_(resource), modal_(modal), events_(events) {
  setWindowTitle(qs(resource.caption));
  QFont f = font();
  if (resource.font_face == "Courier New") f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setFont(f);
  const QFontMetrics m(f);
  unit_x_ = m.averageCharWidth() / 4.0;
  unit_y_ = m.height() / 8.0;
  int non_labels = 0;
  for (const platform_types::control& c : resource.controls)
    if (c.kind != platform_types::control_kind::label) ++non_labels;
  for (const platform_types::control& c : resource.controls) {
    if (non_labels == 1 &&
        (c.kind == platform_types::control_kind::list_box || c.kind == platform_types::control_kind::multiline_edit))
      main_control_ = c.id;
    add(c);
  }
  const int w = static_cast<int>(resource.width * unit_x_ * (main_control_ ? main_control_width_scale : 1.0));
  const int h = static_cast<int>(resource.height * unit_y_ * (main_control_ ? main_control_height_scale : 1.0));
  if (modal) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->adjustSize();
    buttons->move(w - buttons->width() - 6, h + 4);
    resize(w, h + buttons->height() + 10);
  } else {
    resize(w, h);
  }
  if (!main_control_) setFixedSize(size());
  setSizeGripEnabled(main_control_ != 0);
  lay_out_main_control();
}

QRect dialog_window::place(const platform_types::control& c) const {
  return QRect(static_cast<int>(c.x * unit_x_), static_cast<int>(c.y * unit_y_), static_cast<int>(c.width * unit_x_),
               static_cast<int>(c.height * unit_y_));
}

void dialog_window::add(const platform_types::control& c) {
  QWidget* w = nullptr;
  switch (c.kind) {
    case platform_types::control_kind::list_box: {
      auto* l = new QListWidget(this);
      l->setSelectionMode(c.multiple_selection ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::SingleSelection);
      const int id = c.id;
      connect(l, &QListWidget::itemSelectionChanged, this, [this, id] {
        if (events_) events_->on_list_select(id);
      });
      connect(l, &QListWidget::itemDoubleClicked, this, [this, id] {
        if (events_) events_->on_list_double_click(id);
      });
      connect(l->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, id] {
        if (events_) events_->on_list_scroll(id);
      });
      l->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(l, &QListWidget::customContextMenuRequested, this, [this, id] {
        if (events_) events_->on_list_context(id);
      });
      w = l;
      break;
    }
    case platform_types::control_kind::edit: {
      auto* e = new QLineEdit(qs(c.text), this);
      e->setReadOnly(c.read_only);
      const int id = c.id;
      connect(e, &QLineEdit::returnPressed, this, [this, id] {
        if (events_) events_->on_edit_enter(id);
      });
      w = e;
      break;
    }
    case platform_types::control_kind::multiline_edit: {
      auto* t = new QPlainTextEdit(qs(c.text), this);
      t->setReadOnly(c.read_only);
      t->setLineWrapMode(c.horizontal_scroll ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
      w = t;
      break;
    }
    case platform_types::control_kind::label: {
      auto* l = new QLabel(qs(c.text), this);
      if (c.border) l->setFrameStyle(QFrame::Panel | QFrame::Raised);
      // A label may act as a button (the report editor's "Change Selections
      // To"): its presses go to the owner.
      l->setProperty("control_id", c.id);
      l->installEventFilter(this);
      w = l;
      break;
    }
  }
  w->setGeometry(place(c));
  if (c.id) {
    remove(c.id);
    controls_[c.id] = w;
  }
  w->show();
  if (form_) {
    const QRect all = childrenRect();
    const QSize wanted(std::max(width(), all.right() + 8), std::max(height(), all.bottom() + 8));
    if (wanted != size()) resize(wanted);
  }
}

void dialog_window::make_form() {
  form_ = true;
  setWindowFlags(Qt::Widget);
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void dialog_window::remove(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) return;
  it->second->deleteLater();
  controls_.erase(it);
}

void dialog_window::set_control_font(int id, const platform_types::font_description& font) {
  if (QWidget* w = control(id)) w->setFont(qt_font(font));
}

QWidget* dialog_window::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QListWidget* dialog_window::list(int id) const { return qobject_cast<QListWidget*>(control(id)); }
QLineEdit* dialog_window::line(int id) const { return qobject_cast<QLineEdit*>(control(id)); }
QPlainTextEdit* dialog_window::text(int id) const { return qobject_cast<QPlainTextEdit*>(control(id)); }
QLabel* dialog_window::label(int id) const { return qobject_cast<QLabel*>(control(id)); }

void dialog_window::set_text(int id, const std::string& text) {
  // Edits show lines ended by CR LF; Qt's editors take plain line feeds.
  QString t = qs(text);
  t.replace("\r\n", "\n");
  if (QLineEdit* e = line(id)) e->setText(t);
  if (QPlainTextEdit* p = this->text(id)) p->setPlainText(t);
  if (QLabel* l = label(id)) l->setText(t);
}

void dialog_window::append_text(int id, const std::string& text) {
  QString t = qs(text);
  t.replace("\r\n", "\n");
  if (QLineEdit* e = line(id)) e->setText(e->text() + t);
  if (QPlainTextEdit* p = this->text(id)) {
    p->moveCursor(QTextCursor::End);
    p->insertPlainText(t);
    p->ensureCursorVisible();
  }
}

std::string dialog_window::text_of(int id) const {
  QString t;
  if (QLineEdit* e = line(id)) t = e->text();
  if (QPlainTextEdit* p = text(id)) t = p->toPlainText().replace("\n", "\r\n");
  if (QLabel* l = label(id)) t = l->text();
  return t.toStdString();
}

void dialog_window::closeEvent(QCloseEvent* e) {
  if (modal_) {
    QDialog::closeEvent(e);
    return;
  }
  // The owner decides: hide the window, or destroy it.
  e->ignore();
  if (events_) events_->on_close_box();
}

void dialog_window::keyPressEvent(QKeyEvent* e) {
  // Enter belongs to the edits (the axes dialog applies a limit), not to a
  // default button; Escape closes a modeless dialog as its close box does.
  if (!modal_ && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) return;
  if (!modal_ && e->key() == Qt::Key_Escape) {
    if (events_) events_->on_close_box();
    return;
  }
  QDialog::keyPressEvent(e);
}

void dialog_window::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  lay_out_main_control();
}

void dialog_window::lay_out_main_control() {
  QWidget* w = control(main_control_);
  if (!w) return;
  // The margins the resource gives, the rest of the window for the control.
  for (const platform_types::control& c : resource_.controls) {
    if (c.id != main_control_) continue;
    const int left = static_cast<int>(c.x * unit_x_);
    const int top = static_cast<int>(c.y * unit_y_);
    int bottom_space = left;
    if (modal_) bottom_space += 40;
    w->setGeometry(left, top, std::max(20, width() - 2 * left), std::max(20, height() - top - bottom_space));
  }
}

bool dialog_window::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && events_) {
    auto* press = static_cast<QMouseEvent*>(event);
    const int id = watched->property("control_id").toInt();
    if (press->button() == Qt::LeftButton && id != 0) {
      events_->on_control_click(id);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void dialog_window::mousePressEvent(QMouseEvent* e) {
  if (events_) {
    platform_types::mouse_event m;
    m.action = platform_types::mouse_action::press;
    m.button = e->button() == Qt::RightButton ? platform_types::mouse_button::right : platform_types::mouse_button::left;
    m.x = e->position().toPoint().x();
    m.y = e->position().toPoint().y();
    events_->on_mouse(m);
  }
  QDialog::mousePressEvent(e);
}
