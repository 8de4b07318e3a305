#include "tests/support/plugins.h"

#include <stdlib.h>

#include <algorithm>
#include <map>

#if defined(__linux__)
#include <sys/mman.h>
#endif

PluginCall callPlugin(const std::string& word, const std::vector<mxArray*>& inputs, int nlhs) {
  static std::map<std::string, MexFunction> entries;
  if (!entries.count(word)) entries[word] = loadPlugin(PLUGIN_DIR "/" + word + ".so");
  return callEntry(entries[word], nlhs, inputs);
}

void appendColumn(PlainSparse& S, std::vector<std::pair<double, size_t>> column, size_t topK) {
  if (topK > 0) {
    std::sort(column.begin(), column.end(), [](const std::pair<double, size_t>& a, const std::pair<double, size_t>& b) {
      return a.first > b.first || (a.first == b.first && a.second < b.second);
    });
    if (column.size() > topK) column.resize(topK);
    std::sort(column.begin(), column.end(), [](const std::pair<double, size_t>& a, const std::pair<double, size_t>& b) {
      return a.second < b.second;
    });
  }
  for (const auto& entry : column) S.ir.push_back(entry.second), S.pr.push_back(entry.first);
  S.jc.push_back(S.ir.size());
  ++S.n;
}

int roundsHere(int rounds) {
  return getenv("TESTS_UNDER_EMULATOR") ? std::max(1, rounds / 40) : rounds;
}

mxArray* sparseClaiming(size_t m, size_t n, uint64_t stored) {
  std::vector<uint64_t> jc(n + 1, 0);
  jc[n] = stored;
  return testhostSparse(m, n, jc, {}, {});
}

ReservedColumnStarts::ReservedColumnStarts(size_t n) {
#if defined(__linux__)
  bytes = (n + 1) * sizeof(uint64_t);
  void* memory = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory != MAP_FAILED) jc = (const uint64_t*)memory;
#else
  (void)n;
#endif
}

ReservedColumnStarts::~ReservedColumnStarts() {
#if defined(__linux__)
  if (jc) munmap((void*)jc, bytes);
#endif
}
