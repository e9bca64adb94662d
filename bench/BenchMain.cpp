#include "Bench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef ORVIK_BENCH_GUI
#include <QApplication>
#include <memory>
#endif

namespace {

struct TBenchCase {
  const char* Name;
  TBenchFunction Function;
  bool NeedsGui;
};

std::vector<TBenchCase>& Cases() {
  static std::vector<TBenchCase> cases;
  return cases;
}

}  // namespace

void TBenchContext::Report(const std::string& key, double value) const {
  std::printf("%s: %.6g\n", key.c_str(), value);
  std::fflush(stdout);
}

TBenchRegistrar::TBenchRegistrar(const char* name, TBenchFunction function, bool needsGui) {
  Cases().push_back({name, function, needsGui});
}

int main(int argc, char** argv) {
  const char* filter = nullptr;
  bool smoke = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--filter") == 0 && i + 1 < argc) {
      filter = argv[++i];
    } else if (std::strcmp(argv[i], "--smoke") == 0) {
      smoke = true;
    } else if (std::strcmp(argv[i], "--list") == 0) {
      for (const TBenchCase& c : Cases()) std::printf("%s\n", c.Name);
      return 0;
    } else {
      std::fprintf(stderr, "usage: orvik-bench [--filter NAME] [--smoke] [--list]\n");
      return 1;
    }
  }
#ifdef ORVIK_BENCH_GUI
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::unique_ptr<QApplication> app;
#endif
  TBenchContext context(smoke);
  int ran = 0;
  for (const TBenchCase& c : Cases()) {
    if (filter && !std::strstr(c.Name, filter)) continue;
#ifdef ORVIK_BENCH_GUI
    if (c.NeedsGui && !app) app = std::make_unique<QApplication>(argc, argv);
#else
    if (c.NeedsGui) continue;
#endif
    c.Function(context);
    ++ran;
  }
  if (ran == 0 && filter) {
    std::fprintf(stderr, "orvik-bench: no benchmark matches %s\n", filter);
    return 1;
  }
  return 0;
}
