#include "platform/odbc/odbc_functions.h"

#include <mutex>
#include <optional>
#include <utility>

#include "platform/cp1252.h"
#include "platform/sql_connection.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace trelvo::platform {

#ifdef _WIN32
const char kMachineDriverManager[] = "odbc32.dll";
#else
const char kMachineDriverManager[] = TRELVO_ODBC_LIBRARY;
#endif

namespace {

DatabaseError Unavailable(const std::string& library, const std::string& why) {
  // IM003, "driver could not be loaded": the nearest of ODBC's own states.
  return DatabaseError(DatabaseFailure::Other, "IM003",
                       "Der ODBC-Treiber-Manager " + library + " ist nicht verfügbar: " + why);
}

// A loaded library, let go again unless kept.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::string& name) : name_(name) {
#ifdef _WIN32
    // Searched for as an import would have been; odbc32.dll is in the system
    // folder of every Windows.
    const std::u16string wide = Utf8ToUtf16(name);
    handle_ = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    if (!handle_) throw Unavailable(name, "er lässt sich nicht laden (Fehler " + std::to_string(GetLastError()) + ").");
#else
    // Its own symbols only: a function the library lacks is not found in
    // another library of the process.
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
      const char* why = dlerror();
      throw Unavailable(name, std::string("er lässt sich nicht laden (") + (why ? why : "?") + ").");
    }
#endif
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  ~LoadedLibrary() {
    if (!handle_) return;
#ifdef _WIN32
    FreeLibrary(handle_);
#else
    dlclose(handle_);
#endif
  }

  template <class Function>
  void LookUp(const char* function_name, Function& function) const {
#ifdef _WIN32
    const auto address = reinterpret_cast<void (*)()>(GetProcAddress(handle_, function_name));
#else
    const auto address = reinterpret_cast<void (*)()>(dlsym(handle_, function_name));
#endif
    if (!address) throw Unavailable(name_, std::string("die Funktion ") + function_name + " fehlt.");
    function = reinterpret_cast<Function>(address);
  }

  // The library stays loaded for the rest of the process. Nothing lets it go
  // later, not even Trelvo.dll's unloading: a static's destructor in a DLL
  // runs in its DllMain, under the loader lock, where FreeLibrary is not safe
  // (Microsoft's documentation of FreeLibrary and DllMain), and a driver
  // manager unloaded there would unload its drivers from inside our DllMain
  // too. The system unloads it with the process; a Trelvo.dll loaded again
  // finds it loaded.
  void Keep() { handle_ = {}; }

 private:
  std::string name_;
#ifdef _WIN32
  HMODULE handle_ = nullptr;
#else
  void* handle_ = nullptr;
#endif
};

}  // namespace

OdbcFunctions LoadOdbcFunctions(const std::string& library) {
  LoadedLibrary loaded(library);
  OdbcFunctions odbc;
  // Every member of the table, by its own name.
  static_assert(sizeof(OdbcFunctions) == 13 * sizeof(void (*)()), "a function of the table is not looked up");
#define TRELVO_LOOK_UP(function) loaded.LookUp(#function, odbc.function)
  TRELVO_LOOK_UP(SQLAllocHandle);
  TRELVO_LOOK_UP(SQLBindParameter);
  TRELVO_LOOK_UP(SQLDisconnect);
  TRELVO_LOOK_UP(SQLDriverConnectW);
  TRELVO_LOOK_UP(SQLEndTran);
  TRELVO_LOOK_UP(SQLExecDirectW);
  TRELVO_LOOK_UP(SQLFetch);
  TRELVO_LOOK_UP(SQLFreeHandle);
  TRELVO_LOOK_UP(SQLGetData);
  TRELVO_LOOK_UP(SQLGetDiagRecW);
  TRELVO_LOOK_UP(SQLNumResultCols);
  TRELVO_LOOK_UP(SQLSetConnectAttrW);
  TRELVO_LOOK_UP(SQLSetEnvAttr);
#undef TRELVO_LOOK_UP
  loaded.Keep();
  return odbc;
}

const OdbcFunctions& MachineOdbcFunctions() {
  static std::mutex loading;
  static std::optional<OdbcFunctions> machine;
  const std::lock_guard<std::mutex> lock(loading);
  if (!machine) machine = LoadOdbcFunctions(kMachineDriverManager);
  return *machine;
}

}  // namespace trelvo::platform
