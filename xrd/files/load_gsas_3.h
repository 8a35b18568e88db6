#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of GSAS powder data (.gsa, .gsas, .fxye): a title line, comment and
// "Instrument parameter" lines, then one or more banks, each a BANK line
//   BANK ibank nchan nrec CONS start step 0 0 layout
// and its records, in one of the layouts STD (ten counts a line, each after
// a two-column number of counters), ESD (five count and esd pairs a line),
// ALT (four angle, count and esd triples a line) or FXYE (an angle, a count
// and an esd per line). Only constant-wavelength banks are read; the angles
// are written in centidegrees. Each bank is a scan. The wavelength is taken
// from a "wavelength" comment, else from the instrument parameter file named
// in the header when it lies beside the data file.
class load_gsas_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_gsas"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
};
