// A text that most elements leave empty (a shape's documentation, one-liner
// or activations): one pointer while it is empty, instead of a whole string.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace drvx::modelhost {

class OptionalText {
 public:
  OptionalText() = default;
  OptionalText(std::u16string_view text) { *this = text; }  // NOLINT: reads as a string

  OptionalText& operator=(std::u16string_view text) {
    if (text.empty())
      text_.reset();
    else if (text_)
      text_->assign(text);
    else
      text_ = std::make_unique<std::u16string>(text);
    return *this;
  }

  bool empty() const { return !text_; }
  const std::u16string& str() const { return text_ ? *text_ : Empty(); }
  operator const std::u16string&() const { return str(); }
  operator std::u16string_view() const { return str(); }

  friend bool operator==(const OptionalText& a, std::u16string_view b) { return a.str() == b; }

 private:
  static const std::u16string& Empty() {
    static const std::u16string empty;
    return empty;
  }

  std::unique_ptr<std::u16string> text_;
};

}  // namespace drvx::modelhost
