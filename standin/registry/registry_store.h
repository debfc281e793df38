// Control of the process's registry, for the program's start-up, its tests and its demo: which
// hive the registry calls of platform/registry_calls.h work on, and whether the machine-wide
// roots may be written.
//
// Until one of the open functions is called, the first registry call opens the hive at
// defaultRegistryStorePath().
#pragma once

#include <string>

namespace trenmoor::standin {

// Where the user's hive lives: $TRENMOOR_REGISTRY when set and not empty; otherwise
// $XDG_DATA_HOME/trenmoor/registry.sqlite when XDG_DATA_HOME is an absolute path; otherwise
// $HOME/.local/share/trenmoor/registry.sqlite; empty when HOME is not set either (the registry
// then lives in memory for the life of the process).
std::string defaultRegistryStorePath();

// Where the volatile keys of the hive at `hivePath` live: a file named after that path in
// $XDG_RUNTIME_DIR/trenmoor/, a folder the system empties at boot. Empty when XDG_RUNTIME_DIR
// is not an absolute path or `hivePath` is empty: the volatile keys then live in memory and
// last as long as the process.
std::string defaultVolatileStorePath(const std::string& hivePath);

// Makes the hive in the file at `path` (created with its folders when missing) the process's
// registry, with its volatile keys in the file at `volatilePath` (opened when first needed;
// empty: in memory). Every handle opened before becomes invalid. False when the file cannot be
// opened as a hive (registryStoreProblem() says why); the registry in use is then kept.
bool openRegistryStore(const std::string& path, const std::string& volatilePath);
// As above, with the volatile keys at defaultVolatileStorePath(path).
bool openRegistryStore(const std::string& path);

// Why the last hive asked for (or the user's hive, on first use) did not open, as a sentence
// naming the file; empty when it did. The user's hive that does not open is also said once on
// the standard error stream, and every registry call then fails with ERROR_REGISTRY_IO_FAILED
// (ERROR_BADDB when the file is damaged).
std::string registryStoreProblem();

// Makes a fresh, empty hive in memory the process's registry, volatile keys in memory too;
// handles as above.
bool openMemoryRegistryStore();

// Whether HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS and HKEY_CURRENT_CONFIG may be
// written, as for a user with administrator rights. Refused by default; handles already open
// keep the access they were given.
enum class MachineWideWrites { Refused, Allowed };
void setMachineWideWrites(MachineWideWrites writes);

}  // namespace trenmoor::standin
