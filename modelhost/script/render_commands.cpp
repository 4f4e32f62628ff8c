// Commands that draw diagrams: SVG pictures, PlantUML and Mermaid texts, and
// the host's own print of a diagram.
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <sstream>

#include "command_table.h"
#include "drvx/platform/files.h"
#include "drvx/platform/printer.h"
#include "host_session.h"
#include "layout.h"
#include "mmapi/cxx/utf.h"
#include "model_lookup.h"
#include "pages.h"
#include "sequence_text.h"
#include "svg_writer.h"

namespace drvx::modelhost {
namespace {

std::string Shown(const std::filesystem::path& file) {
  const std::u8string shown = file.u8string();
  return std::string(shown.begin(), shown.end());
}

// "<stem><suffix><extension>" beside the file.
std::filesystem::path Beside(const std::filesystem::path& file, const std::string& suffix) {
  std::filesystem::path name = file.stem();
  name += suffix;
  name += file.extension();
  return std::filesystem::path(file).replace_filename(name);
}

// Draws the picture; one larger than viewers open is also drawn as pages,
// "<stem>-page<n>.svg" beside it, which are named.
void RenderTo(const ModelDiagram& diagram, const std::filesystem::path& file, std::ostream& said) {
  const render::DisplayList list = render::LayoutDiagram(diagram);
  platform::WriteFileAtomically(file, [&](std::ostream& out) { render::WriteSvg(list, out); });
  const auto pages = render::PagesOf(list, render::kPageLimit, render::kPageLimit);
  if (pages.size() < 2) return;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const std::filesystem::path page = Beside(file, "-page" + std::to_string(i + 1));
    platform::WriteFileAtomically(page, [&](std::ostream& out) { render::WriteSvgPage(list, pages[i], out); });
    said << "page " << i + 1 << " of " << pages.size() << ": " << Shown(page) << '\n';
  }
}

// The longest name a file may have, in bytes, less room for "-<n>.svg".
constexpr std::size_t kMaxFileStem = 255 - 16;

// A diagram's name as a file name: what a file system may refuse becomes
// '_'; a name too long for a file is cut (at a character) and ends in "~"
// and eight hex digits of the whole name, so that two long names that
// begin alike stay apart.
std::string FileNameOf(const ModelDiagram& diagram) {
  std::string name = mmapi::cxx::ToUtf8(diagram.name);
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|' || static_cast<unsigned char>(c) < 0x20)
      c = '_';
  if (name.empty() || name == "." || name == "..") name = "diagram-" + std::to_string(diagram.ElementId());
  if (name.size() > kMaxFileStem) {
    const std::uint32_t digest = std::uint32_t(std::hash<std::string>()(name));
    std::size_t keep = kMaxFileStem - 9;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    char suffix[10];
    std::snprintf(suffix, sizeof suffix, "~%08x", unsigned(digest));
    name = name.substr(0, keep) + suffix;
  }
  return name;
}

// Draws every diagram; one that cannot be written is named and the others
// are drawn all the same. Fails at the end when any could not be.
void RenderAll(HostContext& host, const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::map<std::string, int> used;
  int failed = 0;
  for (const auto& diagram : host.session.Project().diagrams) {
    std::string name = FileNameOf(*diagram);
    if (const int n = used[name]++; n > 0) name += "-" + std::to_string(n + 1);
    // The name is UTF-8, which a path takes as such only from a u8string.
    const std::filesystem::path file = folder / std::u8string(name.begin(), name.end()) += u8".svg";
    try {
      host.out << "rendered " << Shown(file) << '\n';
      RenderTo(*diagram, file, host.out);
    } catch (const std::exception& e) {
      host.err << "cannot render " << mmapi::cxx::ToUtf8(diagram->name) << ": " << e.what() << '\n';
      ++failed;
    }
  }
  if (failed > 0)
    throw std::runtime_error(std::to_string(failed) + " of " +
                             std::to_string(host.session.Project().diagrams.size()) +
                             " diagrams could not be rendered");
}

// Prints a diagram as the host does when a plug-in asks: its pages go into
// the running print job, or into a job of their own.
void PrintDiagram(const ModelDiagram& diagram) {
  const render::DisplayList list = render::LayoutDiagram(diagram);
  platform::Printer& printer = platform::CurrentPrinter();
  const std::string title = mmapi::cxx::ToUtf8(diagram.name);
  const bool ownJob = !printer.InJob();
  if (ownJob) printer.BeginJob(title);
  for (const render::Page& page : render::PrintedPagesOf(list)) {
    std::ostringstream svg;
    render::WriteSvgPage(list, page, svg);
    printer.DrawPicture(title, svg.str());
  }
  if (ownJob) printer.EndJob();
}

// Writes each Mermaid part to a file of its own: the first to `file`, the
// others beside it as "<stem>-2<extension>" and on, and names them when
// there is more than one.
void ExportMermaid(HostContext& host, const std::string& diagram, const std::filesystem::path& file) {
  const std::vector<std::string> parts = render::MermaidParts(FindDiagram(host.session.Project(), diagram));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::filesystem::path part = i == 0 ? file : Beside(file, "-" + std::to_string(i + 1));
    platform::WriteFileAtomically(part, [&](std::ostream& out) { out << parts[i]; });
    if (parts.size() > 1) host.out << "wrote part " << i + 1 << " of " << parts.size() << ": " << Shown(part) << '\n';
  }
}

}  // namespace

void AddRenderCommands(CommandTable& table, HostContext& host) {
  host.session.SetDiagramPrinter(PrintDiagram);
  table.Add("render", {"render DIAGRAM FILE.svg", "draw a diagram as an SVG picture",
                       [&host](Args a) { RenderTo(FindDiagram(host.session.Project(), a[0]), a[1], host.out); },
                       2, 2});
  table.Add("render-all", {"render-all FOLDER",
                           "draw every diagram as FOLDER/<diagram name>.svg",
                           [&host](Args a) { RenderAll(host, a[0]); }, 1, 1});
  table.Add("export-plantuml", {"export-plantuml DIAGRAM FILE",
                                "write a sequence diagram as PlantUML text (one block a part)",
                                [&host](Args a) {
                                  const ModelDiagram& d = FindDiagram(host.session.Project(), a[0]);
                                  platform::WriteFileAtomically(
                                      a[1], [&](std::ostream& out) { render::WritePlantUml(d, out); });
                                },
                                2, 2});
  table.Add("export-mermaid", {"export-mermaid DIAGRAM FILE",
                               "write a sequence diagram as Mermaid text (FILE, FILE-2, ... a part)",
                               [&host](Args a) { ExportMermaid(host, a[0], a[1]); }, 2, 2});
}

}  // namespace drvx::modelhost
