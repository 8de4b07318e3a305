#include "frame/options.h"

#include "frame/errors.h"
#include "frame/gateway.h"
#include "frame/node_list.h"
#include "frame/text.h"
#include "frame/workspace.h"

bool readText(const mxArray* array, char* text, size_t size) {
  text[0] = '\0';
  const bool row = mxGetM(array) <= 1 && !hasPages(array);
  if (mxGetClassID(array) != mxCHAR_CLASS || !row || mxGetNumberOfElements(array) >= size) return false;
  if (mxGetString_730(array, text, size) == 0) return true;
  text[0] = '\0';
  return false;
}

// Raises MATLAB:<word>:<reason> with the message made of `parts` when `failed` holds.
static void failWith(bool failed, const char* word, const char* reason, const char* const* parts, int count) {
  if (!failed) return;
  char message[512];
  joinTexts(message, sizeof message, parts, count);
  failIf(true, word, reason, message);
}

// Whether an array is one real number: numeric or logical, full or sparse, one element. Text is
// no number, however many characters it holds.
static bool isOneNumber(const mxArray* array) {
  const mxClassID kind = mxGetClassID(array);
  const bool numeric = kind == mxLOGICAL_CLASS || (kind >= mxDOUBLE_CLASS && kind <= mxUINT64_CLASS);
  return numeric && !mxIsComplex(array) && mxGetNumberOfElements(array) == 1 && !hasPages(array);
}

// The value of one real number, full or sparse (a sparse one that stores nothing is 0).
static double oneNumber(const mxArray* array) {
  if (!mxIsSparse(array)) return mxGetScalar(array);
  const MatrixView sparse = readMatrix(array);
  if (storedEntries(sparse) == 0) return 0.0;
  return sparse.pr ? sparse.pr[0] : sparse.logicals[0] != 0;
}

// Reads the value of option `spec` from `array`, refusing one that is not of its kind.
static OptionValue readValue(const char* word, const OptionSpec& spec, const mxArray* array) {
  OptionValue value = {true, 0.0, false, 0, 0, {}};
  const char* name = spec.name;
  switch (spec.kind) {
    case kNumberOption: {
      const char* parts[] = {"Option ", name, " must be one real number; pass a scalar such as 0.5."};
      failWith(!isOneNumber(array), word, "notnumber", parts, 3);
      value.number = oneNumber(array);
      break;
    }
    case kCountOption: {
      const double number = isOneNumber(array) ? oneNumber(array) : 0.0;
      const char* parts[] = {"Option ", name, " must be a whole number from 1 to 2147483647, such as 10."};
      failWith(!(number >= 1.0 && number <= 2147483647.0 && number == (double)(int64_t)number), word, "badcount",
               parts, 3);
      value.number = number;
      break;
    }
    case kFlagOption: {
      const double number = isOneNumber(array) ? oneNumber(array) : -1.0;
      const char* parts[] = {"Option ", name, " must be true or false (1 or 0)."};
      failWith(number != 0.0 && number != 1.0, word, "notflag", parts, 3);
      value.flag = number == 1.0;
      break;
    }
    case kListOption: {
      const bool vector = (mxGetM(array) <= 1 || mxGetN(array) <= 1) && !hasPages(array);
      const char* parts[] = {"Option ", name, " must be a real full double vector of node numbers; pass double(list(:))."};
      failWith(!isRealFullDouble(array) || !vector, word, "notlist", parts, 3);
      value.count = mxGetNumberOfElements(array);
      value.list = value.count > 0 ? mxGetPr(array) : 0;
      break;
    }
    case kTextOption: {
      const char* parts[] = {"Option ", name, " must be text, a word such as 'outgoing'."};
      failWith(!readText(array, value.text, sizeof value.text), word, "nottext", parts, 3);
      break;
    }
    case kPairsOption: {
      const bool empty = mxGetNumberOfElements(array) == 0;
      const bool pairs = (mxGetN(array) == 2 || empty) && !hasPages(array);
      const char* parts[] = {"Option ", name,
                             " must be a real full double m-by-2 matrix of node numbers, a pair to a row; pass "
                             "double([from(:), to(:)])."};
      failWith(!isRealFullDouble(array) || !pairs, word, "notpairs", parts, 3);
      value.count = empty ? 0 : mxGetM(array);
      value.list = empty ? 0 : mxGetPr(array);
      break;
    }
  }
  return value;
}

// The names of the options, for a message: "Threshold, TopK, Self".
static void listNames(const OptionSpec* specs, int specCount, char* names, size_t size) {
  const char* parts[32];
  int count = 0;
  for (int k = 0; k < specCount && count + 2 <= 32; ++k) {
    if (k > 0) parts[count++] = ", ";
    parts[count++] = specs[k].name;
  }
  joinTexts(names, size, parts, count);
}

void readOptions(const char* word, const OptionSpec* specs, int specCount, int nrhs, const mxArray* const prhs[],
                 int first, OptionValue* values) {
  for (int k = 0; k < specCount; ++k) values[k] = OptionValue{false, 0.0, false, 0, 0, {}};
  char names[256];
  listNames(specs, specCount, names, sizeof names);
  for (int at = first; at < nrhs; at += 2) {
    char name[64];
    const bool text = readText(prhs[at], name, sizeof name);
    const char* unnamed[] = {"Option names must be text, such as 'Threshold'; the options are ", names, "."};
    failWith(!text, word, "badname", unnamed, 3);
    int spec = 0;
    while (spec < specCount && !sameName(specs[spec].name, name)) ++spec;
    const char* unknown[] = {"There is no option '", name, "'; the options are ", names, "."};
    failWith(spec == specCount, word, "badoption", unknown, 5);
    const char* alone[] = {"Option ", specs[spec].name, " needs a value after it."};
    failWith(at + 1 >= nrhs, word, "novalue", alone, 3);
    values[spec] = readValue(word, specs[spec], prhs[at + 1]);
  }
}

// The nodes a list option names, 0-based, in workspace; refuses numbers outside 1 to numNodes
// (`reason`, `rangeMessage`) and numbers that do not ascend (notascending, `orderMessage`).
static int32_t* readNodeOption(const char* word, const OptionValue& nodes, uint64_t numNodes, const char* reason,
                               const char* rangeMessage, const char* orderMessage) {
  const NodeList list = {nodes.list, nodes.count};
  failIf(!nodesInRange(list, numNodes), word, reason, rangeMessage);
  failIf(!nodesAscend(list), word, "notascending", orderMessage);
  int32_t* chosen = workspaceOf<int32_t>(word, list.count + 1);
  for (uint64_t c = 0; c < list.count; ++c) chosen[c] = (int32_t)list.numbers[c] - 1;
  return chosen;
}

int32_t* readColumnOption(const char* word, const OptionValue& columns, uint64_t numNodes, const char* rangeMessage) {
  return readNodeOption(word, columns, numNodes, "badcolumn", rangeMessage,
                        "Option Columns must ascend strictly after truncation; pass unique(fix(columns)).");
}

int32_t* readRowOption(const char* word, const OptionValue& rows, uint64_t numNodes, const char* rangeMessage) {
  return readNodeOption(word, rows, numNodes, "badrow", rangeMessage,
                        "Option Rows must ascend strictly after truncation; pass unique(fix(rows)).");
}
