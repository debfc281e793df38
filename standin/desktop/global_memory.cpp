// The seam's global memory blocks and the streams over them: a process-wide table of blocks.
#include "platform/global_memory.h"

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace trenmoor::win {
namespace {

struct Block {
  std::vector<std::uint8_t> bytes;
  int locks = 0;
};

struct Blocks {
  std::mutex mutex;
  std::map<std::uintptr_t, Block> live;
  std::uintptr_t next = 0x80000;
};

Blocks& blocks() {
  static Blocks table;
  return table;
}

std::uintptr_t key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// Runs `use` on the live block of that handle under the table's lock; `otherwise` when none.
template <typename Use, typename Result>
Result withBlock(HGLOBAL handle, Result otherwise, Use&& use) {
  Blocks& t = blocks();
  std::lock_guard lock(t.mutex);
  auto it = t.live.find(key(handle));
  return it == t.live.end() ? otherwise : use(it->second);
}

class GlobalStream final : public IStream {
 public:
  GlobalStream(HGLOBAL block, bool deleteOnRelease) : block_(block), deleteOnRelease_(deleteOnRelease) {}

  HRESULT Read(void* out, ULONG count, ULONG* read) override {
    const ULONG copied = withBlock(block_, ULONG{0}, [&](Block& b) {
      const std::size_t left = position_ < b.bytes.size() ? b.bytes.size() - position_ : 0;
      const ULONG n = static_cast<ULONG>(std::min<std::size_t>(count, left));
      if (n && out) std::memcpy(out, b.bytes.data() + position_, n);
      return out ? n : ULONG{0};
    });
    position_ += copied;
    if (read) *read = copied;
    return copied == count ? S_OK : S_FALSE;
  }

  HRESULT Write(const void* data, ULONG count, ULONG* written) override {
    if (written) *written = 0;
    if (count == 0) return S_OK;
    if (!data) return STG_E_INVALIDPOINTER;
    const bool done = withBlock(block_, false, [&](Block& b) {
      const std::size_t end = position_ + count;
      if (end > b.bytes.size()) {
        if (b.locks > 0) return false;  // a locked block cannot move
        b.bytes.resize(end);
      }
      std::memcpy(b.bytes.data() + position_, data, count);
      return true;
    });
    if (!done) return E_OUTOFMEMORY;
    position_ += count;
    if (written) *written = count;
    return S_OK;
  }

  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      if (deleteOnRelease_) GlobalFree(block_);
      delete this;
    }
    return left;
  }

  HGLOBAL block() const { return block_; }

 private:
  HGLOBAL block_;
  bool deleteOnRelease_;
  std::size_t position_ = 0;
  ULONG references_ = 1;
};

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if ((flags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) != 0 || !(flags & GMEM_MOVEABLE)) return nullptr;
  Block block;
  try {
    block.bytes.resize(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
  Blocks& t = blocks();
  std::lock_guard lock(t.mutex);
  const std::uintptr_t number = t.next;
  t.next += 0x10;
  t.live.emplace(number, std::move(block));
  return reinterpret_cast<HGLOBAL>(number);
}

void* GlobalLock(HGLOBAL block) {
  return withBlock(block, static_cast<void*>(nullptr), [](Block& b) -> void* {
    if (b.bytes.empty()) return nullptr;
    ++b.locks;
    return b.bytes.data();
  });
}

BOOL GlobalUnlock(HGLOBAL block) {
  return withBlock(block, BOOL{0}, [](Block& b) -> BOOL {
    if (b.locks > 0) --b.locks;
    return b.locks > 0 ? 1 : 0;
  });
}

SIZE_T GlobalSize(HGLOBAL block) {
  return withBlock(block, SIZE_T{0}, [](Block& b) { return b.bytes.size(); });
}

HGLOBAL GlobalFree(HGLOBAL block) {
  Blocks& t = blocks();
  std::lock_guard lock(t.mutex);
  return t.live.erase(key(block)) != 0 ? nullptr : block;
}

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream) {
  if (!stream) return E_INVALIDARG;
  if (!block) {
    block = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block) return E_OUTOFMEMORY;
  } else if (!withBlock(block, false, [](Block&) { return true; })) {
    return E_INVALIDARG;
  }
  *stream = new GlobalStream(block, deleteOnRelease != 0);
  return S_OK;
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block) {
  auto* global = dynamic_cast<GlobalStream*>(stream);
  if (!global || !block) return E_INVALIDARG;
  *block = global->block();
  return S_OK;
}

}  // namespace trenmoor::win
