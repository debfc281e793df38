// A small library for the memory stand-in's tests, built twice: as memoryprobe, which the tests
// load, and as memoryidle, which only the test of not-yet-loaded libraries names.
extern "C" int memoryProbeValue() { return 42; }
