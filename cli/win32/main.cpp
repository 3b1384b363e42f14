// trelvo.exe: the Windows console program. Arguments arrive as UTF-16 and the
// console shows UTF-8.
#include <iostream>
#include <windows.h>

#include "cli/trelvo_tool.h"
#include "platform/console_user_interface.h"
#include "platform/system_platform.h"
#include "platform/wait_showing_file_system.h"
#include "platform/win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(trelvo::win32::Narrow(argv[i]));
  auto platform = trelvo::platform::MakeSystemPlatform();
  trelvo::platform::ConsoleUserInterface ui(std::cerr);
  trelvo::platform::WaitShowingFileSystem files(*platform.files, ui);
  trelvo::platform::Environment env{files, *platform.system, ui};
  return trelvo::cli::RunTrelvoTool(args, env, std::cout, std::cerr);
}
