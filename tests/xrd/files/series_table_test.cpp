// Reading the series tables the batch tool writes: quoted cells, empty
// cells, a failed scan's row, and the tables that must be refused.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "xrd/files/series_table.h"

namespace {

// Three scans of a measure run: the second failed, the third has a name
// with a comma and a warning with quotes; the first file's path has a
// comma too. Line ends are CR LF, as a spreadsheet saves them.
const std::string measured =
    "index,file,scan,name,start_time,temperature_C,fwhm,area_weighted_length,area_weighted_length_u,warning\r\n"
    "1,\"run,1.ras\",1,first,2024-05-01T10:00:00,25,0.21,152.5,3.5,\r\n"
    "2,run2.ras,1,,,,,,,\"no peak above the background\"\r\n"
    "3,run3.ras,2,\"hot, cooled\",2024-05-01T10:20:00,400.5,0.25,140,,\"tail \"\"cut\"\" short\nsecond line\"\r\n";

TEST(SeriesTable, ATableWithQuotedEmptyAndFailedRowsReadsCellByCell) {
  series_table t;
  std::string why;
  ASSERT_TRUE(series_table::parse(measured, t, why)) << why;
  EXPECT_EQ(t.columns, (std::vector<std::string>{"fwhm", "area_weighted_length", "area_weighted_length_u"}));
  ASSERT_EQ(t.rows.size(), 3u);

  EXPECT_EQ(t.rows[0].file, "run,1.ras");
  EXPECT_EQ(t.rows[0].name, "first");
  EXPECT_EQ(t.rows[0].start_time, "2024-05-01T10:00:00");
  EXPECT_DOUBLE_EQ(t.rows[0].temperature_C, 25.0);
  EXPECT_DOUBLE_EQ(t.rows[0].values[1], 152.5);
  EXPECT_EQ(t.rows[0].warning, "");

  // The failed scan: every figure empty, its message kept.
  EXPECT_EQ(t.rows[1].index, 2);
  EXPECT_TRUE(std::isnan(t.rows[1].temperature_C));
  for (double v : t.rows[1].values) EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(t.rows[1].warning, "no peak above the background");

  EXPECT_EQ(t.rows[2].scan, 2);
  EXPECT_EQ(t.rows[2].name, "hot, cooled");
  EXPECT_DOUBLE_EQ(t.rows[2].temperature_C, 400.5);
  EXPECT_TRUE(std::isnan(t.rows[2].values[2])) << "an empty uncertainty";
  EXPECT_EQ(t.rows[2].warning, "tail \"cut\" short\nsecond line");
  EXPECT_TRUE(t.has_temperatures());
}

TEST(SeriesTable, AColumnOfWordsIsNotOfferedAndATableWithoutTemperaturesSaysSo) {
  const std::string text =
      "index,file,scan,name,start_time,temperature_C,phase,size_nm,warning\n"
      "1,a.xy,1,,,,bcc,12.5,\n"
      "2,b.xy,1,,,,7,13,\n";
  series_table t;
  std::string why;
  ASSERT_TRUE(series_table::parse(text, t, why)) << why;
  EXPECT_EQ(t.drawable_columns(), std::vector<std::string>{"size_nm"});
  EXPECT_TRUE(std::isnan(t.rows[1].values[0])) << "the number among words is not drawn";
  EXPECT_FALSE(t.has_temperatures());
}

TEST(SeriesTable, TablesThatCannotBeReadAreRefusedNamingTheLineAndTheCause) {
  const std::string header = "index,file,scan,name,start_time,temperature_C,fwhm,warning\n";
  const struct {
    const char* what;
    std::string text;
    const char* message;
  } rows[] = {
      {"a row short of a cell", header + "1,a.xy,1,,,,0.2,\n2,b.xy,1,,,0.2,\n",
       "Line 3: 7 cells where the header has 8"},
      {"an index that is no whole number", header + "one,a.xy,1,,,,0.2,\n", "Line 2: the index \"one\""},
      {"a temperature that is no number", header + "1,a.xy,1,,,warm,0.2,\n", "Line 2: the temperature \"warm\""},
      {"a quote left open", header + "1,\"a.xy,1,,,,0.2,\n", "Line 2: a quoted cell is not closed"},
      {"no warning column", "index,file,scan,name,start_time,temperature_C,fwhm\n1,a,1,,,,2\n",
       "Line 1: the last column is not \"warning\""},
      {"another header", "angle,count\n1,2\n", "Line 1: not the header of a series table"},
  };
  for (const auto& r : rows) {
    series_table t;
    std::string why;
    EXPECT_FALSE(series_table::parse(r.text, t, why)) << r.what;
    EXPECT_NE(why.find(r.message), std::string::npos) << r.what << ": " << why;
  }
}

TEST(SeriesTable, OnlyTheHeaderOfASeriesTableIsTakenForOne) {
  EXPECT_TRUE(series_table::starts_like("index,file,scan,name,start_time,temperature_C,fwhm,warning\n"));
  EXPECT_TRUE(series_table::starts_like("\xEF\xBB\xBFindex,file,scan,name,start_time,temperature_C,x,warning"));
  EXPECT_FALSE(series_table::starts_like("2theta,counts\n20,100\n"));
  EXPECT_FALSE(series_table::starts_like("index,file,scan,name,start_time\n"));
  EXPECT_FALSE(series_table::starts_like("20.0,100\n20.02,110\n"));
}

TEST(SeriesTable, EachColumnIsCaptionedWithTheUnitItsNameTells) {
  const struct {
    const char* column;
    const char* caption;
  } rows[] = {
      {"area_weighted_length", "area_weighted_length (Å)"},
      {"volume_weighted_length_u", "volume_weighted_length_u (Å)"},
      {"scherrer_size", "scherrer_size (Å)"},
      {"fwhm", "fwhm (°)"},
      {"deconvoluted_fwhm", "deconvoluted_fwhm (°)"},
      {"area", "area (counts·°)"},
      {"size_nm", "size_nm (nm)"},
      {"temperature_C", "temperature_C (°C)"},
      {"strain", "strain"},
  };
  for (const auto& r : rows) EXPECT_EQ(series_column_caption(r.column), r.caption) << r.column;
}

}  // namespace
