// What every element of the substitute host's model shares: its kind, its
// identifier, its name and the project it belongs to.
#pragma once

#include <cstdint>
#include <string>

#include "answer.h"
#include "mmapi/cxx/com_object.h"
#include "mmapi/model.h"

namespace drvx::modelhost {

class ModelProject;

enum class ElementKind { Module, Class, Member, Diagram, Shape };

class ModelElement {
 public:
  ModelElement(ElementKind kind, std::int32_t id) : kind_(kind), id_(id) {}
  ModelElement(const ModelElement&) = delete;
  ModelElement& operator=(const ModelElement&) = delete;

  ElementKind Kind() const { return kind_; }
  std::int32_t ElementId() const { return id_; }
  // The element's root interface, not counted.
  virtual mmapi::IMMUnknown* Unknown() = 0;

  std::u16string name;

  // The project the element belongs to; calls that need it fail once the
  // element has left its project (removed, or the project was closed).
  ModelProject& Project() const;
  bool Attached() const { return project_ != nullptr; }
  void Attach(ModelProject* project) { project_ = project; }
  // Leaves the project: clears the element's plain pointers into it.
  virtual void Detach() { project_ = nullptr; }

 protected:
  ~ModelElement() = default;

 private:
  ElementKind kind_;
  std::int32_t id_;
  ModelProject* project_ = nullptr;
};

// A COM object of the model implementing the listed interfaces; the first
// extends IMMElement and gets Name and Id here.
template <class First, class... More>
class ElementObject : public mmapi::cxx::ComObject<First, More...>, public ModelElement {
 public:
  using ModelElement::ModelElement;

  MMStatus MMCALL Name(MMStrView* out) noexcept override {
    return AnswerText("Name", out, [&]() -> const std::u16string& { return name; });
  }
  MMStatus MMCALL Id(std::int32_t* out) noexcept override {
    return AnswerValue("Id", out, [&] { return ElementId(); });
  }
  mmapi::IMMUnknown* Unknown() override { return static_cast<First*>(this); }
};

}  // namespace drvx::modelhost
