// A shared library built with the compiler's hooks, for the hook mode's
// tests: its calls are kept by the program's hooks and named from the
// library's own symbol table, wherever it was loaded.
#include <string>
#include <vector>

namespace catalog {

struct Shelf {
  __attribute__((visibility("default"), noinline)) static std::vector<std::string> Find(
      std::vector<std::string> (*look)());
};

std::vector<std::string> Shelf::Find(std::vector<std::string> (*look)()) {
  return look();
}

}  // namespace catalog

__attribute__((visibility("default"), noinline)) std::vector<std::string> CatalogLookUp(
    std::vector<std::string> (*look)()) {
  return catalog::Shelf::Find(look);
}
