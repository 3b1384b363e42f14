#pragma once
// Every COM entry point of the DLL runs its body through GuardComCall: exceptions
// become a failure HRESULT with IErrorInfo, so nothing propagates into the host.
#include <exception>
#include <string>
#include <windows.h>

#include "platform/error.h"

namespace trelvo::win32 {

// An error that carries its own HRESULT (for example E_INVALIDARG).
class ComError : public Error {
 public:
  ComError(HRESULT code, const std::string& message) : Error(message), code_(code) {}
  HRESULT code() const { return code_; }

 private:
  HRESULT code_;
};

// Sets the thread's error information and returns code.
HRESULT ReportComError(REFGUID source, HRESULT code, const std::string& description) noexcept;

// failure: the code for an error that carries none of its own.
template <class Body>
HRESULT GuardComCall(REFGUID source, Body&& body, HRESULT failure = E_FAIL) noexcept {
  try {
    return body();
  } catch (const ComError& error) {
    return ReportComError(source, error.code(), error.what());
  } catch (const std::bad_alloc&) {
    return ReportComError(source, E_OUTOFMEMORY, "Nicht genügend Arbeitsspeicher");
  } catch (const std::exception& error) {
    return ReportComError(source, failure, error.what());
  } catch (...) {
    return ReportComError(source, E_UNEXPECTED, "Unerwarteter Fehler");
  }
}

}  // namespace trelvo::win32
