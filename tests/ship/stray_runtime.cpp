// A helper that allocates through the C++ runtime: a plug-in built with it needs that runtime's
// library unless the runtime is linked in.
int* strayAllocation() { return new int(0); }
