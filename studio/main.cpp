// dravolex-studio: the modelling host with a desktop window. Loads the
// plug-ins of its Experts folder and opens the project given (or one picked
// with File > Open).
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "drvx/platform/file_version.h"
#include "drvx/platform/paths.h"
#include "plugin_loader.h"
#include "studio_window.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);

namespace {

// Saves the window, or the plug-in's window `formName`, as a PNG picture:
// 0 when saved, 1 when it could not be written, 2 when the window is not shown.
int Screenshot(drvx::studio::StudioWindow& window, const QString& file, const QString& formName) {
  QApplication::processEvents();
  QWidget* shown = &window;
  if (!formName.isEmpty()) {
    const auto* form = drvx::platform::FindForm(formName.toStdString());
    shown = form ? window.Forms().ViewOf(*form) : nullptr;
    if (!shown) {
      std::fprintf(stderr, "dravolex-studio: the window %s is not shown\n", qPrintable(formName));
      return 2;
    }
  }
  return shown->grab().save(file) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("dravolex-studio"));
  QApplication::setApplicationDisplayName(QStringLiteral("Dravolex Studio"));
  QApplication::setApplicationVersion(QStringLiteral(DRVX_FILE_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "The modelling host with a desktop window: a project tree, a diagram canvas, the plug-ins' "
      "verbs in a menu."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("project file to open"));
  const auto option = [&parser](QStringList names, const char* description, const char* value) {
    QCommandLineOption made(names, QString::fromLatin1(description), QString::fromLatin1(value));
    parser.addOption(made);
    return made;
  };
  const auto experts = option({"experts"}, "load the plug-ins from this folder instead of <prefix>/Experts", "folder");
  const auto diagram = option({"diagram"}, "show this diagram of the project", "name");
  const auto command = option({"c", "command"}, "run a command of the host's language after opening (may be repeated)", "line");
  const auto screenshot = option({"screenshot"}, "save the window as a PNG picture and end", "file");
  const auto of = option({"of"}, "with --screenshot: save this plug-in window instead", "form");
  const auto exportPicture = option({"export"}, "write the diagram shown as a picture (.svg, .png or .pdf) and end", "file");
  const auto scroll = option({"scroll"}, "scroll the diagram this many pixels down", "pixels");
  const auto printDir = option({"print-dir"}, "print every job to a PDF file in this folder", "folder");
  parser.process(app);

  const std::filesystem::path folder =
      parser.isSet(experts)
          ? std::filesystem::path(parser.value(experts).toStdString())
          : drvx::modelhost::PluginLoader::ExpertsFolderOf(drvx::platform::ExecutablePath());
  drvx::studio::StudioWindow window(folder);
  if (parser.isSet(printDir)) window.Printer().SetFolder(parser.value(printDir).toStdString());
  if (!parser.positionalArguments().isEmpty() &&
      !window.OpenProject(parser.positionalArguments().first().toStdString()))
    return 2;
  if (parser.isSet(diagram) &&
      !window.Perform([name = parser.value(diagram).toStdString()](auto& host) {
        host.Select(drvx::modelhost::Selectable::Diagram, name);
      }))
    return 2;
  window.show();
  for (const QString& line : parser.values(command))
    if (!window.RunCommand(line.toStdString())) return 2;
  if (parser.isSet(scroll)) window.ScrollDiagram(parser.value(scroll).toInt());
  if (parser.isSet(exportPicture))
    return window.ExportPicture(parser.value(exportPicture).toStdString()) ? 0 : 1;
  if (parser.isSet(screenshot))
    return Screenshot(window, parser.value(screenshot), parser.isSet(of) ? parser.value(of) : QString());
  return QApplication::exec();
}
