// The scan benchmark: generates synthetic registries of the given sizes, then measures, in the same run, the
// raw walk (the registry reads of the built sections and nothing else) and the scan of the built sections
// through their real code, with the screen targets and the message pump of the platform it runs on.
//
//   tarnwick_bench [--sizes 10000,100000,1000000] [--repeat N] [--findings N] [--files N,N] [--junk N,N]
//                  [--reg-out FILE --size N]
// "--files 10000,100000" also walks generated folder trees with the shortcut section.
// "--junk 10000,200000" walks generated folder trees with the disk cleaner's scan (the 47 default types) against
// a raw find-first/next listing of the same tree.
// "--sizes 0 --findings 100000" measures only the memory that many findings take, in a process of its own.
// "--reg-out FILE --size N" writes the registry as a .reg file instead; after "regedit /s FILE" in a Wine
// prefix (and the referenced files made), "--size N --as-is" scans that registry as it is.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/problem_records.h"
#include "bench_host.h"
#include "file_tree.h"
#include "raw_walk.h"
#include "sections/history_shortcut_sections.h"
#include "sections/com_section.h"
#include "tools/junk_scan.h"
#include "sections/section_table.h"
#include "synthetic_registry.h"

namespace tw::bench {
namespace {

struct Options {
  std::vector<uint64_t> sizes = {10000, 100000, 1000000};
  int repeat = 3;
  uint64_t findings = 0;
  std::string regOut;
  bool populate = true;  // false: scan the registry as it is (after importing a .reg file)
  std::vector<uint64_t> fileTrees;  // entries of the generated folder trees for the shortcut walk
  double idleSeconds = 0;  // a window that only pumps messages, for comparison with the scans' gaps
  std::vector<uint64_t> junkTrees;  // entries of the generated folder trees for the disk cleaner's scan
};

// A built section as the scan driver would call it, with the raw reads that match it.
struct BenchSection {
  SectionDef def;
  bool exactRaw;  // the raw reads are exactly the section's, not a full read of its key
};

std::vector<BenchSection> BuiltSections() {
  std::vector<BenchSection> built;
  for (int i = 0; i < kSectionCount; ++i) {
    SectionDef def = SectionTable()[i];
    if (def.number == 1 && !def.scanner) def.scanner = ScanComSection;
    if (!def.scanner || def.number == 11) continue;  // the shortcut walk has its own folder-tree measure
    built.push_back({def, def.number == 1});
  }
  return built;
}

// The raw reads of one section; false when it reads keys of its own that no generic walk matches.
bool RawReads(Platform& platform, const BenchSection& s, RawCounts* counts) {
  IRegistry& reg = platform.registry;
  switch (s.def.number) {
    case 1:
      *counts = RawComReads(reg, s.def.root);
      return true;
    case 2:
    case 3: {
      std::vector<HKey> roots = {s.def.root};
      if (s.def.secondRoot) roots.push_back(s.def.secondRoot);
      *counts = RawSettingsReads(reg, platform.files, roots, s.def.number == 3);
      return true;
    }
    case 6:
    case 13:
      *counts = RawExtensionReads(reg, s.def.root, s.def.number == 6);
      return true;
    default:
      break;
  }
  if (!s.def.keyPath || !s.def.root) return false;
  *counts = RawValueReads(reg, s.def.root, s.def.keyPath);
  if (s.def.secondRoot) {
    const RawCounts second = RawValueReads(reg, s.def.secondRoot, s.def.keyPath);
    counts->keys += second.keys;
    counts->values += second.values;
  }
  return true;
}

struct SectionFigures {
  double rawSeconds = 1e30;
  double scanSeconds = 1e30;
  bool hasRaw = false;
  RawCounts raw;
  int findings = 0;
  AttributeCache files;  // the scan's existence tests: made, and answered from its cache
  double longestGapMs = 0;  // between two message pumps of the section
  double longestOwnGapMs = 0;  // the same, less what the system was stalled in
};

struct SizeFigures {
  std::vector<SectionFigures> sections;
  PumpStats pump;
  double populateSeconds = 0;
  GeneratedCounts generated;
  uint64_t peakBytes = 0;
};

int ScanSection(Platform& platform, IBenchScreen& screen, const BenchSection& s, TRegistryContents& list,
                AttributeCache* files = nullptr) {
  ProcessState state;
  state.ScanState = kStateScanning;
  state.SelectAll = true;
  ScanContext ctx{platform, state, screen.Pump(), screen.StatusPanel(), screen.CountLabel(), list};
  screen.CountLabel().SetText("0");
  s.def.scanner(ctx, s.def.root, s.def.keyPath ? s.def.keyPath : "");
  if (s.def.secondRoot) s.def.scanner(ctx, s.def.secondRoot, s.def.keyPath ? s.def.keyPath : "");
  if (files) *files = std::move(state.FileAttributes);
  return list.Count();
}

// The same window doing nothing but pump its messages, with the generated registry still in place: what the
// system alone makes a window wait.
void IdlePump(double seconds) {
  auto screen = CreateBenchScreen();
  screen->ResetStats();
  const double start = NowSeconds();
  while (NowSeconds() - start < seconds) screen->Pump().ProcessMessages();
  const PumpStats p = screen->Finish();
  std::printf("\n== a window that only pumps messages for %.0f s: %" PRIu64 " pumps; longest gap %.3f ms, of its own "
              "%.3f ms\n", seconds, p.calls, p.longestCallGapMs, p.longestOwnGapMs);
}

SizeFigures RunSize(uint64_t size, const Options& options, const std::vector<BenchSection>& sections) {
  SizeFigures figures;
  figures.sections.resize(sections.size());
  auto host = CreateBenchPlatform();
  Platform& platform = host->Get();
  auto screen = CreateBenchScreen();

  const bool populate = options.populate || !host->IsReal();
  GeneratorOptions gen;
  gen.keys = size;
  const double startPopulate = NowSeconds();
  CreateReferencedFiles(platform.files, gen);
  if (populate) {
    if (host->IsReal()) RemoveGeneratedKeys(platform.registry);
    ApiSink sink(platform.registry);
    figures.generated = GenerateRegistry(sink, gen);
    figures.populateSeconds = NowSeconds() - startPopulate;
  }

  for (int round = 0; round < options.repeat; ++round) {
    for (size_t i = 0; i < sections.size(); ++i) {
      SectionFigures& f = figures.sections[i];
      RawCounts counts;
      double t0 = NowSeconds();
      f.hasRaw = RawReads(platform, sections[i], &counts);
      f.rawSeconds = std::min(f.rawSeconds, NowSeconds() - t0);
      f.raw = counts;

      TRegistryContents list;
      screen->ResetStats();
      t0 = NowSeconds();
      f.findings = ScanSection(platform, *screen, sections[i], list, &f.files);
      f.scanSeconds = std::min(f.scanSeconds, NowSeconds() - t0);
      const PumpStats pump = screen->Finish();
      f.longestGapMs = std::max(f.longestGapMs, pump.longestCallGapMs);
      figures.pump.calls = std::max(figures.pump.calls, pump.calls);
      figures.pump.realPumps = std::max(figures.pump.realPumps, pump.realPumps);
      figures.pump.longestCallGapMs = std::max(figures.pump.longestCallGapMs, pump.longestCallGapMs);
      figures.pump.longestRealGapMs = std::max(figures.pump.longestRealGapMs, pump.longestRealGapMs);
      figures.pump.longestOwnGapMs = std::max(figures.pump.longestOwnGapMs, pump.longestOwnGapMs);
      f.longestOwnGapMs = std::max(f.longestOwnGapMs, pump.longestOwnGapMs);
    }
  }
  figures.peakBytes = PeakMemoryBytes();
  if (options.idleSeconds > 0) IdlePump(options.idleSeconds);
  if (populate && host->IsReal()) RemoveGeneratedKeys(platform.registry);
  return figures;
}

double Mb(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void PrintSize(uint64_t size, const SizeFigures& f, const std::vector<BenchSection>& sections) {
  std::printf("\n== %" PRIu64 " keys generated (%" PRIu64 " values, %" PRIu64 " files; %" PRIu64
              " empty server keys, %" PRIu64 " empty HELPDIR, %" PRIu64 " dangling type libraries, %" PRIu64
              " unknown file types, %" PRIu64 " empty extensions; %" PRIu64 " of %" PRIu64
              " file references missing), populated in %.2f s\n",
              size, f.generated.values, f.generated.files, f.generated.emptyServerKeys, f.generated.emptyHelpDirs,
              f.generated.danglingTypeLibs, f.generated.unknownFileTypes, f.generated.emptyExtensions,
              f.generated.missingFileRefs, f.generated.missingFileRefs + f.generated.existingFileRefs,
              f.populateSeconds);
  std::printf("%-4s %-26s %10s %10s %8s %12s %12s %9s %8s %8s\n", "sec", "caption", "raw ms", "scan ms", "ratio",
              "keys/s", "values/s", "findings", "gap ms", "own ms");
  double rawTotal = 0, scanTotal = 0;
  for (size_t i = 0; i < sections.size(); ++i) {
    const SectionFigures& s = f.sections[i];
    const double keysPerSecond = s.scanSeconds > 0 ? static_cast<double>(s.raw.keys) / s.scanSeconds : 0;
    const double valuesPerSecond = s.scanSeconds > 0 ? static_cast<double>(s.raw.values) / s.scanSeconds : 0;
    if (s.hasRaw) {
      std::printf("%-4d %-26s %10.2f %10.2f %7.3f%s %12.0f %12.0f %9d %8.1f %8.1f\n", sections[i].def.number,
                  sections[i].def.caption, s.rawSeconds * 1e3, s.scanSeconds * 1e3, s.scanSeconds / s.rawSeconds,
                  sections[i].exactRaw ? " " : "~", keysPerSecond, valuesPerSecond, s.findings, s.longestGapMs,
                  s.longestOwnGapMs);
      rawTotal += s.rawSeconds;
      scanTotal += s.scanSeconds;
    } else {
      std::printf("%-4d %-26s %10s %10.2f %8s %12s %12s %9d %8.1f %8.1f\n", sections[i].def.number,
                  sections[i].def.caption, "-", s.scanSeconds * 1e3, "-", "-", "-", s.findings, s.longestGapMs,
                  s.longestOwnGapMs);
    }
  }
  for (size_t i = 0; i < sections.size(); ++i) {
    const SectionFigures& s = f.sections[i];
    if (s.files.tests + s.files.saved == 0) continue;
    std::printf("sec %d existence tests: raw %" PRIu64 ", scan %" PRIu64 " (%" PRIu64
                " more answered from the scan's cache of %zu paths)\n",
                sections[i].def.number, s.raw.fileTests, s.files.tests, s.files.saved, s.files.entries.size());
  }
  uint64_t keysRead = 0;
  for (const SectionFigures& s : f.sections) keysRead += s.hasRaw ? s.raw.keys : 0;
  std::printf("all sections with raw reads: %" PRIu64 " keys read, raw %.2f ms, scan %.2f ms, scan / raw %.3f; "
              "the sections' own work (scan - raw) %.1f ns per key\n",
              keysRead, rawTotal * 1e3, scanTotal * 1e3, rawTotal > 0 ? scanTotal / rawTotal : 0.0,
              keysRead ? (scanTotal - rawTotal) * 1e9 / static_cast<double>(keysRead) : 0.0);
  std::printf("pumps: %" PRIu64 " calls, %" PRIu64 " real; longest gap between calls %.3f ms, between real pumps %.3f ms; "
              "longest gap of the scan's own (less what the system was stalled in) %.3f ms\n",
              f.pump.calls, f.pump.realPumps, f.pump.longestCallGapMs, f.pump.longestRealGapMs, f.pump.longestOwnGapMs);
  std::printf("peak memory %.1f MB\n", Mb(f.peakBytes));
}

// Holds `count` findings of section 1 in its list and in the review list, and reports the memory they take.
void FindingsMemory(uint64_t count) {
  auto host = CreateBenchPlatform();
  Platform& platform = host->Get();
  auto screen = CreateBenchScreen();
  if (host->IsReal()) RemoveGeneratedKeys(platform.registry);
  // One class with an empty server key per finding.
  ApiSink sink(platform.registry);
  uint64_t keys = 0;
  for (uint64_t i = 0; i < count; ++i) {
    char path[96];
    std::snprintf(path, sizeof path, "CLSID\\{BE1CF000-0000-4000-8000-%012" PRIX64 "}\\InprocServer32", i);
    sink.Key(kClassesRoot, path);
    sink.String("", "");
    keys += 2;
  }
  const uint64_t before = PeakMemoryBytes();
  ProblemLists lists;
  BenchSection section{SectionTable()[0], true};
  if (!section.def.scanner) section.def.scanner = ScanComSection;
  const double t0 = NowSeconds();
  ScanSection(platform, *screen, section, lists.Sections[1]);
  lists.BuildReview();
  const double seconds = NowSeconds() - t0;
  screen->Finish();
  const uint64_t after = PeakMemoryBytes();
  std::printf("\n== findings held: %d in the section list and %d in the review list (%" PRIu64
              " keys generated), scan %.2f s\n",
              lists.Sections[1].Count(), lists.Review.Count(), keys, seconds);
  std::printf("peak memory before the scan %.1f MB, after %.1f MB: %.1f MB for the findings\n", Mb(before), Mb(after),
              Mb(after - before));
  if (host->IsReal()) RemoveGeneratedKeys(platform.registry);
}

// The shortcut walk over a generated folder tree against the raw listing with the same shortcut reads.
void FileTreeBench(uint64_t entries, int repeat) {
  auto host = CreateBenchPlatform();
  Platform& platform = host->Get();
  auto screen = CreateBenchScreen();
  const std::string root = "C:\\BenchTree";
  if (platform.files.DirectoryExists(root)) RemoveFileTree(platform, root);
  const double t0 = NowSeconds();
  const TreeCounts made = GenerateFileTree(platform, root, entries, [&host](Platform&, const std::string& link,
                                                                           const std::string& target) {
    return host->MakeShortcut(link, target);
  });
  const double madeSeconds = NowSeconds() - t0;
  double rawBest = 1e30, scanBest = 1e30;
  TreeCounts raw;
  int findings = 0;
  PumpStats pump;
  for (int round = 0; round < repeat; ++round) {
    double start = NowSeconds();
    raw = RawShortcutWalk(platform, root);
    rawBest = std::min(rawBest, NowSeconds() - start);
    ProcessState state;
    state.ScanState = kStateScanning;
    TRegistryContents list;
    ScanContext ctx{platform, state, screen->Pump(), screen->StatusPanel(), screen->CountLabel(), list};
    screen->ResetStats();
    start = NowSeconds();
    ScanShortcutsIn(ctx, root);
    scanBest = std::min(scanBest, NowSeconds() - start);
    const PumpStats p = screen->Finish();
    pump.longestCallGapMs = std::max(pump.longestCallGapMs, p.longestCallGapMs);
    pump.longestRealGapMs = std::max(pump.longestRealGapMs, p.longestRealGapMs);
    pump.longestOwnGapMs = std::max(pump.longestOwnGapMs, p.longestOwnGapMs);
    pump.calls = p.calls;
    findings = list.Count();
  }
  std::printf("\n== shortcut walk: %" PRIu64 " entries, %" PRIu64 " shortcuts to missing targets (made in %.2f s)\n",
              made.entries, made.shortcuts, madeSeconds);
  std::printf("raw find-first/next + link reads %.2f ms (%" PRIu64 " entries listed, %" PRIu64
              " missing targets), section %.2f ms, ratio %.3f, findings %d\n",
              rawBest * 1e3, raw.entries, raw.shortcuts, scanBest * 1e3, scanBest / rawBest, findings);
  std::printf("pumps: %" PRIu64 " calls; longest gap between calls %.3f ms, between real pumps %.3f ms; the scan's own "
              "%.3f ms\n", pump.calls, pump.longestCallGapMs, pump.longestRealGapMs, pump.longestOwnGapMs);
  RemoveFileTree(platform, root);
}

// The disk cleaner's scan over a generated folder tree against the raw listing of the same tree.
void JunkTreeBench(uint64_t entries, int repeat) {
  auto host = CreateBenchPlatform();
  Platform& platform = host->Get();
  auto screen = CreateBenchScreen();
  const std::string root = "C:\\BenchJunk";
  if (platform.files.DirectoryExists(root)) RemoveFileTree(platform, root);
  const double t0 = NowSeconds();
  // One entry in a hundred is a junk file ("*.tmp") where the shortcut tree has its shortcuts.
  const TreeCounts made = GenerateFileTree(platform, root, entries, [](Platform& p, const std::string& link,
                                                                       const std::string&) {
    return p.files.WriteWholeFile(link.substr(0, link.size() - 4) + ".tmp", "junk");
  });
  const double madeSeconds = NowSeconds() - t0;
  const JunkMatcher matcher(DefaultJunkTypes());
  double rawBest = 1e30, scanBest = 1e30;
  uint64_t listed = 0;
  size_t found = 0;
  PumpStats pump;
  for (int round = 0; round < repeat; ++round) {
    double start = NowSeconds();
    listed = RawListing(platform, root);
    rawBest = std::min(rawBest, NowSeconds() - start);
    std::vector<TTempFileInfo> list;
    screen->ResetStats();
    start = NowSeconds();
    ScanJunkFolder(platform.files, root, matcher, screen->Pump(), screen->StatusPanel(), [] { return false; }, &list);
    scanBest = std::min(scanBest, NowSeconds() - start);
    const PumpStats p = screen->Finish();
    pump.longestCallGapMs = std::max(pump.longestCallGapMs, p.longestCallGapMs);
    pump.longestRealGapMs = std::max(pump.longestRealGapMs, p.longestRealGapMs);
    pump.calls = p.calls;
    pump.realPumps = p.realPumps;
    found = list.size();
  }
  std::printf("\n== disk cleaner scan: %" PRIu64 " entries, %" PRIu64 " junk (made in %.2f s)\n", made.entries,
              made.shortcuts, madeSeconds);
  std::printf("raw find-first/next %.2f ms (%" PRIu64 " entries listed), scan %.2f ms, ratio %.3f, found %zu\n",
              rawBest * 1e3, listed, scanBest * 1e3, scanBest / rawBest, found);
  std::printf("pumps: %" PRIu64 " calls, %" PRIu64 " real; longest gap between calls %.3f ms, between real pumps "
              "%.3f ms\n",
              pump.calls, pump.realPumps, pump.longestCallGapMs, pump.longestRealGapMs);
  RemoveFileTree(platform, root);
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--sizes" && hasValue) {
      options->sizes.clear();
      std::string list = argv[++i];
      size_t pos = 0;
      while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        if (comma == std::string::npos) comma = list.size();
        options->sizes.push_back(std::strtoull(list.substr(pos, comma - pos).c_str(), nullptr, 10));
        pos = comma + 1;
      }
    } else if (arg == "--size" && hasValue) {
      options->sizes = {std::strtoull(argv[++i], nullptr, 10)};
    } else if (arg == "--repeat" && hasValue) {
      options->repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--findings" && hasValue) {
      options->findings = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--files" && hasValue) {
      std::string list = argv[++i];
      for (size_t pos = 0; pos <= list.size();) {
        size_t comma = list.find(',', pos);
        if (comma == std::string::npos) comma = list.size();
        options->fileTrees.push_back(std::strtoull(list.substr(pos, comma - pos).c_str(), nullptr, 10));
        pos = comma + 1;
      }
    } else if (arg == "--idle" && hasValue) {
      options->idleSeconds = std::atof(argv[++i]);
    } else if (arg == "--junk" && hasValue) {
      std::string list = argv[++i];
      for (size_t pos = 0; pos <= list.size();) {
        size_t comma = list.find(',', pos);
        if (comma == std::string::npos) comma = list.size();
        options->junkTrees.push_back(std::strtoull(list.substr(pos, comma - pos).c_str(), nullptr, 10));
        pos = comma + 1;
      }
    } else if (arg == "--as-is") {
      options->populate = false;
    } else if (arg == "--reg-out" && hasValue) {
      options->regOut = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: tarnwick_bench [--sizes N,N,...] [--repeat N] [--findings N] [--files N,N,...] "
                   "[--junk N,N,...] [--as-is] "
                   "[--reg-out FILE --size N] [--idle SECONDS]\n");
      return false;
    }
  }
  return true;
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return 2;
  if (!options.regOut.empty()) {
    std::FILE* out = std::fopen(options.regOut.c_str(), "wb");
    if (!out) return 1;
    RegFileSink sink(out);
    GeneratorOptions gen;
    gen.keys = options.sizes.front();
    const GeneratedCounts counts = GenerateRegistry(sink, gen);
    std::fclose(out);
    std::printf("%s: %" PRIu64 " keys, %" PRIu64 " values; the existing references name %" PRIu64
                " files C:\\BenchFiles\\d<i/100>\\f<i>.dll\n",
                options.regOut.c_str(), counts.keys, counts.values, counts.files);
    return 0;
  }

  const std::vector<BenchSection> sections = BuiltSections();
  {
    auto screen = CreateBenchScreen();
    std::printf("screen: %s; best of %d rounds; ratio marked ~ : raw reads approximated by a full read of the "
                "section's key\n",
                screen->Kind(), options.repeat);
  }
  double previousPerKey = 0;
  uint64_t previousSize = 0;
  for (uint64_t size : options.sizes) {
    if (size == 0) continue;
    const SizeFigures figures = RunSize(size, options, sections);
    PrintSize(size, figures, sections);
    double scan = 0;
    uint64_t keys = 0;
    for (const SectionFigures& s : figures.sections) {
      scan += s.scanSeconds;
      keys += s.raw.keys;
    }
    const double perKey = scan / static_cast<double>(keys ? keys : 1);
    if (previousSize)
      std::printf("scan time per key read, against the %" PRIu64 "-key run: %.3f (1.000 is linear)\n", previousSize,
                  perKey / previousPerKey);
    previousPerKey = perKey;
    previousSize = size;
    std::fflush(stdout);
  }
  if (options.findings) FindingsMemory(options.findings);
  for (uint64_t entries : options.fileTrees) FileTreeBench(entries, options.repeat);
  for (uint64_t entries : options.junkTrees) JunkTreeBench(entries, options.repeat);
  return 0;
}

}  // namespace
}  // namespace tw::bench

int main(int argc, char** argv) { return tw::bench::Main(argc, argv); }
