// Functions for the hook tests to redirect, in a library of their own that the tests load by
// its program name. Built without optimisation so that each keeps a full frame (well over the
// 8 bytes a hook replaces) and two of them never share code.
extern "C" {

int hookTargetAdd(int a, int b) { return a + b; }

int hookTargetTriple(int a) { return a * 3; }

}  // extern "C"
