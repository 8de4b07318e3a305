#include "tests/runner/cases.h"
#include "tests/runner/plugin.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

// A number of a case file: a decimal, NaN, Inf, -Inf or a fraction a/b.
static double parseNumber(const std::string& word) {
  const size_t slash = word.find('/');
  if (slash != std::string::npos) return parseNumber(word.substr(0, slash)) / parseNumber(word.substr(slash + 1));
  char* end = nullptr;
  const double value = strtod(word.c_str(), &end);
  if (end == word.c_str() || *end != '\0') throw std::runtime_error("not a number: " + word);
  return value;
}

static std::vector<std::string> splitWords(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

// Splits "words | numbers | numbers" into its words and its lists of numbers.
static CaseInput parseInput(const std::string& rest) {
  CaseInput input;
  size_t bar = rest.find('|');
  input.words = splitWords(rest.substr(0, bar));
  if (input.words.empty()) throw std::runtime_error("an input needs a kind");
  input.kind = input.words[0];
  input.words.erase(input.words.begin());
  while (bar != std::string::npos) {
    const size_t next = rest.find('|', bar + 1);
    std::vector<double> numbers;
    for (const std::string& word : splitWords(rest.substr(bar + 1, next - bar - 1))) numbers.push_back(parseNumber(word));
    input.parts.push_back(numbers);
    bar = next;
  }
  return input;
}

static size_t wordAsSize(const CaseInput& input, size_t k) {
  if (k >= input.words.size()) throw std::runtime_error("input " + input.kind + " needs more words");
  return (size_t)parseNumber(input.words[k]);
}

static void readResult(Case& testCase, const std::string& rest) {
  const CaseInput result = parseInput("result " + rest);
  if (result.parts.size() != 3) throw std::runtime_error("a result needs jc | ir | pr");
  testCase.checksResult = true;
  testCase.m = wordAsSize(result, 0);
  testCase.n = wordAsSize(result, 1);
  testCase.jc = result.parts[0];
  testCase.ir = result.parts[1];
  testCase.pr = result.parts[2];
}

// A full double result, "values <m> <n> | <values>", read as a sparse one storing every element.
static void readValues(Case& testCase, const std::string& rest) {
  const CaseInput values = parseInput("values " + rest);
  if (values.parts.size() != 1) throw std::runtime_error("values need m n | values");
  testCase.checksResult = testCase.fullResult = true;
  testCase.m = wordAsSize(values, 0);
  testCase.n = wordAsSize(values, 1);
  if (values.parts[0].size() != testCase.m * testCase.n) throw std::runtime_error("values need m * n numbers");
  const PlainSparse every = everyElementOf(testCase.m, testCase.n, values.parts[0].data());
  testCase.jc.assign(every.jc.begin(), every.jc.end());
  testCase.ir.assign(every.ir.begin(), every.ir.end());
  testCase.pr = every.pr;
}

// Applies one line of a case file to the case being read.
static void readLine(Case& testCase, const std::string& keyword, const std::string& rest) {
  if (keyword == "call") {
    const std::vector<std::string> words = splitWords(rest);
    if (words.size() != 2) throw std::runtime_error("call needs a function and nlhs");
    testCase.function = words[0];
    testCase.nlhs = atoi(words[1].c_str());
  } else if (keyword == "in") {
    testCase.inputs.push_back(parseInput(rest));
  } else if (keyword == "line") {
    const size_t first = rest.find('"'), last = rest.rfind('"');
    if (first == std::string::npos || last == first) throw std::runtime_error("a line is quoted");
    testCase.output += rest.substr(first + 1, last - first - 1) + "\n";
  } else if (keyword == "error") {
    const size_t space = rest.find(' ');
    testCase.raises = true;
    testCase.identifier = rest.substr(0, space);
    testCase.message = space == std::string::npos ? "" : rest.substr(space + 1);
  } else if (keyword == "after-output") {
    testCase.raisesAfterOutput = true;
  } else if (keyword == "result") {
    readResult(testCase, rest);
  } else if (keyword == "values") {
    readValues(testCase, rest);
  } else if (keyword == "stored") {
    testCase.stored = (int64_t)parseNumber(rest);
  } else if (keyword == "nzmax") {
    testCase.nzmax = (int64_t)parseNumber(rest);
  } else {
    throw std::runtime_error("unknown keyword " + keyword);
  }
}

std::vector<Case> readCases(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot open " + path);
  std::vector<Case> cases;
  Case current;
  bool open = false;
  int number = 0;
  for (std::string text; std::getline(file, text);) {
    ++number;
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos || text[start] == '#') continue;
    const size_t space = text.find(' ', start);
    const std::string keyword = text.substr(start, space - start);
    const std::string rest = space == std::string::npos ? "" : text.substr(space + 1);
    const std::string where = path + ":" + std::to_string(number);
    try {
      if (keyword == "case") {
        current = Case();
        current.where = where;
        current.name = rest;
        open = true;
      } else if (keyword == "end") {
        if (!open) throw std::runtime_error("end without case");
        cases.push_back(current);
        open = false;
      } else {
        if (!open) throw std::runtime_error("line outside a case");
        readLine(current, keyword, rest);
      }
    } catch (const std::runtime_error& problem) {
      throw std::runtime_error(where + ": " + problem.what());
    }
  }
  if (open) throw std::runtime_error(path + ": the last case has no end");
  return cases;
}

static std::vector<uint64_t> asIndices(const std::vector<double>& values) {
  std::vector<uint64_t> indices;
  for (double value : values) indices.push_back((uint64_t)value);
  return indices;
}

static std::vector<unsigned char> asBytes(const std::vector<double>& values) {
  std::vector<unsigned char> bytes;
  for (double value : values) bytes.push_back((unsigned char)value);
  return bytes;
}

// An n-by-n sparse diagonal holding `value` in every diagonal position.
static mxArray* buildIdentity(size_t n, double value) {
  std::vector<uint64_t> jc(n + 1), ir(n);
  for (size_t k = 0; k <= n; ++k) jc[k] = k;
  for (size_t k = 0; k < n; ++k) ir[k] = k;
  return testhostSparse(n, n, jc, ir, std::vector<double>(n, value));
}

// The most numbers a `random` input draws and the most entries and columns it stores, so that no
// case file can make a runner exhaust the machine.
static const uint64_t kMostDraws = UINT64_C(1) << 32;
static const uint64_t kMostRandomEntries = UINT64_C(1) << 24;

// The Park-Miller generator of `random` inputs: x <- 16807 x mod 2147483647, each number x / 2147483647.
// 16807 x stays below 2^46, so every step is exact in doubles too, as tests/octave/read_cases.m takes it.
struct ParkMiller {
  uint64_t x;
  double next() {
    x = x * 16807 % 2147483647;
    return (double)x / 2147483647.0;
  }
};

// What a `random` input names: "random <m> <n> <density> <seed> [symmetric] [logical]".
struct RandomMatrix {
  size_t m = 0, n = 0;
  double density = 0;
  uint64_t seed = 0;
  bool symmetric = false, logical = false;
};

static RandomMatrix readRandom(const CaseInput& input) {
  RandomMatrix random;
  random.m = wordAsSize(input, 0);
  random.n = wordAsSize(input, 1);
  if (input.words.size() < 4) throw std::runtime_error("random needs <m> <n> <density> <seed>");
  random.density = parseNumber(input.words[2]);
  const double seed = parseNumber(input.words[3]);
  if (!(seed >= 1 && seed <= 2147483646 && seed == (double)(uint64_t)seed))
    throw std::runtime_error("a random seed is a whole number from 1 to 2147483646");
  random.seed = (uint64_t)seed;
  for (size_t k = 4; k < input.words.size(); ++k) {
    if (input.words[k] != "symmetric" && input.words[k] != "logical")
      throw std::runtime_error("random takes symmetric and logical, not " + input.words[k]);
    random.symmetric = random.symmetric || input.words[k] == "symmetric";
    random.logical = random.logical || input.words[k] == "logical";
  }
  if (random.symmetric && random.m != random.n) throw std::runtime_error("a symmetric random matrix is square");
  const double draws = random.symmetric ? (double)random.n * ((double)random.n - 1) / 2 : (double)random.m * random.n;
  if (draws > (double)kMostDraws) throw std::runtime_error("a random input draws at most 2^32 numbers");
  if (random.n > kMostRandomEntries) throw std::runtime_error("a random input has at most 2^24 columns");
  return random;
}

// The rows each column of a `random` input stores, in ascending order: entry (i, j) in column-major
// order where the next number is below the density; when symmetric, only i < j draw, each stored
// at (i, j) and (j, i).
static std::vector<std::vector<uint64_t>> randomRows(const RandomMatrix& random) {
  std::vector<std::vector<uint64_t>> rows(random.n);
  ParkMiller generator{random.seed};
  uint64_t stored = 0;
  for (size_t j = 0; j < random.n; ++j) {
    const size_t drawn = random.symmetric ? j : random.m;
    for (size_t i = 0; i < drawn; ++i) {
      if (!(generator.next() < random.density)) continue;
      rows[j].push_back(i);
      if (random.symmetric) rows[i].push_back(j);
      stored += random.symmetric ? 2 : 1;
      if (stored > kMostRandomEntries) throw std::runtime_error("a random input stores at most 2^24 entries");
    }
  }
  return rows;
}

// The m-by-n sparse double (or logical) matrix of ones a `random` input names.
static mxArray* buildRandom(const CaseInput& input) {
  const RandomMatrix random = readRandom(input);
  std::vector<uint64_t> jc{0}, ir;
  for (const std::vector<uint64_t>& column : randomRows(random)) {
    ir.insert(ir.end(), column.begin(), column.end());
    jc.push_back(ir.size());
  }
  if (random.logical) return testhostSparseLogical(random.m, random.n, jc, ir, std::vector<unsigned char>(ir.size(), 1));
  return testhostSparse(random.m, random.n, jc, ir, std::vector<double>(ir.size(), 1.0));
}

static mxClassID classNamed(const std::string& name) {
  if (name == "cell") return mxCELL_CLASS;
  if (name == "struct") return mxSTRUCT_CLASS;
  if (name == "logical") return mxLOGICAL_CLASS;
  if (name == "char") return mxCHAR_CLASS;
  if (name == "double") return mxDOUBLE_CLASS;
  if (name == "single") return mxSINGLE_CLASS;
  if (name == "int32") return mxINT32_CLASS;
  throw std::runtime_error("unknown class " + name);
}

// A host array of the named class: "class <name> <m> <n> [sparse] [complex] [pages <p>]".
static mxArray* buildOfClass(const CaseInput& input) {
  bool sparse = false, complex = false;
  size_t pages = 1;
  for (size_t k = 3; k < input.words.size(); ++k) {
    sparse = sparse || input.words[k] == "sparse";
    complex = complex || input.words[k] == "complex";
    if (input.words[k] == "pages") pages = wordAsSize(input, k + 1);
  }
  if (input.words.empty()) throw std::runtime_error("class needs a name");
  return testhostOfClass(classNamed(input.words[0]), wordAsSize(input, 1), wordAsSize(input, 2), sparse, complex,
                         pages);
}

mxArray* buildInput(const CaseInput& input) {
  const auto part = [&input](size_t k) -> const std::vector<double>& {
    if (k >= input.parts.size()) throw std::runtime_error("input " + input.kind + " needs more parts");
    return input.parts[k];
  };
  if (input.kind == "sparse")
    return testhostSparse(wordAsSize(input, 0), wordAsSize(input, 1), asIndices(part(0)), asIndices(part(1)), part(2));
  if (input.kind == "full") return testhostFull(wordAsSize(input, 0), wordAsSize(input, 1), part(0));
  if (input.kind == "scalar") return testhostFull(1, 1, {parseNumber(input.words.at(0))});
  if (input.kind == "logical") return testhostLogical(wordAsSize(input, 0), wordAsSize(input, 1), asBytes(part(0)));
  if (input.kind == "sparselogical")
    return testhostSparseLogical(wordAsSize(input, 0), wordAsSize(input, 1), asIndices(part(0)), asIndices(part(1)),
                                 asBytes(part(2)));
  if (input.kind == "identity") return buildIdentity(wordAsSize(input, 0), parseNumber(input.words.at(1)));
  if (input.kind == "column") {
    const size_t first = wordAsSize(input, 0), last = wordAsSize(input, 1);
    std::vector<double> values;
    for (size_t k = first; k <= last; ++k) values.push_back((double)k);
    return testhostFull(values.size(), 1, values);
  }
  if (input.kind == "class") return buildOfClass(input);
  if (input.kind == "random") return buildRandom(input);
  if (input.kind == "text") return testhostText(input.words.empty() ? "" : input.words[0]);
  throw std::runtime_error("unknown input kind " + input.kind);
}
