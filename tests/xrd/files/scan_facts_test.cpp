#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "data_file_fixture.h"
#include "xrd/files/scan_time.h"

namespace {

using data_file_fixture::DataFiles;

struct facts {
  int index, count;
  std::string name, start_time;
  double temperature_C;
};

facts facts_of(xdd_10* x) {
  const xdd_data_3::scan_facts& s = x->data()->scan;
  return {s.index, s.count, s.name, s.start_time, s.temperature_C};
}

// A RAS file of two scans, each with its comment, start and rows.
std::string two_scan_ras() {
  std::string text = "*RAS_DATA_START\n";
  const char* comments[] = {"room temperature", "after heating"};
  const char* starts[] = {"03/04/19 10:22:31", "03/14/19 09:05:00"};
  for (int s = 0; s < 2; ++s) {
    text += "*RAS_HEADER_START\n*FILE_SAMPLE \"quartz\"\n*FILE_COMMENT \"" + std::string(comments[s]) +
            "\"\n*MEAS_SCAN_START_TIME \"" + starts[s] + "\"\n*HW_XG_WAVE_LENGTH_ALPHA1 \"1.540593\"\n"
            "*RAS_HEADER_END\n*RAS_INT_START\n";
    for (int i = 0; i < 5; ++i) text += std::to_string(20 + s * 10 + i) + ".00 " + std::to_string(100 + i) + " 1\n";
    text += "*RAS_INT_END\n";
  }
  return text + "*RAS_DATA_END\n";
}

// An XRDML scan whose stage logged its temperature in `unit`.
std::string heated_xrdml(const char* unit, const char* readings) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xrdMeasurements><sample><name>spinel</name></sample>"
                     "<xrdMeasurement><usedWavelength><kAlpha1>1.5405980</kAlpha1></usedWavelength>"
                     "<scan><header><startTimeStamp>2019-03-04T10:22:31+01:00</startTimeStamp></header>"
                     "<nonAmbientPoints><nonAmbientValues unit=\"") +
         unit + "\">" + readings +
         "</nonAmbientValues></nonAmbientPoints><dataPoints>"
         "<positions axis=\"2Theta\" unit=\"deg\"><startPosition>20</startPosition><endPosition>20.08</endPosition>"
         "</positions><commonCountingTime>1</commonCountingTime><intensities>1 2 3 4 5</intensities></dataPoints>"
         "</scan></xrdMeasurement></xrdMeasurements>";
}

TEST_F(DataFiles, TheRealVendorFilesGiveTheirScansStartAndName) {
  // Read by hand from each file's header.
  const struct {
    const char* file;
    const char* name;
    const char* start;
  } rows[] = {
      {"bruker_2theta_omega.brml", "2Theta-Omega", "2023-01-26T15:23:09.837152+01:00"},
      {"rigaku_powder.rasx", "", "2021-05-05T10:35:31Z"},
      {"empyrean_v1.6_powder.xrdml", "", "2021-03-16T13:10:14+03:00"},
      {"empyrean_v1.7_rbnb2o5f.xrdml", "", "2022-03-04T16:49:48+01:00"},
      {"bruker_raw4_scrambled.raw", "", "2025-04-07T20:48:56"},
  };
  for (const auto& c : rows) {
    forget_messages();
    xdd_10* x = new_file(std::string(XRDF_TEST_DATA "/") + c.file);
    ASSERT_NE(x->execute(), nullptr) << c.file;
    const facts f = facts_of(x);
    EXPECT_EQ(std::tuple(f.index, f.count), std::tuple(1, 1)) << c.file;
    EXPECT_EQ(f.name, c.name) << c.file;
    EXPECT_EQ(f.start_time, c.start) << c.file;
    EXPECT_TRUE(std::isnan(f.temperature_C)) << c.file << ": none of them logs a sample temperature";
  }
}

TEST_F(DataFiles, EachScanOfARasFileKeepsItsOwnCommentAndStart) {
  const std::string path = write_file("two.ras", two_scan_ras());
  xdd_10* x = new_file(path);
  ASSERT_NE(x->execute(), nullptr);
  facts f = facts_of(x);
  EXPECT_EQ(std::tuple(f.index, f.count, f.name, f.start_time),
            std::tuple(1, 2, std::string("room temperature"), std::string("2019-03-04T10:22:31")));
  const xdd_data_3::scan_choice second(2);
  ASSERT_NE(x->execute(), nullptr);
  f = facts_of(x);
  EXPECT_EQ(std::tuple(f.index, f.count, f.name, f.start_time),
            std::tuple(2, 2, std::string("after heating"), std::string("2019-03-14T09:05:00")));
}

TEST_F(DataFiles, AStageTemperatureIsReadInCelsiusWhateverUnitTheFileWrites) {
  const struct {
    const char* unit;
    const char* readings;
    double celsius;  // NaN: no temperature
  } rows[] = {
      {"\u00b0C", "150.0 150.2 149.8", 150.0},
      {"K", "573.15", 300.0},
      {"mbar", "1000", std::nan("")},
  };
  for (const auto& c : rows) {
    xdd_10* x = new_file(write_file("heated.xrdml", heated_xrdml(c.unit, c.readings)));
    ASSERT_NE(x->execute(), nullptr) << c.unit;
    const facts f = facts_of(x);
    EXPECT_EQ(f.start_time, "2019-03-04T10:22:31+01:00");
    if (std::isnan(c.celsius))
      EXPECT_TRUE(std::isnan(f.temperature_C)) << c.unit << " is not a temperature";
    else
      EXPECT_NEAR(f.temperature_C, c.celsius, 1e-9) << c.unit;
  }
}

TEST_F(DataFiles, AFileThatSaysNothingOfItsScanLeavesItsFactsEmpty) {
  xdd_10* x = new_file(write_file("plain.xy", "20 1\n20.02 2\n20.04 3\n20.06 4\n20.08 5\n"));
  ASSERT_NE(x->execute(), nullptr);
  const facts f = facts_of(x);
  EXPECT_EQ(std::tuple(f.name, f.start_time), std::tuple(std::string(), std::string()));
  EXPECT_TRUE(std::isnan(f.temperature_C));
}

TEST(ScanStart, TheInstrumentsDateAndTimeBecomeIso8601OrNothing) {
  const struct {
    const char* what;
    const char* date;
    const char* time;
    const char* iso;
  } rows[] = {
      {"a month-first date with a four-digit year", "04/07/2025", "20:48:56", "2025-04-07T20:48:56"},
      {"a two-digit year of this century", "03/04/19", "10:22:31", "2019-03-04T10:22:31"},
      {"a first field above 12, which can only be the day", "25/12/2020", "08:00:00", "2020-12-25T08:00:00"},
      {"a month 13 either way round", "13/13/2020", "08:00:00", ""},
      {"a time of day past its end", "01/02/2020", "25:00:00", ""},
      {"words in place of a date", "yesterday", "noon", ""},
      {"nothing at all", "", "", ""},
  };
  for (const auto& c : rows) EXPECT_EQ(iso_start_time(c.date, c.time), c.iso) << c.what;
}

TEST(ScanStart, AWrittenTimeStampIsKeptAsWrittenButThePlaceholderOfNeverIsNot) {
  EXPECT_EQ(iso_time_stamp(" 2021-05-05T10:35:31Z "), "2021-05-05T10:35:31Z");
  EXPECT_EQ(iso_time_stamp("0001-01-01T00:00:00"), "");
  EXPECT_EQ(iso_time_stamp("5 May 2021"), "");
}

}  // namespace
