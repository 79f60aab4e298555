#pragma once

namespace ledra {

struct ConversionState;
class Platform;

// Writes busho.csv: one record per department. With only the business as a whole there is
// nothing to write and no file is made (an old busho.csv stays). False on any failure, with
// the earlier file left in place and the reason in lastErrorDetail.
bool writeDepartmentFile(ConversionState& state, Platform& platform);

}  // namespace ledra
