#include "mailbox.h"

#include <chrono>
#include <stdexcept>

#include "exception_report.h"
#include "report_throttle.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/ui_loop.h"

namespace drvx::sequence {

using platform::MessageSlot;

// ---- TZkSlotThread

TZkSlotThread::TZkSlotThread(TZkMailBox& mailBox, bool synchronize, Delivery onMessage,
                             platform::MessageSlot& slot, std::int32_t bufferSize)
    : FBufferSize(bufferSize),
      FOnMessage(std::move(onMessage)),
      FMailBox(mailBox),
      FSynchronize(synchronize),
      FSlotHandle(slot),
      thread_([this] { Execute(); }) {}

TZkSlotThread::~TZkSlotThread() {
  Terminate();
  Join();
}

void TZkSlotThread::Terminate() {
  terminated_ = true;
  FSlotHandle.Wake();
}

void TZkSlotThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TZkSlotThread::Execute() {
  std::vector<std::uint8_t> buffer;
  std::string note;
  // What a flood of bad datagrams would otherwise say once per datagram.
  host::ReportThrottle notes(std::chrono::seconds(10), platform::LogLine);
  while (!terminated_) {
    notes.Flush();
    switch (FSlotHandle.Read(buffer, std::size_t(std::max(1, FBufferSize)), note)) {
      case MessageSlot::Result::Message:
        FStream.SetSize(0);
        FStream.SetPosition(0);
        FStream.Write(buffer.data(), std::int32_t(buffer.size()));
        FStream.SetPosition(0);
        if (!FSynchronize) {
          DoMessage();
        } else if (!platform::UiLoop::Instance().InvokeAndWait([this] { DoMessage(); },
                                                               &terminated_)) {
          notes.Report("a call stack of " + std::to_string(buffer.size()) +
                       " bytes arrived while the mailbox was closing; it was dropped");
        }
        break;
      case MessageSlot::Result::Dropped:
        notes.Report(note);
        break;
      case MessageSlot::Result::Failed:
        notes.Report(note);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // no spinning
        break;
      case MessageSlot::Result::TimedOut:
      case MessageSlot::Result::Woken:
        break;
    }
  }
  notes.Flush(host::ReportThrottle::Clock::now(), true);
}

void TZkSlotThread::DoMessage() {
  if (!terminated_ && FOnMessage) FOnMessage(FMailBox, FStream);
}

// ---- TZkMailBox

TZkMailBox::~TZkMailBox() {
  if (FActive) Close();
}

void TZkMailBox::DoMessage(TZkMailBox& sender, settings::TTypeMemoryStream& stream) {
  if (FOnMessage) FOnMessage(sender, stream);
}

void TZkMailBox::SetActive(bool active) {
  if (active == FActive) return;
  try {
    if (active)
      Open();
    else
      Close();
  } catch (const std::exception& error) {
    FLastError = "Exception: " + host::ExceptionText("TZkMailBox", "SetActive", error);
    host::ShowReport(FLastError);
  }
}

void TZkMailBox::Open() {
  std::uint8_t code = kCannotCreate;
  try {
    FSlotHandle = MessageSlot::Create(platform::SlotPath(FSlotName), 1000);
  } catch (const std::exception& error) {
    if (!FOnError) throw std::runtime_error("can not create Mailslot " + FSlotName);
    FLastError = error.what();
    if (dynamic_cast<const platform::SlotHeld*>(&error)) code = kHeldByAnother;
  }
  if (!FSlotHandle) {
    FOnError(*this, code);
    return;
  }
  FThread = std::make_unique<TZkSlotThread>(
      *this, FSynchronize,
      [this](TZkMailBox& sender, settings::TTypeMemoryStream& stream) { DoMessage(sender, stream); },
      *FSlotHandle, FBufferSize);
  FActive = true;
}

void TZkMailBox::Close() {
  FThread.reset();  // wakes, gives up a pending hand-over, joins
  FSlotHandle.reset();
  FActive = false;
}

void TZkMailBox::SetBufferSize(std::int32_t size) {
  if (size == FBufferSize) return;
  FBufferSize = size;
  if (FActive) {
    SetActive(false);
    SetActive(true);
  }
}

void TZkMailBox::SetSlotName(const std::string& name) {
  if (name == FSlotName) return;
  if (FActive) {
    SetActive(false);
    FSlotName = name;
    SetActive(true);
  } else {
    FSlotName = name;
  }
}

}  // namespace drvx::sequence
