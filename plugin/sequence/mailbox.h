// TZkMailBox and TZkSlotThread: receive call stacks that other processes send
// to a message slot ("\\.\mailslot\" + slot name), one call-sequence list per
// message, and hand each message to a handler — on the user-interface thread
// when the synchronise flag is set, else on the reader thread.
//
// The mailbox is made, set up, activated and destroyed on the user-interface
// thread. Only the reader thread crosses threads: it reads its own copies of
// the slot and the buffer size, set before it starts. Deactivation wakes the
// reader at once, gives up a hand-over that has not started (the message is
// dropped with a log line), and joins the thread: it never deadlocks and
// never kills a thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "drvx/platform/message_slot.h"
#include "type_memory_stream.h"

namespace drvx::sequence {

class TZkMailBox;

class TZkSlotThread {
 public:
  using Delivery = std::function<void(TZkMailBox&, settings::TTypeMemoryStream&)>;

  TZkSlotThread(TZkMailBox& mailBox, bool synchronize, Delivery onMessage,
                platform::MessageSlot& slot, std::int32_t bufferSize);
  ~TZkSlotThread();  // terminates and joins
  TZkSlotThread(const TZkSlotThread&) = delete;
  TZkSlotThread& operator=(const TZkSlotThread&) = delete;

  // Asks the loop to end and wakes its read; Join waits for it.
  void Terminate();
  void Join();

 private:
  void Execute();
  void DoMessage();

  std::int32_t FBufferSize;
  Delivery FOnMessage;
  TZkMailBox& FMailBox;
  settings::TTypeMemoryStream FStream;
  bool FSynchronize;
  platform::MessageSlot& FSlotHandle;
  std::atomic<bool> terminated_ = false;
  std::thread thread_;
};

class TZkMailBox {
 public:
  using ErrorHandler = std::function<void(TZkMailBox& sender, std::uint8_t code)>;
  using MessageHandler = std::function<void(TZkMailBox& sender, settings::TTypeMemoryStream& stream)>;

  // The codes given to the error handler when the slot cannot be created:
  // another receiver holds it, or any other reason (LastError says which).
  static constexpr std::uint8_t kCannotCreate = 4;
  static constexpr std::uint8_t kHeldByAnother = 5;

  explicit TZkMailBox(bool synchronize) : FSynchronize(synchronize) {}
  ~TZkMailBox();
  TZkMailBox(const TZkMailBox&) = delete;
  TZkMailBox& operator=(const TZkMailBox&) = delete;

  bool Active() const { return FActive; }
  // Opens (true) or closes (false) the slot and its thread. A slot that
  // cannot be opened goes to the error handler (with the reason in
  // LastError), or without one shows
  // "Exception: Exception in TZkMailBox.SetActive:can not create Mailslot <name>".
  void SetActive(bool active);
  void SetBufferSize(std::int32_t size);
  void SetSlotName(const std::string& name);
  void SetOnError(ErrorHandler handler) { FOnError = std::move(handler); }
  void SetOnMessage(MessageHandler handler) { FOnMessage = std::move(handler); }
  // Calls the message handler, if any.
  void DoMessage(TZkMailBox& sender, settings::TTypeMemoryStream& stream);

  const std::string& LastError() const { return FLastError; }
  const std::string& SlotName() const { return FSlotName; }

 private:
  void Open();
  void Close();

  bool FActive = false;
  std::string FLastError;
  std::int32_t FBufferSize = 1024;
  ErrorHandler FOnError;
  MessageHandler FOnMessage;
  std::unique_ptr<platform::MessageSlot> FSlotHandle;
  std::string FSlotName;
  std::unique_ptr<TZkSlotThread> FThread;
  bool FSynchronize;
};

}  // namespace drvx::sequence
