#pragma once
// The baseline a draw is measured against: the lock protocol and the draw
// done key by key over the Windows profile functions, each read and each write
// its own access to the file.
#include <optional>
#include <string>

namespace trelvo::bench {

// Draws per second of that baseline on the counter file at path (created with
// Counter 0), or nullopt where the profile functions do not exist.
std::optional<double> MeasureProfileFunctionDraws(const std::string& path, int draws);

}  // namespace trelvo::bench
