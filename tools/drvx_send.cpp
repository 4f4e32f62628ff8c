// drvx-send: sends a call stack (a file, or standard input) as one message to
// a message slot, as a traced program does. Exit status 0 when sent, 1 when
// no receiver holds the slot or sending failed, 2 for bad input, 3 when the
// receiver holds the slot but did not take the message in time.
#include <fstream>
#include <iostream>

#include <CLI/CLI.hpp>

#include "drvx/platform/file_version.h"
#include "drvx/platform/message_slot.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

int main(int argc, char** argv) {
  CLI::App app{"drvx-send: send a call stack (innermost call first, one call per line) to the "
               "plug-in's message slot"};
  std::string file;
  app.allow_windows_style_options(false);  // "/path/to/stack.txt" is a file, not an option
  std::string slot = "MbDRVX";
  app.add_option("file", file, "the call stack to send; standard input when left out")
      ->check(CLI::ExistingFile);
  app.add_option("--slot", slot, "the slot's name (its path is \\\\.\\mailslot\\NAME)")
      ->capture_default_str();
  int timeoutMs = drvx::platform::kDefaultSendTimeoutMs;
  app.add_option("--timeout", timeoutMs,
                 "milliseconds to wait for a receiver whose queue is full (0: do not wait)")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  // Reads one byte more than a slot takes, never without bound.
  std::ifstream file_in;
  if (!file.empty()) file_in.open(file, std::ios::binary);
  std::istream& in = file.empty() ? std::cin : file_in;
  std::string message(drvx::platform::kMaxSlotMessage + 1, '\0');
  in.read(message.data(), std::streamsize(message.size()));
  message.resize(std::size_t(in.gcount()));
  if (message.size() > drvx::platform::kMaxSlotMessage) {
    std::cerr << "drvx-send: error: the message has more than " << drvx::platform::kMaxSlotMessage
              << " bytes, the most a slot takes\n";
    return 2;
  }
  try {
    drvx::platform::SendToSlot(drvx::platform::SlotPath(slot), message, timeoutMs);
  } catch (const drvx::platform::SlotTimedOut& e) {
    std::cerr << "drvx-send: error: " << e.what() << '\n';
    return 3;
  } catch (const std::exception& e) {
    std::cerr << "drvx-send: error: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
