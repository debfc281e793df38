// The driver's operations stand at fixed slots of its table, in the order that
// driver/operation_slots.txt lists. The declared operations are read back from the compiled
// table (the place a member pointer names, as the Itanium C++ ABI encodes it): they must follow
// one another in the table without a gap up to its end, and their slots in the list must rise in
// that order.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/page_driver.h"
#include "driver/page_driver_operations.h"

namespace trenmoor {
namespace {

// The entry of the driver's table that a pointer to a virtual member names; -1 for a member
// that is not virtual.
template <typename Member>
std::ptrdiff_t tableEntry(Member member) {
  static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t parts[2];
  std::memcpy(parts, &member, sizeof parts);
#if defined(__arm__) || defined(__aarch64__)
  if ((parts[1] & 1) == 0) return -1;
  return parts[0] / static_cast<std::ptrdiff_t>(sizeof(void*));
#else
  if ((parts[0] & 1) == 0) return -1;
  return (parts[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
#endif
}

// The destructor (slot 1) fills the table's first two entries, complete and deleting; copying
// (slot 2) is a constructor and has no entry. The first operation follows them.
constexpr std::ptrdiff_t kFirstOperationEntry = 2;

struct DeclaredOperation {
  std::string_view name;
  std::ptrdiff_t entry;
};

#define TRENMOOR_DECLARED_OPERATION(name) DeclaredOperation{#name, tableEntry(&PageDriver::name)},

// Every operation PageDriver declares, in declaration order, from the shared list.
const DeclaredOperation kDeclared[] = {TRENMOOR_PAGE_DRIVER_OPERATIONS(TRENMOOR_DECLARED_OPERATION)};

#undef TRENMOOR_DECLARED_OPERATION

// A class derived from the driver: its own first virtual member takes the entry after the
// driver's last one, so an operation declared after the last one listed shows as a gap.
struct TableEnd : PageDriver {
  virtual void afterLastOperation() {}
};

// The slot list: "<slot> <name>" lines in slot order, # starts a comment line.
std::map<std::string, int, std::less<>> readSlots() {
  std::map<std::string, int, std::less<>> slots;
  std::ifstream file(TRENMOOR_OPERATION_SLOTS);
  std::string line;
  int expected = 1;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int slot = 0;
    std::string name;
    fields >> slot >> name;
    EXPECT_EQ(slot, expected) << "the list skips or repeats a slot at: " << line;
    EXPECT_TRUE(slots.emplace(name, slot).second) << name << " is listed twice";
    expected = slot + 1;
  }
  return slots;
}

TEST(OperationSlots, DeclaredOperationsStandAtTheirSlotsInOrder) {
  const auto slots = readSlots();
  ASSERT_GT(slots.size(), std::size(kDeclared)) << "slot list not read from " << TRENMOOR_OPERATION_SLOTS;

  std::ptrdiff_t previousEntry = kFirstOperationEntry - 1;
  int previousSlot = 2;  // clean-up and copy come first
  std::string_view previousName = "copy";
  for (const DeclaredOperation& operation : kDeclared) {
    SCOPED_TRACE(std::string(operation.name));
    ASSERT_NE(operation.entry, -1) << "not a virtual operation";
    EXPECT_EQ(operation.entry, previousEntry + 1)
        << "the table holds another operation between " << previousName << " and this one, or they are "
        << "declared in another order than listed here";
    const auto slot = slots.find(operation.name);
    ASSERT_NE(slot, slots.end()) << "not in the slot list";
    EXPECT_GT(slot->second, previousSlot) << "declared after " << previousName << " (slot " << previousSlot
                                          << ") but its slot is " << slot->second;
    previousEntry = operation.entry;
    previousSlot = slot->second;
    previousName = operation.name;
  }
  EXPECT_EQ(tableEntry(&TableEnd::afterLastOperation), previousEntry + 1)
      << "the driver declares an operation after " << previousName << " that the list does not hold";
}

}  // namespace
}  // namespace trenmoor
