// drvx-send: sends a call stack (a file, or standard input) as one message to
// a message slot, as a traced program does. Exit status 0 when sent, 1 when
// no receiver holds the slot or sending failed, 2 for bad input.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include <CLI/CLI.hpp>

#include "drvx/platform/message_slot.h"

int main(int argc, char** argv) {
  CLI::App app{"drvx-send: send a call stack (innermost call first, one call per line) to the "
               "plug-in's message slot"};
  std::string file;
  std::string slot = "MbDRVX";
  app.add_option("file", file, "the call stack to send; standard input when left out")
      ->check(CLI::ExistingFile);
  app.add_option("--slot", slot, "the slot's name (its path is \\\\.\\mailslot\\NAME)")
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  std::string message;
  if (file.empty()) {
    message.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(file, std::ios::binary);
    message.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (message.size() > drvx::platform::kMaxSlotMessage) {
    std::cerr << "drvx-send: error: the message has " << message.size()
              << " bytes; a slot takes at most " << drvx::platform::kMaxSlotMessage << '\n';
    return 2;
  }
  try {
    drvx::platform::SendToSlot(drvx::platform::SlotPath(slot), message);
  } catch (const std::exception& e) {
    std::cerr << "drvx-send: error: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
