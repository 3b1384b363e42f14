// trelvo on POSIX systems (the native build).
#include <iostream>

#include "cli/trelvo_tool.h"
#include "platform/console_user_interface.h"
#include "platform/system_platform.h"
#include "platform/wait_showing_file_system.h"

int main(int argc, char** argv) {
  auto platform = trelvo::platform::MakeSystemPlatform();
  trelvo::platform::ConsoleUserInterface ui(std::cerr);
  trelvo::platform::WaitShowingFileSystem files(*platform.files, ui);
  trelvo::platform::Environment env{files, *platform.system, ui};
  return trelvo::cli::RunTrelvoTool({argv + 1, argv + argc}, env, std::cout, std::cerr);
}
