#include "bench/profile_baseline.h"

namespace trelvo::bench {

// POSIX has no profile functions: the baseline is measured in the Windows build.
std::optional<double> MeasureProfileFunctionDraws(const std::string&, int) { return std::nullopt; }

}  // namespace trelvo::bench
