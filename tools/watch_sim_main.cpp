// watch-sim: starts a simulated watch on a pseudo-terminal and prints the port
// to type into the program. It serves until it is interrupted (Ctrl-C) or
// terminated (kill); typed at in a terminal, "quit" or Ctrl-D end it too. An
// input that is no terminal (a background job, nohup) is not read.
//
//   watch-sim [--profile NAME | --profile-file PATH] [--silent]
//   watch-sim --list
#include <iostream>
#include <string>

#include "plat/PLAT_Console.h"
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
  // Typed at: commands from the terminal. Otherwise the watch serves until an
  // interrupt or a termination request, which the watch's thread must not take.
  const bool typedAt = plat::InputIsForegroundTerminal();
  if (!typedAt) plat::HoldStopRequests();
  try {
    sim::Watch_t watch(profile);
    watch.SetSilent(silent);
    std::cout << "Simulated watch \"" << profile.name << "\" is ready.\n"
              << "Serial port to enter in the program: " << watch.PortPath() << "\n";
    if (!typedAt) {
      std::cout << "To stop it: kill " << plat::ProcessId() << " (or Ctrl-C in the foreground)" << std::endl;
      plat::WaitForStopRequest();
      return 0;
    }
    std::cout << "Type quit or press Ctrl-D to stop." << std::endl;
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
