#pragma once

#include <QDialog>

#include "app/platform/platform.h"

class QSpinBox;

// Asks the size of a figure to export: its width and height in pixels and,
// for a PNG picture, the resolution it is marked with, which sizes its
// texts and pens.
class figure_size_dialog : public QDialog {
  Q_OBJECT
 public:
  figure_size_dialog(const platform_types::figure_size& proposed, bool resolution, QWidget* parent);
  platform_types::figure_size chosen() const;

  QSpinBox* width_box() const { return width_; }
  QSpinBox* height_box() const { return height_; }
  QSpinBox* dpi_box() const { return dpi_; }

 private:
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QSpinBox* dpi_ = nullptr;
};
