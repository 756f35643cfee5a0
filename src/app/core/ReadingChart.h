// The full 八字 chart of a finished reading: its pillars, the birth moment
// the luck pillars follow, and the day the reading is made on.
#pragma once

#include <memory>

#include "Chart.h"
#include "KarvoInfo.h"
#include "Reading.h"

namespace velmora {

// The chart of `record`, read from `input` with `clock` the working date
// with the hour and minute as typed; nothing for a record without pillars.
std::shared_ptr<const Chart> ChartOfReading(const BirthInput& input, const TKarvoInfo& record,
                                            const StartupDate& asOf);

}  // namespace velmora
