#include "large_project.h"

#include "host_call.h"
#include "mmapi/cxx/utf.h"
#include "support/synthetic_project.h"

namespace drvx::bench {
namespace {

using mmapi::cxx::ToUtf8;

std::string Property(const modelhost::ModelShape& s, const std::u16string& key) {
  const std::u16string* value = s.FindProperty(key);
  return value ? ToUtf8(*value) : std::string();
}

std::vector<PlainDiagram> ToPlain(const modelhost::ModelProject& project) {
  std::vector<PlainDiagram> plain;
  for (const auto& d : project.diagrams) {
    PlainDiagram& pd = plain.emplace_back(PlainDiagram{ToUtf8(d->name), d->kind, {}});
    auto indexOf = [&](const modelhost::ModelShape* s) {
      for (std::size_t i = 0; i < d->shapes.size(); ++i)
        if (d->shapes[i].Get() == s) return int(i);
      return -1;
    };
    for (const auto& s : d->shapes) {
      PlainShape ps{ToUtf8(s->name), ToUtf8(s->documentation), ToUtf8(s->oneLiner),
                    Property(*s, u"InstanceName"), s->IsAssociation(), -1, -1,
                    Property(*s, u"TargetRole"), {}};
      if (ps.association) {
        ps.source = indexOf(s->source.Get());
        ps.target = indexOf(s->target.Get());
      }
      for (const auto& l : s->hyperlinks) {
        const modelhost::ModelElement* target = project.FindTarget(l.kind, l.targetId);
        std::string owner;
        if (target && target->Kind() == modelhost::ElementKind::Member)
          owner = ToUtf8(static_cast<const modelhost::ModelMember*>(target)->owner->name);
        ps.links.push_back({ToUtf8(l.name), l.kind, target ? ToUtf8(target->name) : "", owner});
      }
      pd.shapes.push_back(std::move(ps));
    }
  }
  return plain;
}

}  // namespace

LargeProject::LargeProject() {
  session.ReplaceProject(MakeSyntheticProject({}));
  plain = ToPlain(session.Project());
}

LargeProject& Large() {
  static LargeProject large;
  return large;
}

}  // namespace drvx::bench
