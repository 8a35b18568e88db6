#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "xrd/files/scan_points.h"

namespace {

using namespace data_file_fixture;

std::string description(xdd_10* x) { return x->data()->comment.c_str(); }

TEST_F(DataFiles, ScansOfTodaysInstrumentsLoadWithTheirAxisTimeAndWavelength) {
  // Values read by hand from the files.
  const struct {
    const char* file;
    double x1, x2;
    int n;
    double lambda, time;  // time 0: none in the file
    float first, last;
    const char* said;  // in the description
  } rows[] = {{"d8_fe_sample.csv", 35.62961, 119.25708, 4176, 1.5406, 0, 265.41788f, 95.80765f,
               "2Theta,Counts; resampled to an even step of 0.0200305 deg; wavelength not in the file: 1.5406 Å "
               "assumed"},
              {"d8_lab6_standard.csv", 10.72865, 119.33733, 5424, 1.5406, 0, 448.45657f, 0, "resampled"},
              {"empyrean_v1.6_powder.xrdml", 4.00656514, 69.99936587, 5027, 1.5405980, 39.270, 1305, 0,
               "XRDML scan"},
              {"empyrean_v1.7_rbnb2o5f.xrdml", 5.00656514, 119.98845054, 8758, 1.5405980, 598.995, 0, 0, ""}};
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(std::string(XRDF_TEST_DATA "/") + c.file);
    ASSERT_NE(x->execute(), nullptr) << c.file << ": " << (shown_texts().empty() ? "" : shown_texts()[0]);
    const xy_data_3& p = profile(x);
    EXPECT_EQ(std::tuple(p.n, p.x1, p.x2), std::tuple(c.n, c.x1, c.x2)) << c.file;
    EXPECT_DOUBLE_EQ(p.xd, (c.x2 - c.x1) / (c.n - 1)) << c.file;
    EXPECT_DOUBLE_EQ(member(x, "lBambda"), c.lambda) << c.file;
    if (c.time > 0) {
      EXPECT_DOUBLE_EQ(member(x, "tBime"), c.time) << c.file;
    }
    if (c.first != 0) {
      EXPECT_EQ(p.y[0], c.first) << c.file << ": the ends are the measured counts";
    }
    if (c.last != 0) {
      EXPECT_EQ(p.y[c.n - 1], c.last) << c.file;
    }
    EXPECT_NE(description(x).find(c.said), std::string::npos) << c.file << ": " << description(x);
    EXPECT_EQ(description(x).find("resampled") != std::string::npos, std::string(c.file).ends_with(".csv"))
        << c.file << ": only the drifting exports are resampled";
    EXPECT_EQ(shown_texts(), strings{}) << c.file;
  }
}

TEST_F(DataFiles, TextColumnsReadWhateverTheSeparatorAndHeader) {
  const struct {
    const char* name;
    const char* file;
    std::string text;
  } rows[] = {
      {"blanks", "a.xy", "10 1\n10.5 2\n11 3\n11.5 4\n"},
      {"tabs and a third column", "a.xy", "10\t1\t0.1\n10.5\t2\t0.1\n11\t3\t0.1\n11.5\t4\t0.2\n"},
      {"commas", "a.csv", "10,1\n10.5,2\n11,3\n11.5,4\n"},
      {"commas with blanks, as a spreadsheet writes", "a.csv", "  10.0, 1\n  10.5, 2\n  11.0, 3\n  11.5, 4\n"},
      {"semicolons with decimal commas", "a.csv", "10;1\n10,5;2\n11;3\n11,5;4\n"},
      {"blanks with decimal commas", "a.dat", "10,0 1,0\n10,5 2\n11,0 3,0\n11,5 4,0\n"},
      {"every kind of header line", "a.dat",
       "Scan of quartz\n# 2theta counts\n; more\n! and more\n2Theta Intensity\n\n10 1\n10.5 2\n11 3\n11.5 4\n"},
      {"carriage returns and no last line end", "a.XY", "10 1\r\n10.5 2\r\n11 3\r\n11.5 4"}};
  std::string described;
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(write_file(c.file, c.text));
    ASSERT_NE(x->execute(), nullptr) << c.name << ": " << (shown_texts().empty() ? "" : shown_texts()[0]);
    if (std::string(c.name) == "every kind of header line") described = description(x);
    const xy_data_3& p = profile(x);
    EXPECT_EQ(std::tuple(p.n, p.x1, p.xd, p.x2), std::tuple(4, 10.0, 0.5, 11.5)) << c.name;
    EXPECT_EQ(std::vector<float>({p.y[0], p.y[1], p.y[2], p.y[3]}), std::vector<float>({1, 2, 3, 4})) << c.name;
    EXPECT_EQ(description(x).find("resampled"), std::string::npos) << c.name << ": even data are taken as written";
  }
  EXPECT_EQ(described, "Scan of quartz; wavelength not in the file: 1.5406 Å assumed")
      << "the first header line describes the scan";
}

TEST_F(DataFiles, ADriftingStepIsResampledOntoAnEvenGridFromTheFirstToTheLastAngle) {
  // A smooth line at angles whose step grows by 10% over the scan: the
  // middle points stray by far more than 1% of a step from the even grid.
  const auto line = [](double x) { return 100.0 + 900.0 * std::exp(-(x - 44.7) * (x - 44.7) / 0.02); };
  std::string text;
  const int n = 301;
  std::vector<double> angles;
  for (int i = 0; i < n; ++i) angles.push_back(44.0 + 0.0045 * i + 0.00000167 * i * i);
  for (double a : angles) text += std::to_string(a) + " " + std::to_string(line(a)) + "\n";
  xdd_10* x = new_file(write_file("drift.xy", text));
  ASSERT_NE(x->execute(), nullptr);
  const xy_data_3& p = profile(x);
  EXPECT_EQ(std::tuple(p.n, p.x1, p.x2), std::tuple(n, angles.front(), angles.back()));
  double worst = 0;
  for (int i = 0; i < n; ++i) worst = std::max(worst, std::fabs(p.y[i] - line(p.x1 + p.xd * i)));
  EXPECT_LT(worst, 1.0) << "of a peak of 1000 counts";
  EXPECT_NE(description(x).find("resampled to an even step of 0.005001 deg"), std::string::npos) << description(x);

  // Within 1% of a step the angles are rounding, not drift.
  EXPECT_TRUE(evenly_stepped({10, 10.5049, 11, 11.5}));
  EXPECT_FALSE(evenly_stepped({10, 10.5051, 11, 11.5}));
}

TEST_F(DataFiles, AnXrdmlScanOfListedPositionsAndPerPointTimesLoadsAndSaysWhatWasTaken) {
  // No declaration, prefixed names, and two measurements: the first scan is
  // loaded and the other counted.
  const std::string path = write_file(
      "listed.xrdml",
      "<x:xrdMeasurements xmlns:x=\"http://www.xrdml.com/XRDMeasurement/2.1\"><x:sample><x:name>NIST 640e</x:name>"
      "</x:sample><x:xrdMeasurement><x:usedWavelength><x:kAlpha1>1.5405980</x:kAlpha1></x:usedWavelength><x:scan>"
      "<x:dataPoints><x:positions axis=\"Omega\"><x:listPositions>9 9 9 9</x:listPositions></x:positions>"
      "<x:positions axis=\"2Theta\"><x:listPositions>28.0 28.02\n28.04 28.06</x:listPositions></x:positions>"
      "<x:countingTimes>1 2 2 3</x:countingTimes><x:counts>10 20 30 40</x:counts></x:dataPoints></x:scan>"
      "</x:xrdMeasurement><x:xrdMeasurement><x:scan/></x:xrdMeasurement></x:xrdMeasurements>");
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).x2, profile(x).y[3]), std::tuple(4, 28.0, 28.06, 40.0f));
  EXPECT_DOUBLE_EQ(member(x, "tBime"), 2.0);
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.540598);
  EXPECT_EQ(description(x),
            "NIST 640e; scan 1 of 2; 1 other in the file; counting times per point; their mean, 2 s, is the count time");
}

std::string ras_scan(const std::string& sample, const char* count, const std::string& rows) {
  return "*RAS_HEADER_START\r\n*FILE_SAMPLE \"" + sample +
         "\"\r\n*FILE_MEMO \"\x82\xa0\x82\xa2\x22\x5c\"\r\n*MEAS_SCAN_START \"20.0000\"\r\n"
         "*MEAS_SCAN_STEP \"0.0200\"\r\n*MEAS_DATA_COUNT \"" +
         count +
         "\"\r\n*MEAS_SCAN_SPEED \"2.0000\"\r\n*MEAS_SCAN_SPEED_UNIT \"deg/min\"\r\n"
         "*HW_XG_WAVE_LENGTH_ALPHA1 \"1.540593\"\r\n*RAS_HEADER_END\r\n*RAS_INT_START\r\n" +
         rows + "*RAS_INT_END\r\n";
}

TEST_F(DataFiles, ARasFileLoadsTheScanAskedAndSaysHowManyItHolds) {
  const std::string first = ras_scan("Fe powder", "4.0000", "20.00 10 1\r\n20.02 20 1\r\n20.04 30 10\r\n20.06 40 1\r\n");
  // The second scan's sample name is in Shift-JIS: shown as the layout's name, never decoded.
  const std::string second = ras_scan("\x8e\x8e\x97\xbf", "5.0000", "30 1\r\n30.02 2\r\n30.04 3\r\n30.06 4\r\n30.08 5\r\n");
  const std::string path = write_file("two.ras", "*RAS_DATA_START\r\n" + first +
                                                     "*RAS_TEMPERATURE_START\r\n25.0 \"x\"\r\n*RAS_TEMPERATURE_END\r\n" +
                                                     second + "*RAS_DATA_END\r\n");
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr) << (shown_texts().empty() ? "" : shown_texts()[0]);
  EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).x2), std::tuple(4, 20.0, 20.06));
  EXPECT_EQ(profile(x).y[2], 300.0f) << "the intensity times its attenuation";
  EXPECT_DOUBLE_EQ(member(x, "tBime"), 0.6) << "0.02 deg at 2 deg/min";
  EXPECT_DOUBLE_EQ(member(x, "lBambda"), 1.540593);
  EXPECT_EQ(description(x), "Fe powder; scan 1 of 2; 1 other in the file");

  {
    xdd_data_3::scan_choice second_scan(2);
    ASSERT_NE(x->execute(), nullptr);
    EXPECT_EQ(std::tuple(profile(x).n, profile(x).x1, profile(x).y[4]), std::tuple(5, 30.0, 5.0f));
    EXPECT_EQ(description(x), "RAS scan; scan 2 of 2; 1 other in the file");
  }
  for (int k : {3, 0}) {
    forget_messages();
    xdd_data_3::scan_choice missing(k);
    EXPECT_EQ(x->execute(), nullptr);
    EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + "\nThe file holds 2 scans; there is no scan " +
                                     std::to_string(k)});
  }
  forget_messages();
  xdd_data_3::scan_choice none_in_text(2);
  EXPECT_EQ(new_file(write_file("one.xy", "1 1\n2 2\n3 3\n4 4\n"))->execute(), nullptr);
  EXPECT_EQ(shown_texts(), strings{"Error loading file " + dir + "/one.xy\nThe file holds 1 scan; there is no scan 2"});
}

TEST_F(DataFiles, EachReaderSaysWhatItRefusesWithTheLine) {
  const std::string rows4 = "*RAS_INT_START\n1 1\n2 2\n3 3\n4 4\n*RAS_INT_END\n";
  const std::string xml_head = "<xrdMeasurements><xrdMeasurement><scan><dataPoints>";
  const struct {
    const char* name;
    const char* file;
    std::string text, reason;  // after "Error loading file PATH"
  } rows[] = {
      {"text: a count that is no number", "a.xy", "# h\n1 1\n2 x2\n3 3\n4 4\n", "\nLine 3: \"x2\" is not a number"},
      {"text: a word among the data", "a.xy", "1 1\n2 2\nend of data\n4 4\n", "\nLine 3: \"end\" is not a number"},
      {"text: one column", "a.xy", "1 1\n2\n3 3\n4 4\n", "\nLine 2: one column only: an angle and its count are needed"},
      {"text: an angle going backwards", "a.xy", "1 1\n2 2\n1.5 3\n4 4\n", "\nLine 3: the angle 1.5 goes backwards from 2"},
      {"text: an angle repeated", "a.csv", "1,1\n2,2\n2,3\n4,4\n", "\nLine 3: the angle 2 repeats the one before"},
      {"text: three points", "a.xy", "1 1\n2 2\n3 3\n", "\nFewer than 4 points: 3"},
      {"text: no data", "a.xy", "# only a header\n", "\nNo data lines: lines of an angle and a count were expected"},
      {"xml: not well-formed", "a.xrdml", "<xrdMeasurements>\n<scan>\n</xrdMeasurements>",
       "\nLine 3: not well-formed XML (Start-end tags mismatch)"},
      {"xml: another document", "a.xrdml", "<?xml version=\"1.0\"?><html/>",
       "\nNot an XRDML file: it holds <html>, not <xrdMeasurements>"},
      {"xml: no scan", "a.xrdml", "<xrdMeasurements><xrdMeasurement/></xrdMeasurements>", "\nThe file holds no <scan>"},
      {"xml: no 2Theta", "a.xrdml",
       xml_head + "\n<positions axis=\"Omega\"/><intensities>1 2 3 4</intensities></dataPoints></scan>"
                  "</xrdMeasurement></xrdMeasurements>",
       "\nLine 1: the scan has no <positions axis=\"2Theta\">"},
      {"xml: a count that is no number", "a.xrdml",
       xml_head + "<positions axis=\"2Theta\"><startPosition>1</startPosition><endPosition>4</endPosition>"
                  "</positions>\n<intensities>1 2 three 4</intensities></dataPoints></scan></xrdMeasurement>"
                  "</xrdMeasurements>",
       "\nLine 2: \"three\" is not a number"},
      {"xml: positions and counts that differ", "a.xrdml",
       xml_head + "<positions axis=\"2Theta\"><listPositions>1 2 3</listPositions></positions>"
                  "<counts>1 2 3 4</counts></dataPoints></scan></xrdMeasurement></xrdMeasurements>",
       "\nLine 1: 3 positions for 4 counts"},
      {"ras: no data block", "a.ras", "*RAS_HEADER_START\n*RAS_HEADER_END\n", "\nNot a RAS file: no *RAS_DATA_START"},
      {"ras: rows left open", "a.ras", "*RAS_DATA_START\n*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n1 1\n",
       "\nLine 4: *RAS_INT_START has no *RAS_INT_END"},
      {"ras: another block left open", "a.ras", "*RAS_DATA_START\n*RAS_TEMPERATURE_START\n1\n",
       "\nLine 2: *RAS_TEMPERATURE_START has no *RAS_TEMPERATURE_END"},
      {"ras: a header without rows", "a.ras", "*RAS_DATA_START\n*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_DATA_END\n",
       "\nLine 2: the scan has no *RAS_INT_START block"},
      {"ras: a count the header does not give", "a.ras",
       "*RAS_DATA_START\n*RAS_HEADER_START\n*MEAS_DATA_COUNT \"5.0000\"\n*RAS_HEADER_END\n" + rows4,
       "\nLine 5: *MEAS_DATA_COUNT gives 5 points, the scan holds 4"},
      {"ras: an attenuation that is no number", "a.ras",
       "*RAS_DATA_START\n*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n1 1 1\n2 2 n/a\n*RAS_INT_END\n",
       "\nLine 6: \"n/a\" is not a number"}};
  for (const auto& c : rows) {
    forget_messages();
    const std::string path = write_file(c.file, c.text);
    xdd_10* x = new_file(path);
    EXPECT_EQ(x->execute(), nullptr) << c.name;
    EXPECT_EQ(shown_texts(), strings{"Error loading file " + path + c.reason}) << c.name;
    EXPECT_EQ(profile(x).n, 0) << c.name;
  }
}

}  // namespace
