// skytrace-demo: the flight logger run headless on a simulated clock against the built-in
// simulator, with scripted user actions; prints a transcript of what the program shows.
#include <exception>
#include <iostream>

#include "demo_runner.h"

int main(int argc, char** argv) {
  sky::DemoOptions options;
  if (!sky::ParseDemoOptions(argc, argv, options, std::cerr)) return 2;
  if (options.help) {
    std::cout << sky::kDemoUsage;
    return 0;
  }
  options.cleanUpOnSignals = true;
  try {
    sky::DemoRunner runner(options, std::cout, std::cerr);
    return runner.Run();
  } catch (const std::exception& error) {
    // The runner has cleaned up on the way out; say what ended it.
    std::cerr << "skytrace-demo: " << error.what() << "\n";
    return 1;
  }
}
