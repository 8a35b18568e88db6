#include "app/qt/figure_size_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "app/views/figure_export.h"

namespace {

QSpinBox* spin_box(int low, int high, int value, const char* suffix, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

figure_size_dialog::figure_size_dialog(const platform_types::figure_size& proposed, bool resolution, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Figure Size");
  setObjectName("figure_size_dialog");
  auto* form = new QFormLayout(this);
  width_ = spin_box(figure_limits::min_pixels, figure_limits::max_pixels, proposed.width, " px", this);
  height_ = spin_box(figure_limits::min_pixels, figure_limits::max_pixels, proposed.height, " px", this);
  dpi_ = spin_box(figure_limits::min_dpi, figure_limits::max_dpi, proposed.dpi, " dpi", this);
  // An SVG drawing has no pixels of its own to mark.
  dpi_->setEnabled(resolution);
  form->addRow("&Width:", width_);
  form->addRow("&Height:", height_);
  form->addRow("&Resolution:", dpi_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

platform_types::figure_size figure_size_dialog::chosen() const {
  return {width_->value(), height_->value(), dpi_->value()};
}
