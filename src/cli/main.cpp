#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/Cli.h"

int main(int argc, char** argv) {
  // Standard output carries raw bytes written to RF; C++ streams buffer them
  // on their own once detached from stdio.
  std::ios::sync_with_stdio(false);
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  try {
    return RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "orvik-cli: " << e.what() << '\n';
    return 1;
  }
}
