// Workspace from the host's allocator, every answer checked. A host may answer NULL when it cannot
// give the memory asked for (Octave's mxRealloc does; MATLAB and Octave's mxMalloc end the call
// themselves): a call then ends in MATLAB:<word>:nomem, and the host frees what it gave before.
#pragma once

#include <stdint.h>

// Raises MATLAB:<word>:nomem when `block`, a host's answer to a request for memory, is null.
void refuseNoMemory(const void* block, const char* word);

// Room for `count` elements of `size` bytes, zeroed when `zeroed`; a call whose size does not fit
// the machine's addresses ends in MATLAB:<word>:nomem, as one the host cannot give.
void* takeWorkspace(const char* word, uint64_t count, uint64_t size, bool zeroed);

// `block` (from takeWorkspace, or null) grown or shrunk to `count` elements of `size` bytes, its
// contents kept; the call ends in MATLAB:<word>:nomem when the host cannot give the room.
void* resizeWorkspace(const char* word, void* block, uint64_t count, uint64_t size);

// Typed forms of the two above.
template <typename Element>
Element* workspaceOf(const char* word, uint64_t count) {
  return (Element*)takeWorkspace(word, count, sizeof(Element), false);
}
template <typename Element>
Element* zeroedWorkspaceOf(const char* word, uint64_t count) {
  return (Element*)takeWorkspace(word, count, sizeof(Element), true);
}
template <typename Element>
Element* resizedWorkspace(const char* word, Element* block, uint64_t count) {
  return (Element*)resizeWorkspace(word, block, count, sizeof(Element));
}
