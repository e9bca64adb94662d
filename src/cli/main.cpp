#include <cstdio>

int main() {
  std::fputs("usage: orvik-cli assemble|run|disasm ...\n", stderr);
  return 1;
}
