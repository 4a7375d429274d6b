// Synthetic registries of a chosen size with the mix a scan meets on a used machine: COM classes with server
// keys and type-library references (some empty, some dangling), type libraries with help folders, AppID
// entries, file extensions with their program ids (some uninstalled, some empty), software keys whose strings
// name existing and missing files and folders in the forms programs write them, empty keys, and the entries of the
// list sections (application paths, uninstall entries, start-menu order, histories, shared DLLs, fonts, help files).
// Written through the registry API or as a .reg file to import into a Wine prefix. It also sets the user's Programs
// shell folder, the sound scheme's default and a CD-ROM class filter, which a throwaway bench prefix tolerates;
// those three are not removed again.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace tw::bench {

// Receives the generated keys and values, each value right after its key.
class IRegistrySink {
 public:
  virtual ~IRegistrySink() = default;
  virtual void Key(HKey root, const std::string& path) = 0;
  // The empty name is the key's unnamed value.
  virtual void String(const std::string& name, const std::string& value) = 0;
  virtual void Dword(const std::string& name, uint32_t value) = 0;
};

// Writes into a registry through the API, keeping the key just created open for its values.
class ApiSink : public IRegistrySink {
 public:
  explicit ApiSink(IRegistry& reg) : reg_(reg) {}
  void Key(HKey root, const std::string& path) override;
  void String(const std::string& name, const std::string& value) override;
  void Dword(const std::string& name, uint32_t value) override;

 private:
  IRegistry& reg_;
  RegKeyHandle key_;
};

// Writes a "REGEDIT4" file in the ANSI code page, for "regedit /s".
class RegFileSink : public IRegistrySink {
 public:
  explicit RegFileSink(std::FILE* out);
  void Key(HKey root, const std::string& path) override;
  void String(const std::string& name, const std::string& value) override;
  void Dword(const std::string& name, uint32_t value) override;

 private:
  std::FILE* out_;
};

struct GeneratedCounts {
  uint64_t keys = 0;
  uint64_t values = 0;
  uint64_t emptyServerKeys = 0;     // findings of the empty-entry walk
  uint64_t emptyHelpDirs = 0;
  uint64_t danglingTypeLibs = 0;    // findings of the type-library pass
  uint64_t unknownFileTypes = 0;    // extensions naming a file type that is not registered
  uint64_t emptyExtensions = 0;     // extensions holding only an empty unnamed value
  uint64_t existingFileRefs = 0;
  uint64_t missingFileRefs = 0;
  uint64_t files = 0;               // files created for the existing references
};

struct GeneratorOptions {
  uint64_t keys = 10000;
  uint64_t seed = 1;
  // Share of COM classes whose server key is empty, in thousandths; raised to make a findings-heavy registry.
  int emptyServerPerMille = 20;
  std::string fileRoot = "C:\\BenchFiles";
};

// The path of the index-th file that existing references name.
std::string FilePath(const GeneratorOptions& options, uint64_t index);

// The files that existing references name, created below `options.fileRoot` (folders of 100 files).
// Returns how many were made.
uint64_t CreateReferencedFiles(IFiles& files, const GeneratorOptions& options);

// Emits about `options.keys` keys (never fewer) into the sink.
GeneratedCounts GenerateRegistry(IRegistrySink& sink, const GeneratorOptions& options);

// Removes every key the generator makes (recognised by their names) from a real registry.
uint64_t RemoveGeneratedKeys(IRegistry& reg);

}  // namespace tw::bench
