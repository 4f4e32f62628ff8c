// Loads plug-in libraries into the substitute host through their three
// exports, and unloads them in reverse order.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drvx/platform/dynamic_library.h"
#include "host_session.h"
#include "mmapi/exports.h"

namespace drvx::modelhost {

struct LoadedPlugin {
  std::filesystem::path path;
  std::unique_ptr<platform::DynamicLibrary> library;
  mmapi::MMExpertExitProcType exit;
  int index;
};

class PluginLoader {
 public:
  // Every line the loader reports (one per library) goes to `report`.
  PluginLoader(HostSession& session, std::function<void(const std::string&)> report);
  ~PluginLoader();  // UnloadAll
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;

  // The Experts folder of a host installed as <prefix>/bin/<host>.
  static std::filesystem::path ExpertsFolderOf(const std::filesystem::path& hostExecutable);

  // Loads every shared library in the folder, in file name order. A missing
  // folder loads nothing and says so.
  void LoadFolder(const std::filesystem::path& folder);
  // Loads one library: checks the version answer, calls the entry function
  // once, keeps what it registers. A library that fails any step is reported
  // in one line, whatever it registered is released, and it is unloaded.
  bool Load(const std::filesystem::path& path);
  // For each library, latest first: releases what it registered, calls its
  // exit function, unloads it.
  void UnloadAll();

  const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }

 private:
  HostSession& session_;
  std::function<void(const std::string&)> report_;
  std::vector<LoadedPlugin> plugins_;
  int nextIndex_ = 0;
};

}  // namespace drvx::modelhost
