// skytrace-demo: the flight logger run headless on a simulated clock against the built-in
// simulator, with scripted user actions; prints a transcript of what the program shows.
#include <iostream>

#include "demo_runner.h"

int main(int argc, char** argv) {
  sky::DemoOptions options;
  if (!sky::ParseDemoOptions(argc, argv, options, std::cerr)) return 2;
  sky::DemoRunner runner(options, std::cout, std::cerr);
  return runner.Run();
}
