// A library whose name ends in "dll" without a dot, so that two spellings of its name ("hookdll"
// and "hookdll.dll") stay different in the hook table while naming the same library.
extern "C" int hookDllValue() { return 5; }
