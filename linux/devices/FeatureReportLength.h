#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Windows hands a feature report to the display cut or padded to the length its report descriptor
// declares; hidraw passes whatever length it is given. So the Linux edition reads the descriptor
// and sizes its reports the same way.

// Bytes of feature report reportId, the ID byte included, as the descriptor declares it; 0 when
// the descriptor declares no such feature report.
std::size_t DeclaredFeatureLength(const std::vector<std::uint8_t>& descriptor, std::uint8_t reportId);

// The report descriptor behind a hidraw node ("/dev/hidraw3" -> <sysfs>/class/hidraw/hidraw3/
// device/report_descriptor); empty when it cannot be read.
std::vector<std::uint8_t> ReadReportDescriptor(const std::string& sysfsRoot, const std::string& devicePath);

// Fills into with report cut or zero-padded to length; unchanged when length is 0 (unknown).
// Reuses into's storage, so a report a second costs no allocation.
void FitToLength(const std::uint8_t* report, std::size_t size, std::size_t length,
                 std::vector<std::uint8_t>& into);
