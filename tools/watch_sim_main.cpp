// watch-sim: starts a simulated watch on a pseudo-terminal and prints the port
// to type into the program. Runs until its input ends (Ctrl-D) or "quit".
//
//   watch-sim [--profile NAME | --profile-file PATH] [--silent]
//   watch-sim --list
#include <iostream>
#include <string>

#include "tools/WatchSim.h"

namespace {

int Usage() {
  std::cerr << "usage: watch-sim [--profile NAME | --profile-file PATH] [--silent]\n"
               "       watch-sim --list\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Profile profile;
  sim::BuiltinProfile("runner", profile);
  bool silent = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list") {
      for (const std::string& name : sim::BuiltinProfileNames()) {
        sim::Profile p;
        sim::BuiltinProfile(name, p);
        std::cout << name << "\t" << p.name << " (product " << p.productId << ", software "
                  << p.softwareVersion << ", "
                  << (p.protocols ? "protocols " + sim::FormatProtocols(*p.protocols) : std::string("no protocol array"))
                  << ")\n";
      }
      return 0;
    } else if (arg == "--profile" && i + 1 < argc) {
      if (!sim::BuiltinProfile(argv[++i], profile)) {
        std::cerr << "watch-sim: no built-in profile '" << argv[i] << "' (see --list)\n";
        return 2;
      }
    } else if (arg == "--profile-file" && i + 1 < argc) {
      std::string error;
      if (!sim::LoadProfile(argv[++i], profile, error)) {
        std::cerr << "watch-sim: " << error << "\n";
        return 2;
      }
    } else if (arg == "--silent") {
      silent = true;
    } else {
      return Usage();
    }
  }
  try {
    sim::Watch_t watch(profile);
    watch.SetSilent(silent);
    std::cout << "Simulated watch \"" << profile.name << "\" is ready.\n"
              << "Serial port to enter in the program: " << watch.PortPath() << "\n"
              << "Type quit or press Ctrl-D to stop." << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
      if (line == "quit" || line == "exit") break;
      if (line == "status")
        std::cout << "frames from the host: " << watch.HostFrames().size()
                  << ", sessions ended: " << watch.SessionsEnded() << (watch.IsOff() ? ", switched off" : "")
                  << std::endl;
    }
  } catch (const std::exception& e) {
    std::cerr << "watch-sim: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
