#pragma once
// The five numeric per-row arrays in the order of a record's fields.

#include "session/form_variables.h"
#include "datafile/record_format.h"

namespace eq {

using RowNumberArray = std::array<float, kRowArraySize>;

// Year, month, day, latitude, longitude.
inline std::array<RowNumberArray*, kNumbersPerRecord> rowNumberArrays(FormVariables& v) {
  return {&v.EruptionYear, &v.EruptionMonth, &v.EruptionDay, &v.VolcanoLatitude, &v.VolcanoLongitude};
}

// Row `row`'s five numbers.
inline std::array<float, kNumbersPerRecord> rowNumbers(const FormVariables& v, int row) {
  return {v.EruptionYear[row], v.EruptionMonth[row], v.EruptionDay[row], v.VolcanoLatitude[row],
          v.VolcanoLongitude[row]};
}

}  // namespace eq
