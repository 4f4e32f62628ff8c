// Method code as the host keeps it: the text of every code section of a
// project in one arena of large chunks, which a search streams through in one
// pass, and each method's sections as spans of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index_iterator.h"

namespace drvx::modelhost {

// Append-only: text never moves and stays until the arena goes, so a view
// of a section stays valid however the code changes later. A section never
// spans two chunks. One thread, like the rest of the model.
class CodeArena {
 public:
  struct Span {
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  // Where a searched text starts.
  struct Place {
    std::uint32_t chunk;
    std::uint32_t offset;
    bool operator<(const Place& other) const {
      return chunk != other.chunk ? chunk < other.chunk : offset < other.offset;
    }
  };

  Span Add(std::u16string_view text);
  std::u16string_view Text(const Span& span) const;
  // Every place where `text` starts (it may lie across sections or in text no
  // section uses any more: callers check the spans), in arena order. An
  // empty text is found nowhere.
  std::vector<Place> FindAll(std::u16string_view text) const;

 private:
  std::vector<std::u16string> chunks_;  // each reserved once, never grown past it
};

// The code sections of one method: a list of texts with the operations of a
// vector that the host and its tests use. Elements are read-only views;
// every change goes through the arena.
class CodeSections {
 public:
  using Iterator = IndexIterator<CodeSections, std::u16string_view>;
  using iterator = Iterator;
  using const_iterator = Iterator;
  using value_type = std::u16string_view;

  explicit CodeSections(std::shared_ptr<CodeArena> arena) : arena_(std::move(arena)) {}

  CodeSections& operator=(std::initializer_list<std::u16string_view> texts);
  void push_back(std::u16string_view text) { spans_.push_back(arena_->Add(text)); }
  void push_front(std::u16string_view text) { spans_.insert(spans_.begin(), arena_->Add(text)); }

  std::size_t size() const { return spans_.size(); }
  bool empty() const { return spans_.empty(); }
  std::u16string_view operator[](std::size_t i) const { return arena_->Text(spans_[i]); }
  std::u16string_view front() const { return (*this)[0]; }
  std::u16string_view back() const { return (*this)[size() - 1]; }
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }
  const std::vector<CodeArena::Span>& Spans() const { return spans_; }

  bool operator==(const CodeSections& other) const;
  bool operator==(const std::vector<std::u16string>& texts) const;

 private:
  std::shared_ptr<CodeArena> arena_;
  std::vector<CodeArena::Span> spans_;
};

}  // namespace drvx::modelhost
