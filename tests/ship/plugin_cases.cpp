// Runs the gateway cases against shipped plug-ins, as a plain program of their platform: a Windows
// program under Wine for the .mexw64 files, a Linux one for the .mexa64 files.
//
//   <program> <plug-in folder> <word>=<file>[,<word>=<file>...] <case file>...
//
// Each case calls the plug-in file its function maps to, loaded beside our test host as libmx and
// libmex; cases of functions without a plug-in file are counted as skipped. Exits 1 when a case
// fails or a plug-in has no case at all.
#include <stdio.h>

#include <map>
#include <sstream>
#include <stdexcept>

#include "tests/runner/cases.h"
#include "tests/runner/plugin.h"

// Reads "corvane=Corvane.mexw64,tessaly=Tessaly.mexw64" into word -> file.
static std::map<std::string, std::string> readPluginFiles(const std::string& list) {
  std::map<std::string, std::string> files;
  std::istringstream pairs(list);
  for (std::string pair; std::getline(pairs, pair, ',');) {
    const size_t equals = pair.find('=');
    if (equals == std::string::npos) throw std::runtime_error("not word=file: " + pair);
    files[pair.substr(0, equals)] = pair.substr(equals + 1);
  }
  return files;
}

// Runs one case and prints what differs; returns whether it passed.
static bool passes(const Case& testCase, MexFunction entry) {
  const std::vector<std::string> differences = runCase(testCase, entry);
  if (differences.empty()) return true;
  printf("FAIL %s %s\n", testCase.where.c_str(), testCase.name.c_str());
  for (const std::string& difference : differences) printf("  %s\n", difference.c_str());
  return false;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s <plug-in folder> <word>=<file>[,...] <case file>...\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::map<std::string, std::string> files;
  std::map<std::string, MexFunction> entries;
  std::map<std::string, int> ran, skipped;
  int failed = 0;
  try {
    files = readPluginFiles(argv[2]);
    for (int k = 3; k < argc; ++k) {
      for (const Case& testCase : readCases(argv[k])) {
        const auto file = files.find(testCase.function);
        if (file == files.end()) {
          ++skipped[testCase.function];
          continue;
        }
        if (!entries.count(testCase.function)) entries[testCase.function] = loadPlugin(folder + "/" + file->second);
        ++ran[file->second];
        if (!passes(testCase, entries[testCase.function])) ++failed;
      }
    }
  } catch (const std::exception& problem) {
    fprintf(stderr, "%s\n", problem.what());
    return 2;
  }
  int total = 0, unused = 0;
  for (const auto& plugin : files) {
    printf("%-16s %d cases\n", plugin.second.c_str(), ran[plugin.second]);
    total += ran[plugin.second];
    if (ran[plugin.second] == 0) {
      printf("FAIL no case calls %s\n", plugin.first.c_str());
      ++unused;
    }
  }
  for (const auto& function : skipped)
    printf("skipped %d cases of %s: no plug-in file\n", function.second, function.first.c_str());
  printf("%d of %d cases passed\n", total - failed, total);
  return failed == 0 && unused == 0 ? 0 : 1;
}
