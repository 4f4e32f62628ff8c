#include <elf.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "drvx/platform/file_version.h"

namespace drvx::platform {
namespace {

// Section tables and their names are read only within these bounds.
constexpr std::uint64_t kMaxSections = 65535;
constexpr std::uint64_t kMaxNameTable = 1 << 20;
constexpr std::uint64_t kMaxNote = 4096;

// Reads `size` bytes at `offset` when they lie within the file.
bool ReadAt(std::ifstream& in, std::uint64_t fileSize, std::uint64_t offset, void* into,
            std::uint64_t size) {
  if (offset > fileSize || size > fileSize - offset) return false;
  in.seekg(std::streamoff(offset));
  return bool(in.read(static_cast<char*>(into), std::streamsize(size)));
}

// The bytes of the ELF section ".drvx_version", read through the section
// table rather than the whole file (test programs with debug information
// run to tens of megabytes).
std::optional<std::string> VersionSection(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::uint64_t fileSize = std::uint64_t(in.tellg());
  Elf64_Ehdr header{};
  if (!ReadAt(in, fileSize, 0, &header, sizeof header) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0 ||
      header.e_shnum > kMaxSections || header.e_shstrndx >= header.e_shnum)
    return std::nullopt;
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  if (!ReadAt(in, fileSize, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
    return std::nullopt;
  const Elf64_Shdr& namesSection = sections[header.e_shstrndx];
  if (namesSection.sh_size > kMaxNameTable) return std::nullopt;
  std::string names(namesSection.sh_size, '\0');
  if (!ReadAt(in, fileSize, namesSection.sh_offset, names.data(), names.size())) return std::nullopt;
  static constexpr char kName[] = ".drvx_version";
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_name >= names.size() ||
        names.compare(section.sh_name, sizeof kName, kName, sizeof kName) != 0)
      continue;
    if (section.sh_type == SHT_NOBITS || section.sh_size > kMaxNote) return std::nullopt;
    std::string bytes(section.sh_size, '\0');
    if (!ReadAt(in, fileSize, section.sh_offset, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FileVersionText(const std::filesystem::path& path) {
  const auto section = VersionSection(path);
  if (!section) return std::nullopt;
  // Built at run time, so that this library's own bytes do not hold the marker.
  const std::string marker = std::string("DRVX-File") + "Version:";
  const std::size_t at = section->find(marker);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t begin = at + marker.size();
  const std::size_t end = section->find('\0', begin);
  if (end == std::string::npos || end == begin) return std::nullopt;
  return section->substr(begin, end - begin);
}

}  // namespace drvx::platform
