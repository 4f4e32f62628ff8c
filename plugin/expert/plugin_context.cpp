#include "plugin_context.h"

#include "diagram_generator.h"
#include "exception_report.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/message_slot.h"
#include "info_window.h"
#include "korvanti_expert.h"

namespace drvx::expert {

PluginContext::PluginContext(host::Services services,
                             const std::filesystem::path& hostExecutable)
    : binding_(services.Raw()),
      services_(std::move(services)),
      settings_(hostExecutable),
      notifier_(host::MakeCom<host::TProjectNotifier>()),
      functions_(services_, settings_),
      mainWindow_(services_),
      drawFailures_(std::chrono::seconds(10), host::ShowReport),
      drawFailureSummary_(nullptr, "DrawFailureSummary", 10000),
      recordings_(services_),
      mailBox_(true),
      slotRetry_(nullptr, "SlotRetry", 1000),
      expert_(host::MakeCom<TKorvantiExpertInterface>(*this)) {
  drawFailureSummary_.OnTimer = [this] {
    drawFailures_.Flush();
    if (!drawFailures_.Pending()) drawFailureSummary_.SetActive(false);
  };
  mainWindow_.SetExpertSettings(&settings_);
  mainWindow_.SetProjectNotifier(notifier_.Get());
  {
    ui::TKorvantiInfoFrm info(hostExecutable);
    info.Timer1.SetInterval(1000);
    info.ShowModal();
  }
  mailBox_.SetBufferSize(0x10000);
  mailBox_.SetSlotName("MbDRVX");
  // Another receiver may hold the slot: the plug-in then works on without
  // call stacks, says so once, and tries again every second, so that it
  // takes the slot when the holder ends. Any other reason is said as it is.
  mailBox_.SetOnError([this](sequence::TZkMailBox& box, std::uint8_t code) {
    const std::string slot = platform::SlotPath(box.SlotName());
    if (code != sequence::TZkMailBox::kHeldByAnother) {
      platform::LogLine("the message slot " + slot + " cannot be used (" + box.LastError() +
                        "); call stacks do not reach this host");
    } else if (!slotRetry_.Active()) {
      platform::LogLine("the message slot " + slot +
                        " is held by another receiver (another host?); call stacks sent to it "
                        "do not reach this one until it ends");
      slotRetry_.SetActive(true);
    }
  });
  slotRetry_.OnTimer = [this] {
    mailBox_.SetActive(true);
    if (!mailBox_.Active()) return;
    slotRetry_.SetActive(false);
    platform::LogLine("the message slot " + platform::SlotPath(mailBox_.SlotName()) +
                      " is this host's now: call stacks sent to it reach it");
  };
  mailBox_.SetOnMessage(
      [this](sequence::TZkMailBox&, settings::TTypeMemoryStream& stream) { MailBoxMessage(stream); });
  mailBox_.SetActive(true);
}

PluginContext::~PluginContext() {
  expert_->Detach();
  slotRetry_.SetActive(false);
  mailBox_.SetActive(false);
}

void PluginContext::Register() {
  std::int32_t registration = 0;
  host::Check(services_.Raw()->RegisterExpert(expert_.Get(), &registration));
  host::Check(services_.Raw()->RegisterProjectNotifier(notifier_.Get(), &registration));
}

void PluginContext::MailBoxMessage(settings::TTypeMemoryStream& stream) {
  sequence::CallStackFilter filter;
  try {
    filter = sequence::CallStackFilter::FromHost(services_);
  } catch (const std::exception& error) {
    // The stack is still drawn, whole: nothing received is lost.
    platform::LogLine(std::string("the host's call-stack options could not be read (") +
                      error.what() + "); the call stack is drawn whole");
  }
  const auto reporter = [this](const std::string& text) { DrawFailure(text); };
  // A recording's batch, or a call stack: the first line tells which.
  const std::string_view text(reinterpret_cast<const char*>(stream.Bytes().data()), stream.Bytes().size());
  if (sequence::IsRecordingBatch(text))
    return recordings_.Receive(text, filter, std::size_t(settings_.RecordingPageMessages), reporter);
  sequence::DrawReceivedCallStack(services_, stream, filter, reporter);
}

void PluginContext::DrawFailure(const std::string& text) {
  drawFailures_.Report(text);
  if (drawFailures_.Pending()) drawFailureSummary_.SetActive(true);
}

}  // namespace drvx::expert
