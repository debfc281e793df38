#include "platform/object_results.h"

#include <map>
#include <mutex>

namespace trenmoor::win {
namespace {

struct Handed {
  GUID iid;
  DispatchRef object;
};

// Results waiting to be redeemed, by number. Numbers are never reused.
std::map<LRESULT, Handed>& handedObjects() {
  static std::map<LRESULT, Handed> objects;
  return objects;
}
LRESULT nextResult = 0x5100;

}  // namespace

LRESULT LresultFromObject(const GUID& iid, WPARAM, const DispatchRef& object) {
  if (!object) return 0;
  LRESULT result = nextResult++;
  handedObjects().emplace(result, Handed{iid, object});
  return result;
}

HRESULT ObjectFromLresult(LRESULT result, const GUID& iid, WPARAM, DispatchRef* object) {
  if (!object) return E_INVALIDARG;
  auto it = handedObjects().find(result);
  if (it == handedObjects().end()) return E_INVALIDARG;
  Handed handed = std::move(it->second);
  handedObjects().erase(it);
  if (!(handed.iid == iid)) return E_NOINTERFACE;
  *object = std::move(handed.object);
  return S_OK;
}

}  // namespace trenmoor::win
