#include "project_file.h"

#include <array>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "drvx/platform/files.h"
#include "json_reader.h"
#include "mmapi/cxx/utf.h"
#include "vocabulary.h"

namespace drvx::modelhost {
namespace {

using Ordered = nlohmann::ordered_json;
using mmapi::cxx::ToUtf8;

constexpr std::string_view kFormatName = "dravolex-project";

// A hyperlink without a name of its own, named after its target once all
// elements exist.
struct UnnamedLink {
  ModelShape* shape;
  std::size_t index;
};

// Reads a project as the parser goes: the lists "modules", "classes" and
// "diagrams" are read element by element while the text is parsed, when the
// file lists them in that order after its format and version (as this host
// writes them); any other list is kept and read at the end, in that order.
// A fault of an element read early is held until the whole text is parsed,
// so that a fault of the text itself, or an unknown top-level field, is
// still the one reported, as when the whole file is read before any element.
class ProjectReader final : public JsonStreamListener {
 public:
  // Parses a text of `size` bytes with parse(document, listener), which
  // returns false when the quick parser refused the text; null then.
  template <class Parse>
  std::unique_ptr<ModelProject> Read(std::uint64_t size, Parse parse) {
    // A guess at the number of elements (few that the host writes take under
    // this many bytes), so that the index of identifiers seldom grows.
    constexpr std::uint64_t kBytesPerElement = 128;
    project_->Reserve(std::size_t(size / kBytesPerElement));
    JsonDocument document;
    if (!parse(document, static_cast<JsonStreamListener*>(this))) return nullptr;
    JsonPlace top;
    JsonObject file(document.Root(), top);
    file.AllowOnly({"format", "version", "modules", "classes", "diagrams", "navigator"});
    if (!file.Has("format") || file.RequiredText("format") != kFormatName)
      Fault(JsonPlace(&top, "format"), "expected \"" + std::string(kFormatName) + "\"");
    const int version = file.RequiredInt("version");
    if (version != kProjectFormatVersion)
      Fault(JsonPlace(&top, "version"), "version " + std::to_string(version) +
                                            " is not supported (this host reads version " +
                                            std::to_string(kProjectFormatVersion) + ")");
    if (heldFault_) throw *heldFault_;
    Reserve(file);
    for (const auto& list : kLists) ReadList(file, list.key, list.read);
    ResolveLinks();
    if (JsonValue nav = file.Object("navigator"); nav.Valid())
      ReadNavigator(nav, JsonPlace(&top, "navigator"));
    return std::move(project_);
  }

  bool StreamList(std::string_view key, JsonValue root) override {
    if (streamed_ == kLists.size() || key != kLists[streamed_].key || !FormatAndVersionRead(root))
      return false;
    ++streamed_;
    return true;
  }

  void Element(std::string_view key, std::size_t index, JsonValue element) override {
    if (heldFault_) return;
    try {
      JsonPlace top;
      JsonPlace listPlace(&top, key);
      JsonPlace place(&listPlace, index);
      (this->*kLists[streamed_ - 1].read)(JsonObject(element, place));
    } catch (JsonFault& fault) {
      heldFault_ = std::move(fault);
    }
  }

 private:
  using ReadElement = void (ProjectReader::*)(const JsonObject&);
  struct List {
    std::string_view key;
    ReadElement read;
  };
  static const std::array<List, 3> kLists;

  static bool FormatAndVersionRead(JsonValue root) {
    const JsonValue format = root.Find("format");
    const JsonValue version = root.Find("version");
    return format.IsString() && format.Text() == kFormatName &&
           version.Type() == JsonType::Unsigned &&
           version.Unsigned() == std::uint64_t(kProjectFormatVersion);
  }

  void ReadList(const JsonObject& owner, std::string_view key, ReadElement read) {
    JsonPlace listPlace(&owner.Place(), key);
    std::size_t i = 0;
    for (JsonValue item : owner.Array(key)) {
      JsonPlace place(&listPlace, i++);
      (this->*read)(JsonObject(item, place));
    }
  }

  static std::size_t ListSize(JsonValue object, std::string_view key) {
    const JsonValue list = object.Find(key);
    return list.IsArray() ? list.Size() : 0;
  }

  // Counts the elements of the lists kept for the end, so that the
  // project's index grows once.
  void Reserve(const JsonObject& file) {
    std::size_t elements = file.Array("modules").Size();
    for (JsonValue c : file.Array("classes")) elements += 1 + ListSize(c, "members");
    for (JsonValue d : file.Array("diagrams")) elements += 1 + ListSize(d, "shapes");
    project_->Reserve(elements);
  }

  // Runs make(id); a taken or invalid identifier becomes a fault at "id".
  template <class Make>
  auto Create(const JsonObject& o, Make make) {
    const std::int32_t id = o.RequiredInt("id");
    if (id <= 0) Fault(JsonPlace(&o.Place(), "id"), "an id must be a positive number");
    if (project_->Find(id))
      Fault(JsonPlace(&o.Place(), "id"), "the id " + std::to_string(id) + " is used twice");
    return make(id);
  }

  // The element a reference names, which must exist and be of this kind.
  ModelElement& Ref(const JsonObject& o, std::string_view key, ElementKind kind, const char* what) {
    const std::int32_t id = o.RequiredInt(key);
    ModelElement* element = project_->Find(id);
    if (!element || element->Kind() != kind)
      Fault(JsonPlace(&o.Place(), key), "no " + std::string(what) + " has the id " + std::to_string(id));
    return *element;
  }

  void ReadModule(const JsonObject& o) {
    o.AllowOnly({"id", "name", "header"});
    auto module = Create(o, [&](std::int32_t id) { return project_->NewModule(id); });
    module->name = o.RequiredString("name");
    module->header = o.String("header");
    project_->AddModule(module);
  }

  void ReadClass(const JsonObject& o) {
    o.AllowOnly({"id", "name", "module", "members"});
    auto cls = Create(o, [&](std::int32_t id) { return project_->NewClass(id); });
    cls->name = o.RequiredString("name");
    if (o.Has("module"))
      cls->module = ComPtr<ModelModule>::Share(
          &static_cast<ModelModule&>(Ref(o, "module", ElementKind::Module, "module")));
    currentClass_ = cls.Get();
    ReadList(o, "members", &ProjectReader::ReadMember);
    project_->AddClass(cls);
  }

  void ReadMember(const JsonObject& o) {
    o.AllowOnly({"id", "category", "name", "type", "visibility", "kind", "parameters", "binding",
                 "sections"});
    const int category = o.Name("category", kMemberCategoryNames, -1);
    if (category < 0) Fault(o.Place(), "the field \"category\" is missing");
    auto member = Create(o, [&](std::int32_t id) { return project_->NewMember(category, id); });
    member->name = o.RequiredString("name");
    member->typeName = o.String("type");
    member->visibility = o.Name("visibility", kVisibilityNames, mmapi::scPrivate);
    if (category == mmapi::mcMethod) {
      member->methodKind = o.Name("kind", kMethodKindNames, mmapi::mkProcedure);
      member->parameters = o.String("parameters");
      member->binding = o.Name("binding", kBindingNames, mmapi::mbStatic);
      JsonPlace sectionsPlace(&o.Place(), "sections");
      std::size_t i = 0;
      for (JsonValue section : o.Array("sections")) {
        if (!section.IsString()) Fault(JsonPlace(&sectionsPlace, i), "expected a string");
        code_.clear();
        mmapi::cxx::AppendUtf16(section.Text(), code_);
        member->sections.push_back(code_);
        ++i;
      }
    } else {
      for (auto key : {"kind", "parameters", "binding", "sections"})
        if (o.Has(key)) Fault(JsonPlace(&o.Place(), key), "only methods have this field");
    }
    currentClass_->Adopt(member);
  }

  void ReadDiagram(const JsonObject& o) {
    o.AllowOnly({"id", "kind", "name", "pageSizeClass", "pageFlag", "shapes"});
    const std::int32_t kind = o.RequiredInt("kind");
    if (kind < 0 || kind >= std::int32_t(kDiagramKindNames.size()))
      Fault(JsonPlace(&o.Place(), "kind"), "a diagram kind is one of 0..13");
    auto diagram = Create(o, [&](std::int32_t id) { return project_->NewDiagram(kind, id); });
    diagram->name = o.RequiredString("name");
    diagram->pageSizeClass = o.Int("pageSizeClass", 0);
    if (diagram->pageSizeClass < 0 || diagram->pageSizeClass > 4)
      Fault(JsonPlace(&o.Place(), "pageSizeClass"), "a page size class is one of 0..4");
    diagram->pageFlag = o.Bool("pageFlag", false);
    currentDiagram_ = diagram.Get();
    ReadList(o, "shapes", &ProjectReader::ReadShape);
    project_->AddDiagram(diagram);
  }

  // A shape this one refers to: an earlier symbol of the same diagram.
  ComPtr<ModelShape> EarlierSymbol(const JsonObject& o, std::string_view key) {
    auto& element = static_cast<ModelShape&>(Ref(o, key, ElementKind::Shape, "shape"));
    if (element.diagram != currentDiagram_ || element.IsAssociation())
      Fault(JsonPlace(&o.Place(), key), "shape " + std::to_string(element.ElementId()) +
                                            " is not a symbol listed before it on this diagram");
    return ComPtr<ModelShape>::Share(&element);
  }

  // The properties, faults taken by name: an empty name, then the first
  // value that is no string.
  static void ReadProperties(const JsonObject& o, ModelShape& shape) {
    const JsonValue props = o.Object("properties");
    if (!props.Valid()) return;
    JsonPlace propsPlace(&o.Place(), "properties");
    JsonObject p(props, propsPlace);
    std::string_view firstBad;
    bool bad = false;
    for (JsonValue property : props) {
      if (property.Key().empty()) Fault(propsPlace, "a property name is empty");
      if (!property.IsString() && (!bad || property.Key() < firstBad)) {
        firstBad = property.Key();
        bad = true;
      }
    }
    if (bad) p.RequiredText(firstBad);
    for (JsonValue property : props)
      shape.properties.emplace(mmapi::cxx::ToUtf16(property.Key()),
                               mmapi::cxx::ToUtf16(property.Text()));
  }

  void ReadShape(const JsonObject& o) {
    o.AllowOnly({"id", "class", "caption", "documentation", "oneLiner", "properties", "x", "y",
                 "width", "height", "parent", "source", "target", "activations", "hyperlinks"});
    auto shape = Create(o, [&](std::int32_t id) {
      return project_->NewShape(o.RequiredString("class"), id);
    });
    if (shape->ClassName().empty()) Fault(JsonPlace(&o.Place(), "class"), "the class is empty");
    shape->name = o.String("caption");
    shape->documentation = o.String("documentation");
    shape->oneLiner = o.String("oneLiner");
    ReadProperties(o, *shape);
    shape->x = o.Int("x", 0);
    shape->y = o.Int("y", 0);
    shape->width = o.Int("width", ModelShape::kDefaultWidth);
    shape->height = o.Int("height", ModelShape::kDefaultHeight);
    if (o.Has("parent")) shape->parent = EarlierSymbol(o, "parent");
    if (o.Has("source") != o.Has("target"))
      Fault(o.Place(), "an association needs both \"source\" and \"target\"");
    if (o.Has("source")) {
      if (o.Has("parent")) Fault(JsonPlace(&o.Place(), "parent"), "an association has no parent");
      shape->source = EarlierSymbol(o, "source");
      shape->target = EarlierSymbol(o, "target");
    }
    shape->activations = o.String("activations");
    ModelShape& added = currentDiagram_->Adopt(shape);
    ReadHyperlinks(o, added);
  }

  // The links' targets are checked once all elements exist.
  void ReadHyperlinks(const JsonObject& o, ModelShape& shape) {
    const JsonValue links = o.Array("hyperlinks");
    std::size_t nameBytes = 0;  // at least the characters of the names
    for (JsonValue link : links)
      if (const JsonValue name = link.Find("name"); name.IsString()) nameBytes += name.Text().size();
    shape.hyperlinks.Reserve(links.Size(), nameBytes);
    JsonPlace linksPlace(&o.Place(), "hyperlinks");
    std::size_t i = 0;
    for (JsonValue value : links) {
      JsonPlace place(&linksPlace, i++);
      JsonObject link(value, place);
      link.AllowOnly({"kind", "target", "name"});
      const int kind = link.Name("kind", kHyperlinkKindNames, -1);
      if (kind < 0) Fault(place, "the field \"kind\" is missing");
      const bool external = kind == mmapi::hkExternal;
      if (external && !link.Has("name"))
        Fault(place, "an external link needs a \"name\" (its address)");
      if (external && link.Has("target"))
        Fault(JsonPlace(&place, "target"), "an external link has no target");
      if (!link.Has("name")) unnamed_.push_back({&shape, shape.hyperlinks.size()});
      shape.hyperlinks.Append(kind, external ? 0 : link.RequiredInt("target"), link.String("name"));
    }
  }

  // Every link's target, in the order of the file; a link without a name
  // takes its target's.
  void ResolveLinks() {
    for (std::size_t d = 0; d < project_->diagrams.size(); ++d) {
      const auto& shapes = project_->diagrams[d]->shapes;
      for (std::size_t s = 0; s < shapes.size(); ++s) {
        std::size_t h = 0;
        for (const HyperlinkList::Link link : shapes[s]->hyperlinks) {
          if (link.kind != mmapi::hkExternal && !project_->FindTarget(link.kind, link.targetId))
            throw JsonFault{"diagrams[" + std::to_string(d) + "].shapes[" + std::to_string(s) +
                                "].hyperlinks[" + std::to_string(h) + "].target",
                            "no " + std::string(kHyperlinkKindNames[link.kind]) +
                                " has the id " + std::to_string(link.targetId)};
          ++h;
        }
      }
    }
    for (const UnnamedLink& u : unnamed_) {
      const HyperlinkList::Link link = u.shape->hyperlinks[u.index];
      u.shape->hyperlinks.Rename(u.index, project_->FindTarget(link.kind, link.targetId)->name);
    }
  }

  void ReadNavigator(JsonValue value, const JsonPlace& place) {
    JsonObject o(value, place);
    o.AllowOnly({"class", "member", "method", "module", "diagram", "view"});
    NavigatorState& nav = project_->navigator;
    if (o.Has("class"))
      nav.currentClass = ComPtr<ModelClass>::Share(
          &static_cast<ModelClass&>(Ref(o, "class", ElementKind::Class, "class")));
    if (o.Has("member"))
      nav.currentMember = ComPtr<ModelMember>::Share(
          &static_cast<ModelMember&>(Ref(o, "member", ElementKind::Member, "member")));
    if (o.Has("method")) {
      auto& method = static_cast<ModelMember&>(Ref(o, "method", ElementKind::Member, "member"));
      if (method.category != mmapi::mcMethod)
        Fault(JsonPlace(&place, "method"), "member " + std::to_string(method.ElementId()) +
                                               " is not a method");
      nav.currentMethod = ComPtr<ModelMember>::Share(&method);
    }
    if (o.Has("module"))
      nav.currentModule = ComPtr<ModelModule>::Share(
          &static_cast<ModelModule&>(Ref(o, "module", ElementKind::Module, "module")));
    if (o.Has("diagram"))
      nav.currentDiagram = ComPtr<ModelDiagram>::Share(
          &static_cast<ModelDiagram&>(Ref(o, "diagram", ElementKind::Diagram, "diagram")));
    nav.view = o.Int("view", 0);
  }

  std::unique_ptr<ModelProject> project_ = std::make_unique<ModelProject>();
  ModelClass* currentClass_ = nullptr;
  ModelDiagram* currentDiagram_ = nullptr;
  std::vector<UnnamedLink> unnamed_;
  std::u16string code_;  // a code section on its way into the project's arena
  std::size_t streamed_ = 0;  // how many of kLists are read as the parser goes
  std::optional<JsonFault> heldFault_;
};

const std::array<ProjectReader::List, 3> ProjectReader::kLists = {{
    {"modules", &ProjectReader::ReadModule},
    {"classes", &ProjectReader::ReadClass},
    {"diagrams", &ProjectReader::ReadDiagram},
}};

// ---- writing

void PutText(Ordered& o, const char* key, const std::u16string& text) {
  if (!text.empty()) o[key] = ToUtf8(text);
}

Ordered FormatMember(const ModelMember& m) {
  Ordered o;
  o["id"] = m.ElementId();
  o["category"] = kMemberCategoryNames[std::size_t(m.category)];
  o["name"] = ToUtf8(m.name);
  PutText(o, "type", m.typeName);
  o["visibility"] = kVisibilityNames[std::size_t(m.visibility)];
  if (m.category == mmapi::mcMethod) {
    o["kind"] = kMethodKindNames[std::size_t(m.methodKind)];
    PutText(o, "parameters", m.parameters);
    if (m.binding != mmapi::mbStatic) o["binding"] = kBindingNames[std::size_t(m.binding)];
    if (!m.sections.empty()) {
      Ordered& sections = o["sections"] = Ordered::array();
      for (const auto& s : m.sections) sections.push_back(ToUtf8(s));
    }
  }
  return o;
}

Ordered FormatShape(const ModelShape& s) {
  Ordered o;
  o["id"] = s.ElementId();
  o["class"] = ToUtf8(s.ClassName());
  PutText(o, "caption", s.name);
  if (s.parent) o["parent"] = s.parent->ElementId();
  if (s.source) {
    o["source"] = s.source->ElementId();
    o["target"] = s.target->ElementId();
  }
  PutText(o, "documentation", s.documentation);
  PutText(o, "oneLiner", s.oneLiner);
  if (!s.properties.empty()) {
    Ordered& props = o["properties"] = Ordered::object();
    for (const auto& [k, v] : s.properties) props[ToUtf8(k)] = ToUtf8(v);
  }
  if (s.x) o["x"] = s.x;
  if (s.y) o["y"] = s.y;
  if (s.width != ModelShape::kDefaultWidth) o["width"] = s.width;
  if (s.height != ModelShape::kDefaultHeight) o["height"] = s.height;
  PutText(o, "activations", s.activations);
  if (!s.hyperlinks.empty()) {
    Ordered& links = o["hyperlinks"] = Ordered::array();
    for (const HyperlinkList::Link l : s.hyperlinks) {
      Ordered link;
      link["kind"] = kHyperlinkKindNames[std::size_t(l.kind)];
      if (l.kind != mmapi::hkExternal) link["target"] = l.targetId;
      link["name"] = ToUtf8(l.name);
      links.push_back(std::move(link));
    }
  }
  return o;
}

}  // namespace

namespace {

// Reads a text of `size` bytes with parse(document, listener) (see
// ProjectReader::Read), naming the source in a fault.
template <class Parse>
std::unique_ptr<ModelProject> ReadProject(const std::string& source, std::uint64_t size,
                                          Parse parse) {
  try {
    return ProjectReader().Read(size, parse);
  } catch (const JsonFault& f) {
    throw ProjectFileError(source + ": " + f.path + ": " + f.what);
  } catch (const nlohmann::json::exception& e) {
    std::string what = e.what();
    if (auto end = what.find("] "); what.starts_with("[json.exception.") && end != std::string::npos)
      what.erase(0, end + 2);
    throw ProjectFileError(source + ": " + what);
  }
}

std::unique_ptr<ModelProject> ReadText(std::string_view text, const std::string& source,
                                       JsonParser parser) {
  return ReadProject(source, text.size(),
                     [&](JsonDocument& document, JsonStreamListener* listener) {
                       return ParseJson(text, document, listener, parser);
                     });
}

}  // namespace

std::unique_ptr<ModelProject> ParseProject(std::string_view text, const std::string& source) {
  if (auto project = ReadText(text, source, JsonParser::Quick)) return project;
  return ReadText(text, source, JsonParser::Exact);
}

// The file is read in pieces as the quick parser goes; only a file that it
// refuses is read whole, for the exact parser.
std::unique_ptr<ModelProject> LoadProject(const std::filesystem::path& path) {
  const std::string source = path.string();
  std::unique_ptr<ModelProject> project;
  try {
    platform::FileReader file(path, platform::kMaxProjectFile);
    project = ReadProject(source, file.Size(),
                          [&](JsonDocument& document, JsonStreamListener* listener) {
                            return ParseJson([&](char* buffer, std::size_t size) {
                              return file.Read(buffer, size);
                            }, document, listener);
                          });
    if (!project)
      project = ReadText(platform::ReadWholeFile(path, platform::kMaxProjectFile), source,
                         JsonParser::Exact);
  } catch (const ProjectFileError&) {
    throw;
  } catch (const std::exception& e) {  // the file could not be read
    throw ProjectFileError(e.what());
  }
  project->fileName = std::filesystem::absolute(path).lexically_normal();
  return project;
}

std::string FormatProject(const ModelProject& project) {
  Ordered root;
  root["format"] = kFormatName;
  root["version"] = kProjectFormatVersion;
  Ordered& modules = root["modules"] = Ordered::array();
  for (const auto& m : project.modules) {
    Ordered o;
    o["id"] = m->ElementId();
    o["name"] = ToUtf8(m->name);
    PutText(o, "header", m->header);
    modules.push_back(std::move(o));
  }
  Ordered& classes = root["classes"] = Ordered::array();
  for (const auto& c : project.classes) {
    Ordered o;
    o["id"] = c->ElementId();
    o["name"] = ToUtf8(c->name);
    if (c->module) o["module"] = c->module->ElementId();
    Ordered& members = o["members"] = Ordered::array();
    for (const auto& m : c->members) members.push_back(FormatMember(*m));
    classes.push_back(std::move(o));
  }
  Ordered& diagrams = root["diagrams"] = Ordered::array();
  for (const auto& d : project.diagrams) {
    Ordered o;
    o["id"] = d->ElementId();
    o["kind"] = d->kind;
    o["name"] = ToUtf8(d->name);
    if (d->pageSizeClass) o["pageSizeClass"] = d->pageSizeClass;
    if (d->pageFlag) o["pageFlag"] = true;
    Ordered& shapes = o["shapes"] = Ordered::array();
    for (const auto& s : d->shapes) shapes.push_back(FormatShape(*s));
    diagrams.push_back(std::move(o));
  }
  const NavigatorState& nav = project.navigator;
  Ordered navigator = Ordered::object();
  if (nav.currentClass) navigator["class"] = nav.currentClass->ElementId();
  if (nav.currentMember) navigator["member"] = nav.currentMember->ElementId();
  if (nav.currentMethod) navigator["method"] = nav.currentMethod->ElementId();
  if (nav.currentModule) navigator["module"] = nav.currentModule->ElementId();
  if (nav.currentDiagram) navigator["diagram"] = nav.currentDiagram->ElementId();
  if (nav.view) navigator["view"] = nav.view;
  root["navigator"] = std::move(navigator);
  return root.dump(1, '\t') + "\n";
}

void SaveProject(ModelProject& project, const std::filesystem::path& path) {
  platform::WriteFileAtomically(path, FormatProject(project));
  project.fileName = std::filesystem::absolute(path).lexically_normal();
}

}  // namespace drvx::modelhost
