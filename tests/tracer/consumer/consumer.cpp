// A small shop whose calls reach the plug-in through the hook mode alone:
// nothing here names the tracer but the check at the end, which tells its
// runner whether the stack was sent.
#include <cstdio>
#include <string>
#include <vector>

#include "drvx_trace.h"

namespace shop {

class Stock {
 public:
  void Reserve(const std::string& code, int quantity);
  void Reorder(const std::string& code);
 private:
  std::vector<std::string> ordered_;
};

class Orders {
 public:
  explicit Orders(Stock& stock) : stock_(stock) {}
  void Process(const std::string& code);
 private:
  Stock& stock_;
};

void Stock::Reorder(const std::string& code) { ordered_.push_back(code); }

void Stock::Reserve(const std::string& code, int quantity) {
  if (quantity > 3) Reorder(code);
}

void Orders::Process(const std::string& code) { stock_.Reserve(code, 5); }

}  // namespace shop

int main() {
  shop::Stock stock;
  shop::Orders orders(stock);
  orders.Process("P-100");
  drvx_trace_counts counts{};
  drvx_trace_get_counts(&counts);
  std::printf("consumer: %llu call stacks sent\n", counts.sent);
  return counts.sent > 0 ? 0 : 1;
}
