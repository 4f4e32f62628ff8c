// TExpertSettings: the user's settings of the plug-in (diagram name prefixes,
// the try/except template and the fields it creates) and their binary
// configuration file "Dravolex.cfg" in the host program's folder. The object
// is itself the typed stream holding the file's image as last loaded or saved.
//
// File layout: fourteen values of the typed stream, back to back, no header:
//   1-10  the prefixes of class, activity, collaboration, dependency,
//         implementation, mind map, robustness, sequence, state and use case
//         diagrams (strings)
//   11    ExceptionCode (string)
//   12    CreateLocalMembers (flag)
//   13    LocalFields (string)
//   14    RecordingPageMessages (integer; a number below 1 is read as the
//         default). A file of thirteen values, as earlier versions wrote it,
//         is read with the default and written again with all fourteen.
// A file that stops early, or whose value is damaged (a string longer than
// the bytes left), is read as far as it is sound; the rest take their defaults
// and the file is written again complete.
//
// One instance, shared by reference; user-interface thread only.
#pragma once

#include <filesystem>
#include <string>

#include "type_memory_stream.h"

namespace drvx::settings {

class TExpertSettings : public TTypeMemoryStream {
 public:
  // The configuration of the running host (its executable's folder).
  TExpertSettings();
  // The configuration of a host whose program is `hostExecutable`.
  explicit TExpertSettings(const std::filesystem::path& hostExecutable);

  // Fills every field from the stream, defaulting what is missing or damaged;
  // saves when any default was used.
  void LoadSettings();
  // Writes all fields to the stream and the stream to ConfigFileName.
  void SaveSettings();

  // The version text of a file into `version`; returns the build number (the
  // number after the last ".") or -1. `version` is unchanged when the file
  // has no version.
  static int QueryFileVersion(const std::filesystem::path& path, std::string& version);

  std::string ExceptionCode;
  bool CreateLocalMembers = true;
  std::string LocalFields;
  // The most messages a recording's diagram holds before the recording goes
  // on in a new one.
  std::int32_t RecordingPageMessages = kDefaultRecordingPageMessages;
  static constexpr std::int32_t kDefaultRecordingPageMessages = 400;
  std::string ActivityDiagramPrefix;
  std::string ClassDiagramPrefix;
  std::string CollaborationDiagramPrefix;
  std::string DependencyDiagramPrefix;
  std::string ImplementationDiagramPrefix;
  std::string MindMapDiagramPrefix;
  std::string RobustnessDiagramPrefix;
  std::string SequenceDiagramPrefix;
  std::string StateDiagramPrefix;
  std::string UseCaseDiagramPrefix;
  std::string ConfigFileName;
  std::string PluginFileVersion;
};

// The defaults, multi-line texts with CR LF after every line.
std::string DefaultExceptionCode();
std::string DefaultLocalFields();

// The plug-in library's path for a host program installed in a "bin" folder
// beside "Experts"; a host program of another name gives its own path.
std::filesystem::path PluginLibraryPathFor(const std::filesystem::path& hostExecutable);

}  // namespace drvx::settings
