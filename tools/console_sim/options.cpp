#include "tools/console_sim/options.h"

#include "tools/console_sim/scenario_tokens.h"

namespace console_sim {

OptionsResult ParseOptions(std::span<const std::string> arguments) {
  OptionsResult result;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--quiet") {
      result.options.quiet = true;
    } else if (argument == "--help" || argument == "-h") {
      result.options.help = true;
    } else if (argument == "--scenario" && hasValue) {
      result.options.scenarioPath = arguments[++i];
    } else if (argument == "--link" && hasValue) {
      const std::string& name = arguments[++i];
      if (name != "directplay" && name != "tcp") {
        result.error = "--link needs directplay or tcp, not " + name;
        return result;
      }
      result.options.link = name == "tcp" ? LinkKind::kTcp : LinkKind::kDirectPlay;
    } else if (argument == "--port" && hasValue) {
      const auto port = ReadInteger(arguments[++i]);
      if (!port || *port < 0 || *port > 65535) {
        result.error = "--port needs a number from 0 to 65535, not " + arguments[i];
        return result;
      }
      result.options.port = static_cast<std::uint16_t>(*port);
    } else {
      const bool takesValue =
          argument == "--port" || argument == "--scenario" || argument == "--link";
      result.error = takesValue ? argument + " needs a value" : "unknown argument: " + argument;
      return result;
    }
  }
  return result;
}

std::string Usage() {
  return "Usage: console-sim [--link directplay|tcp] [--port N] [--scenario FILE] [--quiet]\n"
         "  Hosts the link on 127.0.0.1 (port 2400 unless --port; 0 picks a free one):\n"
         "  the DirectPlay 8 session over UDP, or with --link tcp the framed-TCP stand-in;\n"
         "  waits for the module, answers its configuration request and plays the scenario\n"
         "  (the built-in demo unless --scenario). Lines typed on stdin in the scenario\n"
         "  syntax are sent at once.\n";
}

}  // namespace console_sim
