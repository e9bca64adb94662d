#pragma once

#include <string>

// orvik-bench: one program for all benchmarks. Each case reports figures as
// "key: value" lines; --filter NAME runs the cases whose name contains NAME,
// --smoke runs every case with tiny counts (a test that the code still works,
// not a measurement).
class TBenchContext {
 public:
  explicit TBenchContext(bool smoke) : FSmoke(smoke) {}
  bool Smoke() const { return FSmoke; }
  void Report(const std::string& key, double value) const;

 private:
  bool FSmoke;
};

using TBenchFunction = void (*)(TBenchContext&);

struct TBenchRegistrar {
  // needsGui: the case opens windows, so a QApplication must exist.
  TBenchRegistrar(const char* name, TBenchFunction function, bool needsGui);
};

#define ORVIK_BENCH_CASE(name, function, needsGui) \
  static const TBenchRegistrar name##Registrar(#name, function, needsGui)
