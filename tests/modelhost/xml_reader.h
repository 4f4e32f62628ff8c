// A small XML reader for checking what the host writes: elements with their
// attributes and text, entities resolved; anything not well-formed throws.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace drvx::test {

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;  // the character data directly inside
  std::vector<std::unique_ptr<XmlElement>> children;

  // Every element below (and including) this one with the name, in document order.
  void Collect(std::string_view wanted, std::vector<const XmlElement*>& into) const;
};

// Throws std::runtime_error saying where the document is not well-formed.
std::unique_ptr<XmlElement> ParseXml(std::string_view document);

}  // namespace drvx::test
