// A desktop's clipboard: open to one caller at a time, holding bitmaps by format.
#pragma once

#include <cstdint>
#include <map>

namespace trenmoor::desktop {

class Clipboard {
 public:
  Clipboard() = default;
  ~Clipboard();  // frees what it holds
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

  bool open(std::uint32_t owner);  // false while already open
  bool close();                    // false when not open
  bool empty();                    // false when not open
  void* data(std::uint32_t format) const;  // null when not open or absent
  // Takes the bitmap under the format; false (the caller keeps it) when not open, the format is
  // not the bitmap format or the handle is not a bitmap.
  bool setData(std::uint32_t format, void* bitmap);

  bool isOpen() const { return open_; }
  std::uint32_t owner() const { return owner_; }
  // What it holds without opening it (a test's view).
  bool holds(std::uint32_t format) const { return data_.count(format) != 0; }

 private:
  void freeAll();

  bool open_ = false;
  std::uint32_t owner_ = 0;
  std::map<std::uint32_t, void*> data_;
};

}  // namespace trenmoor::desktop
