#include "platform/com_object.h"
#include "platform/com_init.h"

#include <gtest/gtest.h>

#include <map>
#include <type_traits>

namespace trenmoor {
namespace {

// A small object with named members, enough to see what ComObject does with them.
class Bag : public Dispatch {
 public:
  static int alive;
  Bag() { ++alive; }
  ~Bag() override { --alive; }
  std::map<std::u16string, Variant> members;

  Variant* find(std::u16string_view name) {
    for (auto& [key, value] : members)
      if (memberNameEquals(key, name)) return &value;
    return nullptr;
  }
  bool getMember(std::u16string_view name, Variant& result) override {
    if (auto* v = find(name)) return result = *v, true;
    return false;
  }
  bool putMember(std::u16string_view name, const Variant& value) override {
    if (auto* v = find(name)) return *v = value, true;
    return false;
  }
  bool invoke(std::u16string_view name, std::span<const Variant> args, Variant& result) override {
    if (!memberNameEquals(name, "echo") || args.empty()) return false;
    result = args[0];
    return true;
  }
};
int Bag::alive = 0;

// Narrow text must say what it is: left to convert on its own it would become a logical.
static_assert(!std::is_constructible_v<Variant, const char*>);
static_assert(!std::is_convertible_v<const char (&)[2], Variant>);
static_assert(std::is_constructible_v<Variant, const char16_t*>);

TEST(ComObject, ReadsWritesAndCallsByNameWithoutRegardToCase) {
  auto* bag = new Bag;
  bag->members[u"value"] = Variant(ansiToWide(utf8ToAnsi("值")));
  bag->members[u"checked"] = Variant(true);
  bag->members[u"width"] = Variant(12.75);
  ComObject object{DispatchRef(bag)};
  EXPECT_EQ(object.getText("VALUE"), utf8ToAnsi("值"));
  EXPECT_EQ(object.getText("Checked"), "-1");
  EXPECT_EQ(object.getText("width"), "12.75");
  EXPECT_EQ(object.getInteger("width"), 12);
  EXPECT_TRUE(object.putText("value", "x"));
  EXPECT_FALSE(object.putText("missing", "x"));
  EXPECT_EQ(object.getText("missing"), "");
  EXPECT_EQ(ComObject::variantText(object.callValue("ECHO", {ComObject::textArgument("hi")})), "hi");
}

TEST(ComObject, EmptyObjectNeverFails) {
  ComObject none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.getText("x"), "");
  EXPECT_EQ(none.getNumber("x"), 0);
  EXPECT_TRUE(none.getObject("x").empty());
  EXPECT_FALSE(none.putText("x", "y"));
  EXPECT_FALSE(none.callLogical("x"));
}

TEST(ComObject, CopiesCountReferences) {
  {
    ComObject a{DispatchRef(new Bag)};
    ComObject b = a;
    a.clear();
    EXPECT_EQ(Bag::alive, 1);
    EXPECT_TRUE(b.sameObject(ComObject(b.ref())));
  }
  EXPECT_EQ(Bag::alive, 0);
}

TEST(ComInit, CountsPerThread) {
  int before = win::comInitializationCount();
  EXPECT_EQ(win::CoInitialize(nullptr), before == 0 ? win::S_OK : win::S_FALSE);
  EXPECT_EQ(win::CoInitialize(nullptr), win::S_FALSE);
  win::CoUninitialize();
  win::CoUninitialize();
  EXPECT_EQ(win::comInitializationCount(), before);
}

}  // namespace
}  // namespace trenmoor
