#pragma once

#include <map>
#include <string>

#include <QDialog>

#include "app/platform/platform.h"

class QListWidget;
class QLineEdit;
class QPlainTextEdit;
class QLabel;

// A dialog (or a form filling an MDI child) built from one of the program's
// dialog resources: list boxes, edits and labels placed in dialog units,
// which follow the font as they do on the system the resources were made
// for. A dialog with one main control (a list or a multi-line edit) lets it
// fill the window, so that resizing shows more of it.
class dialog_window : public QDialog {
  Q_OBJECT
 public:
  dialog_window(const platform_types::dialog_resource& resource, bool modal, platform_types::dialog_events* events,
                QWidget* parent);
  // After this the window passes nothing on (it is being destroyed).
  void forget_events() { events_ = nullptr; }

  void add(const platform_types::control& c);
  // A form in a frame grows with the controls added to it (the report
  // editor adds its columns after it is made).
  void make_form();
  bool is_form() const { return form_; }
  void remove(int id);
  void set_control_font(int id, const platform_types::font_description& font);

  QListWidget* list(int id) const;
  QLineEdit* line(int id) const;
  QPlainTextEdit* text(int id) const;
  QLabel* label(int id) const;
  QWidget* control(int id) const;

  void set_text(int id, const std::string& text);
  void append_text(int id, const std::string& text);
  std::string text_of(int id) const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRect place(const platform_types::control& c) const;
  void lay_out_main_control();

  platform_types::dialog_resource resource_;
  bool modal_;
  platform_types::dialog_events* events_;
  std::map<int, QWidget*> controls_;
  int main_control_ = 0;  // the control that fills the window, 0 when none
  bool form_ = false;
  double unit_x_ = 1.5;   // pixels per dialog unit
  double unit_y_ = 1.6;
};

QFont qt_font(const platform_types::font_description& font);
