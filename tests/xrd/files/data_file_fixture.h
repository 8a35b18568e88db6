#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../../template/loaded_templates.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "xrd/files/xdd_10.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/curves/xy_data_3.h"

// A tree of data files with every reader, loading from a folder of its own.
namespace data_file_fixture {

using strings = std::vector<std::string>;

const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      dAata_files ;\n"
    "         xdd ;\n"
    "            xdd_data ;\n"
    "            Cxy_yobs _creator xy_test_profile ;\n"
    "            AxDdd_path_name _char* ;\n"
    "            AtBime _double ;\n"
    "            AlBambda _double ;\n"
    "      load_xdd ;\n"
    "      load_cpi ;\n"
    "      load_xy ;\n"
    "      load_xrdml ;\n"
    "      load_ras ;\n"
    "      load_raw ;\n"
    "      load_brml ;\n"
    "      load_rasx ;\n"
    "      load_gsas ;\n"
    "      dAeletion_bin ;\n"
    "      hAolder ;\n"
    "         ptr_classes_4 ;\n"
    "         tAarget ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "   xPobs ;\n"
    "}\n"
    "end_templates\n";

// "prj" names an object that is no reader.
const char* const outside =
    "start_out_side_recs {\n"
    "   {\"app_name\" {\"xrd test\"}}\n"
    "   {\"win_misc\" {^\"exts_load\" {\"xdd\" {\"load_xdd\"}} {\"cpi\" {\"load_cpi\"}} {\"prj\" {\"dAata_files\"}}\n"
    "      {\"xy\" {\"load_xy\"}} {\"csv\" {\"load_xy\"}} {\"dat\" {\"load_xy\"}}\n"
    "      {\"xrdml\" {\"load_xrdml\"}} {\"ras\" {\"load_ras\"}}\n"
    "      {\"raw\" {\"load_raw\"}}\n"
    "      {\"brml\" {\"load_brml\"}} {\"rasx\" {\"load_rasx\"}}\n"
    "      {\"gsa\" {\"load_gsas\"}} {\"gsas\" {\"load_gsas\"}} {\"fxye\" {\"load_gsas\"}}}\n"
    "    {\"default_wavelength\" {\"1.5406\"}}}\n"
    "}\n";

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

class DataFiles : public ::testing::Test {
 protected:
  DataFiles() : t(templates, outside) {
    register_data_file_classes();
    // The observed profile of these tests: the xy object of a data file, without the Fourier chain.
    static creator_3<xy_data_for_3> profile("xy_test_profile");
    register_creator(profile);
    auto a = std::make_unique<app_node>();
    a->set_tem(template_tree().top_level("#app")->find_child("app"));
    app = root.add_child(std::move(a));
    files = app->create_child_by_name("dAata_files");
    forget_messages();
    char pattern[] = "/tmp/xrd_data_files_XXXXXX";
    dir = ::mkdtemp(pattern);
  }
  ~DataFiles() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    global_error_message().assign("");
  }

  std::string write_file(const std::string& name, const std::string& content) {
    std::ofstream(dir + "/" + name, std::ios::binary) << content;
    return dir + "/" + name;
  }
  static std::string read_file(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  // A new data-file node for the path (the file need not exist).
  xdd_10* new_file(const std::string& path, const char* comment = "old") {
    auto* x = dynamic_cast<xdd_10*>(files->create_child_by_name("xdd"));
    x->path_node()->set_text(path.c_str());
    x->data()->comment = comment;
    return x;
  }
  static xy_data_3& profile(xdd_10* x) { return *x->observed(); }
  static double member(xdd_10* x, const char* name) { return x->member(name)->get_double(); }
  strings shown_texts() const {
    strings out;
    for (const auto& m : shown.messages()) out.push_back(m.text);
    return out;
  }
  void forget_messages() {
    shown.recorder.messages.clear();
    global_error_message().assign("");
  }

  loaded_templates t;
  shown_errors shown;
  top_3 root;
  assoc_class* app = nullptr;
  assoc_class* files = nullptr;
  std::string dir;
};

}  // namespace data_file_fixture
