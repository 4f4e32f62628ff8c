#include "modelhost/xml_reader.h"

#include <cctype>
#include <stdexcept>

namespace drvx::test {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::unique_ptr<XmlElement> Document() {
    Skip();
    if (text_.substr(pos_, 5) == "<?xml") pos_ = Find("?>") + 2;
    Skip();
    auto root = Element();
    Skip();
    if (pos_ != text_.size()) Fail("text after the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("not well-formed XML at byte " + std::to_string(pos_) + ": " + what);
  }
  std::size_t Find(std::string_view what) const {
    const std::size_t at = text_.find(what, pos_);
    if (at == std::string_view::npos) Fail("no " + std::string(what));
    return at;
  }
  void Skip() {
    while (pos_ < text_.size() && std::string_view(" \t\r\n").find(text_[pos_]) != std::string_view::npos)
      ++pos_;
  }
  std::string Name() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) ||
                                   std::string_view(":-_.").find(text_[pos_]) != std::string_view::npos))
      ++pos_;
    if (pos_ == start) Fail("a name was expected");
    return std::string(text_.substr(start, pos_ - start));
  }
  std::string Resolve(std::string_view raw) const {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '<') Fail("a bare <");
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      const std::size_t end = raw.find(';', i);
      if (end == std::string_view::npos) Fail("an unterminated entity");
      const std::string_view entity = raw.substr(i + 1, end - i - 1);
      if (entity == "amp") out += '&';
      else if (entity == "lt") out += '<';
      else if (entity == "gt") out += '>';
      else if (entity == "quot") out += '"';
      else if (entity == "apos") out += '\'';
      else Fail("an unknown entity &" + std::string(entity) + ";");
      i = end;
    }
    return out;
  }
  std::unique_ptr<XmlElement> Element() {
    if (pos_ >= text_.size() || text_[pos_] != '<') Fail("an element was expected");
    ++pos_;
    auto element = std::make_unique<XmlElement>();
    element->name = Name();
    for (;;) {
      Skip();
      if (text_.substr(pos_, 2) == "/>") {
        pos_ += 2;
        return element;
      }
      if (pos_ < text_.size() && text_[pos_] == '>') break;
      const std::string key = Name();
      Skip();
      if (pos_ >= text_.size() || text_[pos_] != '=') Fail("= was expected");
      ++pos_;
      Skip();
      if (pos_ >= text_.size() || text_[pos_] != '"') Fail("a quoted value was expected");
      const std::size_t end = text_.find('"', ++pos_);
      if (end == std::string_view::npos) Fail("an unterminated value");
      if (!element->attributes.emplace(key, Resolve(text_.substr(pos_, end - pos_))).second)
        Fail("the attribute " + key + " is given twice");
      pos_ = end + 1;
    }
    ++pos_;
    for (;;) {
      const std::size_t next = Find("<");
      element->text += Resolve(text_.substr(pos_, next - pos_));
      pos_ = next;
      if (text_.substr(pos_, 2) == "</") {
        pos_ += 2;
        if (Name() != element->name) Fail("the end tag does not match <" + element->name + ">");
        Skip();
        if (pos_ >= text_.size() || text_[pos_] != '>') Fail("> was expected");
        ++pos_;
        return element;
      }
      element->children.push_back(Element());
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

void XmlElement::Collect(std::string_view wanted, std::vector<const XmlElement*>& into) const {
  if (name == wanted) into.push_back(this);
  for (const auto& child : children) child->Collect(wanted, into);
}

std::unique_ptr<XmlElement> ParseXml(std::string_view document) { return Reader(document).Document(); }

}  // namespace drvx::test
