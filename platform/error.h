#pragma once
// Exceptions of the add-in. Messages are German UTF-8 text meant for the user;
// at a COM boundary they become the error description.
#include <stdexcept>
#include <string>

namespace trelvo {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An operation that stopped after it had told the user why (in a message box):
// callers end quietly and show nothing more.
class Aborted : public Error {
 public:
  using Error::Error;
};

}  // namespace trelvo
