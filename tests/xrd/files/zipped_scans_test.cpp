#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data_file_fixture.h"
#include "xrd/files/zip_archive.h"

namespace {

using data_file_fixture::DataFiles;
using data_file_fixture::strings;

std::string description(xdd_10* x) { return x->data()->comment.c_str(); }

using entries = std::vector<std::pair<std::string, std::string>>;

// A zip archive of the entries, made by libzip as an instrument's software
// would, returned as its bytes.
std::string zipped(const std::string& dir, const entries& files) {
  const std::string path = dir + "/made.zip";
  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!z) return {};
  for (const auto& [name, bytes] : files) {
    zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
    if (zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8) < 0) zip_source_free(s);
  }
  zip_close(z);
  std::stringstream read;
  read << std::ifstream(path, std::ios::binary).rdbuf();
  const std::string out = read.str();
  std::filesystem::remove(path);
  return out;
}

// Everything under `dir`, as paths relative to it.
strings files_under(const std::string& dir) {
  strings out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    out.push_back(std::filesystem::relative(e.path(), dir).string());
  std::sort(out.begin(), out.end());
  return out;
}

std::string rasx_conditions(const char* lambda, const char* step, const char* count) {
  return std::string("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<MeasurementConditions>"
                     "<GeneralInformation><SampleName>quartz</SampleName></GeneralInformation>"
                     "<HWConfigurations><XrayGenerator><WavelengthKalpha1>") +
         lambda + "</WavelengthKalpha1></XrayGenerator></HWConfigurations><ScanInformation><Step>" + step +
         "</Step><Speed>2</Speed><SpeedUnit>deg/min</SpeedUnit><DataCount>" + count +
         "</DataCount></ScanInformation></MeasurementConditions>";
}

std::string brml_raw_data(const std::string& rows) {
  return "<?xml version=\"1.0\"?>\n<RawData><DataRoutes><DataRoute RouteFlag=\"Measured\">"
         "<ScanInformation><TimePerStep>0.5</TimePerStep></ScanInformation>\n" +
         rows +
         "<DataViews>"
         "<RawDataView Start=\"0\" Length=\"1\" LogicName=\"MeasuredTime\" />"
         "<RawDataView Start=\"1\" Length=\"1\" LogicName=\"AbsorptionFactor\" />"
         "<RawDataView Start=\"2\" Length=\"2\"><Varying LogicName=\"ScanAxes\">"
         "<FieldDefinitions FieldName=\"Theta\" /><FieldDefinitions FieldName=\"TwoTheta\" /></Varying></RawDataView>"
         "<RawDataView Start=\"4\" Length=\"1\"><Recording LogicName=\"ScanCounter1\" /></RawDataView>"
         "</DataViews></DataRoute></DataRoutes>"
         "<FixedInformation><Tube><WaveLengthAlpha1 Unit=\"A\" Value=\"1.78897\" /></Tube></FixedInformation>"
         "</RawData>";
}

TEST_F(DataFiles, BrukerAndRigakuZipsLoadWithTheirAxisTimeAndWavelength) {
  // Values read by hand from the files' entries.
  const struct {
    const char* file;
    double x1, step;
    int n;
    double lambda, time;
    float first, last;
    const char* said;
  } rows[] = {{"bruker_2theta_omega.brml", 44, 0.002, 2001, 1.5406, 1, 3, 2, "Commander Sample ID"},
              {"rigaku_powder.rasx", 10, 0.04, 2726, 1.540593, 2.4, 170.55354309082f, 13.8521060943604f,
               "RASX scan"}};
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(std::string(XRDF_TEST_DATA "/") + c.file);
    ASSERT_NE(x->execute(), nullptr) << c.file << ": " << (shown_texts().empty() ? "" : shown_texts()[0]);
    const xy_data_3& p = profile(x);
    EXPECT_EQ(p.n, c.n) << c.file;
    EXPECT_DOUBLE_EQ(p.x1, c.x1) << c.file;
    EXPECT_NEAR(p.xd, c.step, 1e-9) << c.file;
    EXPECT_EQ(std::pair(p.y[0], p.y[c.n - 1]), std::pair(c.first, c.last)) << c.file;
    EXPECT_DOUBLE_EQ(member(x, "lBambda"), c.lambda) << c.file;
    EXPECT_DOUBLE_EQ(member(x, "tBime"), c.time) << c.file;
    EXPECT_EQ(description(x), c.said) << c.file;
    EXPECT_EQ(shown_texts(), strings{}) << c.file;
  }
}

TEST_F(DataFiles, ARasxOfSeveralProfilesLoadsTheOneAskedWithItsAttenuationApplied) {
  const std::string path =
      write_file("two.rasx", zipped(dir, {{"Data0/Profile0.txt", "\xEF\xBB\xBF" "20.00\t10\t1\r\n20.02\t20\t1\r\n"
                                                                  "20.04\t30\t10\r\n20.06\t40\t1\r\n"},
                                          {"Data0/MesurementConditions0.xml", rasx_conditions("1.540593", "0.02", "4")},
                                          {"Data1/Profile1.txt", "30\t1\t1\n30.5\t2\t1\n31\t3\t1\n31.5\t4\t1\n"},
                                          {"Data1/MesurementConditions1.xml", rasx_conditions("1.78897", "0.5", "4")},
                                          {"root.xml", "<root/>"}}));
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).x2), std::tuple(4, 20.0, 20.06));
  EXPECT_EQ(profile(x).y[2], 300.0f) << "the intensity times its attenuation";
  EXPECT_DOUBLE_EQ(member(x, "tBime"), 0.6) << "0.02 deg at 2 deg/min";
  EXPECT_EQ(description(x), "quartz; scan 1 of 2; 1 other in the file");

  xdd_data_3::scan_choice second(2);
  ASSERT_NE(x->execute(), nullptr);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).y[2]), std::tuple(4, 30.0, 3.0f));
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.78897) << "each profile with its own conditions";
  EXPECT_DOUBLE_EQ(member(x, "tBime"), 15.0);
}

TEST_F(DataFiles, ABrmlOfSeveralRawDataFilesLoadsTheOneAskedFromTheColumnsItsViewsName) {
  // 2-theta is the fourth column here, not the third: only the data views say so.
  const std::string path = write_file(
      "two.brml", zipped(dir, {{"Experiment0/RawData0.xml", brml_raw_data("<Datum>0.5,1,10,20,5</Datum>\n"
                                                                          "<Datum>0.5,1,10.5,20.1,6</Datum>\n"
                                                                          "<Datum>0.5,10,11,20.2,7</Datum>\n"
                                                                          "<Datum>0.5,1,11.5,20.3,8</Datum>\n")},
                               {"Experiment0/RawData1.xml", brml_raw_data("<Datum>0.5,1,15,30,1</Datum>\n"
                                                                          "<Datum>0.5,1,15.5,30.5,2</Datum>\n"
                                                                          "<Datum>0.5,1,16,31,3</Datum>\n"
                                                                          "<Datum>0.5,1,16.5,31.5,4</Datum>\n")},
                               {"Experiment0/MeasurementContainer.xml", "<x/>"}}));
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).x2), std::tuple(4, 20.0, 20.3));
  EXPECT_EQ(profile(x).y[2], 7.0f) << "recorded counts are already corrected for the absorber";
  EXPECT_DOUBLE_EQ(member(x, "tBime"), 0.5);
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.78897);
  EXPECT_EQ(description(x), "BRML scan; scan 1 of 2; 1 other in the file");

  xdd_data_3::scan_choice second(2);
  ASSERT_NE(x->execute(), nullptr);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).y[1]), std::tuple(4, 30.0, 2.0f));
}

TEST_F(DataFiles, AHostileOrBrokenZipIsRefusedWithItsCauseAndNothingIsWritten) {
  const std::string raw = brml_raw_data("<Datum>0.5,1,10,20,5</Datum>\n<Datum>0.5,1,10.5,20.1,6</Datum>\n");
  const std::string good = zipped(dir, {{"Experiment0/RawData0.xml", raw}});
  const std::string bomb = zipped(dir, {{"Experiment0/RawData0.xml", raw}, {"Experiment0/pad.xml", std::string(20'000'000, ' ')}});
  ASSERT_LT(bomb.size() * 100, 20'000'000u) << "the padding must pack far below a hundredth";
  const struct {
    const char* name;
    const char* file;
    std::string bytes;
    std::string reason;
  } rows[] = {
      {"a zip cut short", "cut.brml", good.substr(0, good.size() / 2), "\nNot a readable zip archive ("},
      {"a file that is no zip at all", "text.rasx", "2theta counts\n10 1\n", "\nNot a readable zip archive ("},
      {"an entry that climbs out of the folder", "climb.brml",
       zipped(dir, {{"Experiment0/RawData0.xml", raw}, {"../x", "escaped"}}),
       "\nThe archive holds an entry named \"../x\", a path outside the archive's folder"},
      {"an entry with an absolute path", "absolute.rasx", zipped(dir, {{"/tmp/x", "escaped"}}),
       "\nThe archive holds an entry named \"/tmp/x\", a path outside the archive's folder"},
      {"an entry that unpacks to far more than a hundred times the archive", "bomb.brml", bomb,
       "\nThe archive would unpack to more than "},
      {"a brml without raw data", "empty.brml", zipped(dir, {{"Experiment0/Other.xml", "<x/>"}}),
       "\nNot a BRML file: the archive holds no Experiment0/RawData*.xml"},
      {"a rasx without a profile", "empty.rasx", zipped(dir, {{"Data0/Other.txt", "1 1"}}),
       "\nNot a RASX file: the archive holds no Data*/Profile*.txt"},
      {"brml rows whose views name no 2-theta", "noaxis.brml",
       zipped(dir, {{"Experiment0/RawData0.xml",
                     "<RawData><DataRoutes><DataRoute>\n<Datum>1,2</Datum></DataRoute></DataRoutes></RawData>"}}),
       "\nExperiment0/RawData0.xml, line 1: no data view names the 2Theta column of the rows"},
      {"a brml row short of the named columns", "short.brml",
       zipped(dir, {{"Experiment0/RawData0.xml", brml_raw_data("<Datum>0.5,1,10</Datum>\n")}}),
       "\nExperiment0/RawData0.xml, line 3: the row has 3 columns, the data views name column 5"},
      {"a rasx count that is no number", "word.rasx",
       zipped(dir, {{"Data0/Profile0.txt", "10\t1\t1\n10.04\tlots\t1\n"}}),
       "\nData0/Profile0.txt, line 2: \"lots\" is not a number"},
      {"a rasx whose conditions count other points", "count.rasx",
       zipped(dir, {{"Data0/Profile0.txt", "10\t1\n10.04\t2\n"},
                    {"Data0/MesurementConditions0.xml", rasx_conditions("1.54", "0.04", "3")}}),
       "\nData0/MesurementConditions0.xml: <DataCount> gives 3 points, the profile holds 2"}};
  for (const auto& c : rows) {
    forget_messages();
    std::filesystem::create_directories(dir + "/in");
    const std::string path = dir + "/in/" + c.file;
    std::ofstream(path, std::ios::binary) << c.bytes;
    xdd_10* x = new_file(path);
    EXPECT_EQ(x->execute(), nullptr) << c.name;
    const strings shown = shown_texts();
    ASSERT_EQ(shown.size(), 1u) << c.name;
    EXPECT_EQ(shown[0].substr(0, ("Error loading file " + path + c.reason).size()), "Error loading file " + path + c.reason)
        << c.name << ": " << shown[0];
    EXPECT_EQ(profile(x).n, 0) << c.name;
    EXPECT_EQ(files_under(dir), (strings{"in", "in/" + std::string(c.file)})) << c.name << ": nothing unpacked to disk";
    std::filesystem::remove_all(dir + "/in");
  }
}

TEST(ZipArchive, UnpackingMoreThanTheEntriesDeclareIsStoppedAtTheBound) {
  // An archive whose entry claims a few bytes but holds twenty million: the
  // declared sizes pass, the bytes counted while unpacking do not.
  char pattern[] = "/tmp/xrd_zip_XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  std::string bytes = zipped(dir, {{"a.txt", std::string(20'000'000, 'a')}});
  std::filesystem::remove_all(dir);
  const std::string name = "a.txt";
  // The sizes written in the local header (offset 22) and the central
  // directory's record (offset 24 from its "PK\1\2"): set to 100.
  auto put = [&bytes](std::size_t at) {
    bytes[at] = 100;
    bytes[at + 1] = bytes[at + 2] = bytes[at + 3] = 0;
  };
  put(22);
  const std::size_t central = bytes.rfind(std::string("PK\x01\x02", 4));
  ASSERT_NE(central, std::string::npos);
  put(central + 24);
  std::string why;
  const auto zip = zip_archive::open(bytes, why);
  ASSERT_NE(zip, nullptr) << why;
  std::string out;
  EXPECT_FALSE(zip->read(name, out, why));
  EXPECT_NE(why.find("Entry \"a.txt\" unpacks to more than the archive may hold"), std::string::npos) << why;
  EXPECT_LE(out.size(), 100u * bytes.size());
}

TEST(ZipArchive, EntryNamesThatLeaveTheFolderAreTold) {
  const struct {
    const char* name;
    bool inside;
  } rows[] = {{"Data0/Profile0.txt", true}, {"a..b/c..", true},     {"../x", false},    {"a/../../x", false},
              {"a\\..\\x", false},          {"/etc/passwd", false}, {"\\x", false},     {"C:/x", false},
              {"..", false}};
  for (const auto& r : rows) EXPECT_EQ(zip_entry_name_stays_inside(r.name), r.inside) << r.name;
}

}  // namespace
