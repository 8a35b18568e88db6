#include "app/shell/application.h"

#include "app/capture/capture_classes.h"
#include "app/dialogs/dialog_classes.h"
#include "app/shell/for_app_3.h"
#include "app/files/load_data_file.h"
#include "app/project/project_classes.h"
#include "app/report/report_classes.h"
#include "app/shell/shell_classes.h"
#include "app/text/text_classes.h"
#include "app/views/view_classes.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/template_side.h"
#include "xrd/xrd_classes.h"

void register_all_classes() {
  register_xrd_classes();
  register_dialog_classes();
  register_shell_classes();
  register_project_classes();
  register_view_classes();
  register_capture_classes();
  register_report_classes();
  register_text_classes();
}

std::string missing_template_message(const std::string& path) { return "Cannot open template file: " + path; }

application_session::application_session() {
  register_all_classes();
  install_template_side();
  root_.set_live();
  std::unique_ptr<assoc_class> made = create_registered("app");
  if (assoc_class* added = root_.add_child(std::move(made))) app_ = dynamic_cast<for_app_3*>(added);
  // Objects that leave the tree from inside their own handlers (a view whose
  // frame closes, a view line whose file is unloaded) go into the bin, which
  // must be there before any of them needs it.
  if (app_) app_->deletion_bin();
}

application_session::~application_session() {
  // The tree goes before the platform and the templates it refers to.
  root_.delete_all_children();
}

assoc_class* application_session::load_file(const std::string& path) {
  if (!app_) return nullptr;
  assoc_class* loaded = nullptr;
  load_data_file(*app_, path, &loaded);
  return loaded;
}
