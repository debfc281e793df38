// Global memory blocks and byte streams over them, the calls the system makes to hand bytes to
// picture coding. Implemented by the desktop stand-in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/class_id.h"
#include "platform/com_init.h"
#include "platform/window_calls.h"

namespace trenmoor::win {

using HGLOBAL = void*;
using SIZE_T = std::size_t;
using ULONG = std::uint32_t;

constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000EL);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009L);

// A moveable block of `bytes` bytes (zeroed). Only GMEM_MOVEABLE (with or without
// GMEM_ZEROINIT) is accepted: 0 for other flags or when the memory cannot be had.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);

// The block's address, counting one more lock. Null for a bad handle or a block of 0 bytes
// (nothing to address).
void* GlobalLock(HGLOBAL block);

// Counts one lock less: nonzero while locks remain; 0 when none remain or for a bad handle.
BOOL GlobalUnlock(HGLOBAL block);

// The block's size in bytes; 0 for a bad handle.
SIZE_T GlobalSize(HGLOBAL block);

// Frees the block: 0 (success); the handle itself back for a bad handle.
HGLOBAL GlobalFree(HGLOBAL block);

// A byte stream with a position, reference-counted.
class IStream {
 public:
  // Copies up to `count` bytes from the position on and moves past them; *read (when given)
  // takes the number copied. S_OK, S_FALSE when fewer than `count` were left.
  virtual HRESULT Read(void* out, ULONG count, ULONG* read) = 0;
  // Writes `count` bytes at the position, growing the stream as needed; *written (when given)
  // takes the number written. S_OK; E_OUTOFMEMORY when it cannot grow (nothing written).
  virtual HRESULT Write(const void* data, ULONG count, ULONG* written) = 0;
  // Drops one reference; the last frees the stream (and its block when it was made so).
  // Returns the references left.
  virtual ULONG Release() = 0;

 protected:
  virtual ~IStream() = default;
};

// A stream over `block` (null: a new block of 0 bytes), positioned at its start, with one
// reference, in *stream: S_OK. With `deleteOnRelease` the block is freed with the stream.
// E_INVALIDARG for a null `stream` or a bad block handle (*stream untouched).
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream);

// The block under a stream made by CreateStreamOnHGlobal, in *block: S_OK. E_INVALIDARG for a
// null argument or another stream (*block untouched).
HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block);

}  // namespace trenmoor::win
