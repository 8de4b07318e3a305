#include "frame/workspace.h"

#include "frame/errors.h"
#include "frame/host.h"

static const char kNoMemory[] =
    "Out of memory: the host could not give the memory this call needs; free memory, raise the threshold or "
    "compare fewer nodes.";

// Raises MATLAB:<word>:nomem when the host answered a request for memory with null.
void refuseNoMemory(const void* block, const char* word) { failIf(!block, word, "nomem", kNoMemory); }

// The bytes of `count` elements of `size` bytes, at least 1; a count no size_t holds ends the call.
static size_t bytesOf(const char* word, uint64_t count, uint64_t size) {
  failIf(size != 0 && count > (uint64_t)(size_t)-1 / size, word, "nomem", kNoMemory);
  return count * size > 0 ? (size_t)(count * size) : 1;
}

void* takeWorkspace(const char* word, uint64_t count, uint64_t size, bool zeroed) {
  const size_t bytes = bytesOf(word, count, size);
  void* block = zeroed ? mxCalloc(bytes, 1) : mxMalloc(bytes);
  refuseNoMemory(block, word);
  return block;
}

void* resizeWorkspace(const char* word, void* block, uint64_t count, uint64_t size) {
  void* resized = mxRealloc(block, bytesOf(word, count, size));
  refuseNoMemory(resized, word);
  return resized;
}
