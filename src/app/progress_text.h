#pragma once
// The text of the window's progress bar while a batch job runs.

#include <QString>
#include <optional>

#include "jobs/host.h"
#include "jobs/progress_rate.h"

namespace zelvor::app {

// The list job: "Rekordy: 12 z 300 · 3,4 na s · zostało ok. 1:25", the rate and the time left
// once there is a rate. The period job: "Dni: 2 z 7 · zapisani przedsiębiorcy: 35".
QString ProgressBarText(const jobs::JobProgress& progress,
                        const std::optional<jobs::ProgressRate>& rate);

}  // namespace zelvor::app
