#pragma once
// The counter value that a record's number proves under a range's format: the
// records written before the usage table kept each draw's counter value get it
// back only where the number, composed again from that value and the record's
// day, is the very text recorded.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/number_composition.h"

namespace trelvo::engine::server {

// nullopt when the number does not have the format's shape on that day (an
// older format, a marker such as "#ini gesperrt#", a day the draw straddled).
std::optional<int64_t> ProvenCounter(const NumberFormat& format, const std::string& number,
                                     const platform::LocalDateTime& day);

// "2026-03-05 14:07:09" as the server gives a record's time; nullopt for any other text.
std::optional<platform::LocalDateTime> RecordTime(const std::string& text);

}  // namespace trelvo::engine::server
