// traced-shop: a small program traced with drvx_trace. It processes two
// orders of the Shop example; when an order takes a product's stock below
// its reorder level, the supplier is asked for more, and the calls that led
// there are sent to the plug-in, which draws them as the sequence diagram
// "sqDelphiCallStack". The second order is empty and fails: its traced
// scopes are left by the exception, and the stack is clean afterwards.
// Then it records a day of orders whole, every call and return, which the
// plug-in draws as one diagram "sqRecording traced-shop <thread>": the 25
// alike orders folded into one loop, the stock reserved twice in each, and
// the empty order's exception unwinding its calls.
//
// Usage: traced-shop [SLOT]   (the slot "MbDRVX" when left out)
// Exit status 0 when the call stack was sent, 1 when it was dropped (no
// receiver holds the slot, or it could not take the message).
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "drvx_trace.h"

namespace {

const char* ResultText(drvx_trace_result result) {
  switch (result) {
    case DRVX_TRACE_SENT: return "sent";
    case DRVX_TRACE_NO_RECEIVER: return "dropped: no receiver holds the slot";
    case DRVX_TRACE_QUEUE_FULL: return "dropped: the receiver's queue is full";
    case DRVX_TRACE_TOO_LARGE: return "dropped: too large for the slot";
    case DRVX_TRACE_EMPTY: return "not sent: the stack was empty";
    case DRVX_TRACE_FAILED: break;
  }
  return "dropped: sending failed";
}

struct TOrderLine {
  std::string code;
  int quantity;
};

class TOrder {
 public:
  void AddLine(std::string code, int quantity) { lines_.push_back({std::move(code), quantity}); }
  const std::vector<TOrderLine>& Lines() const { return lines_; }
  void Submit() {
    DRVX_TRACE_SCOPE("TOrder.Submit");
    if (lines_.empty()) throw std::runtime_error("An empty order cannot be submitted");
    submitted_ = true;
  }

 private:
  std::vector<TOrderLine> lines_;
  bool submitted_ = false;
};

// Where the calls are of interest: each reorder sends the stack that led to it.
class TSupplier {
 public:
  explicit TSupplier(const char* slot) : slot_(slot) {}
  void Reorder(const std::string& code) {
    DRVX_TRACE_SCOPE("TSupplier.Reorder(aCode)");
    sent_ = drvx_trace_send_to(slot_);
    std::printf("traced-shop: reordering %s; call stack of %zu calls %s\n", code.c_str(),
                drvx_trace_depth(), ResultText(sent_));
  }
  bool Sent() const { return sent_ == DRVX_TRACE_SENT; }

 private:
  const char* slot_;
  drvx_trace_result sent_ = DRVX_TRACE_EMPTY;
};

class TStock {
 public:
  explicit TStock(TSupplier& supplier) : supplier_(supplier) {}
  void Receive(const std::string& code, int quantity) { levels_[code] += quantity; }
  void Reserve(const std::string& code, int quantity) {
    DRVX_TRACE_SCOPE("TStock.Reserve(aCode, aQuantity)");
    int& level = levels_[code];
    if (level < quantity) throw std::runtime_error("not enough " + code + " in stock");
    level -= quantity;
    if (level < kReorderLevel) supplier_.Reorder(code);
  }

 private:
  static constexpr int kReorderLevel = 5;
  TSupplier& supplier_;
  std::map<std::string, int> levels_;
};

class TOrderProcessor {
 public:
  explicit TOrderProcessor(TStock& stock) : stock_(stock) {}
  void Process(TOrder& order) {
    DRVX_TRACE_SCOPE("TOrderProcessor.Process(aOrder)");
    CheckStock(order);
    order.Submit();
  }

 private:
  void CheckStock(const TOrder& order) {
    DRVX_TRACE_SCOPE("TOrderProcessor.CheckStock(aOrder)");
    for (const TOrderLine& line : order.Lines()) stock_.Reserve(line.code, line.quantity);
  }
  TStock& stock_;
};

// A day of orders, recorded: 25 orders of two lines each, then an empty one.
void RecordADay(const char* slot) {
  if (!drvx_trace_record_begin_to(slot)) return;
  TSupplier supplier(slot);
  TStock stock(supplier);
  stock.Receive("P-100", 1000);
  stock.Receive("P-200", 1000);
  TOrderProcessor processor(stock);
  for (int i = 0; i < 25; ++i) {
    TOrder order;
    order.AddLine("P-100", 2);
    order.AddLine("P-200", 1);
    processor.Process(order);
  }
  TOrder empty;
  try {
    processor.Process(empty);
  } catch (const std::exception&) {
  }
  drvx_trace_record_end();
  drvx_trace_record_counts counts{};
  drvx_trace_get_record_counts(&counts);
  std::printf("traced-shop: a day of orders recorded: %llu events in %llu batches (%llu lost)\n",
              counts.events, counts.batches_sent + counts.batches_lost, counts.batches_lost);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: traced-shop [SLOT]\n");
    return 2;
  }
  DRVX_TRACE_SCOPE("TShopApp.Run");
  TSupplier supplier(argc == 2 ? argv[1] : DRVX_TRACE_DEFAULT_SLOT);
  TStock stock(supplier);
  stock.Receive("P-100", 12);
  TOrderProcessor processor(stock);

  TOrder order;
  order.AddLine("P-100", 8);
  processor.Process(order);

  TOrder empty;
  try {
    processor.Process(empty);
  } catch (const std::exception& e) {
    std::printf("traced-shop: the second order failed (%s); calls on the stack: %zu\n", e.what(),
                drvx_trace_depth());
  }
  RecordADay(argc == 2 ? argv[1] : DRVX_TRACE_DEFAULT_SLOT);
  return supplier.Sent() ? 0 : 1;
}
