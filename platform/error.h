#pragma once
// The one exception type of the add-in. Its message is German UTF-8 text meant
// for the user; at a COM boundary it becomes the error description.
#include <stdexcept>
#include <string>

namespace trelvo {

class Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace trelvo
