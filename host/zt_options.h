// Named options: values shared copy-on-write, options and option tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/zt_object.h"

class ZT_String {
public:
  ZT_String() = default;
  ZT_String(const char* s) : text_(s) {}  // NOLINT: implicit by design
  explicit ZT_String(std::string s) : text_(std::move(s)) {}
  const std::string& str() const noexcept { return text_; }
  const char* c_str() const noexcept { return text_.c_str(); }
  friend bool operator==(const ZT_String&, const ZT_String&) = default;

private:
  std::string text_;
};

namespace ZT_Option_Enum {
enum Scope : int32_t { Scope_Renderer = 0, Scope_Shared = 1 };
}

// An option's value: a bool, an int, three ints or a pointer.  A pointer value
// may hold a counted object, which it then keeps alive.  Values are counted so
// that options can share them; whoever changes one makes it private first.
class ZT_Option_Value : public ZT_Counted {
public:
  enum class Kind : int32_t { Bool, Int, Int3, Pointer };

  explicit ZT_Option_Value(bool v);
  explicit ZT_Option_Value(int32_t v);
  ZT_Option_Value(int32_t a, int32_t b, int32_t c);
  // A plain address (for example a function of the renderer).
  explicit ZT_Option_Value(void* p);
  // A counted object, retained while the value holds it.
  explicit ZT_Option_Value(ZT_Counted* object);
  ZT_Option_Value(const ZT_Option_Value& o);
  ~ZT_Option_Value() override;

  ZT_Counted* clone() const override { return new ZT_Option_Value(*this); }

  Kind kind() const noexcept { return kind_; }
  bool as_bool() const noexcept { return ints_[0] != 0; }
  int32_t as_int() const noexcept { return ints_[0]; }
  const int32_t* as_int3() const noexcept { return ints_; }
  void* as_pointer() const noexcept { return pointer_; }
  bool holds_counted() const noexcept { return counted_; }

  void set_pointer(void* p);  // a plain address; drops a counted object held before

private:
  Kind kind_;
  int32_t ints_[3] = {0, 0, 0};
  void* pointer_ = nullptr;
  bool counted_ = false;
};

class ZT_Option {
public:
  ZT_Option(const ZT_String& name, ZT_Option_Enum::Scope scope, ZT_Option_Value* value);
  const ZT_String& name() const noexcept { return name_; }
  ZT_Option_Enum::Scope scope() const noexcept { return scope_; }
  ZT_Option_Value* value() const noexcept { return value_.get(); }
  ZT_Counted_Ptr<ZT_Option_Value>& value_ref() noexcept { return value_; }
  // Replaces the value by a copy of v (a fresh object with a fresh stamp).
  void set(const ZT_Option_Value& v);
  // The stamp of the value the last set gave, 0 when never set.
  uint32_t set_stamp() const noexcept { return set_stamp_; }
  // Shares another option's value object.
  void share(ZT_Option_Value* v) { value_ = v; }

private:
  ZT_String name_;
  ZT_Option_Enum::Scope scope_;
  ZT_Counted_Ptr<ZT_Option_Value> value_;
  uint32_t set_stamp_ = 0;
};

// A table of options by name.  Handles returned by add and find stay valid for
// the table's life.
class ZT_Option_Table {
public:
  ZT_Option_Table() = default;
  // A copy holds options of its own that share the original's values.
  ZT_Option_Table(const ZT_Option_Table& o);
  ZT_Option_Table& operator=(const ZT_Option_Table& o);
  // Adds a copy of the option (sharing its value) and returns the table's handle.
  // An option of the same name already in the table is returned instead.
  ZT_Option* add(const ZT_Option& option);
  ZT_Option* find(const ZT_String& name) const;
  std::size_t size() const noexcept { return options_.size(); }
  ZT_Option* at(std::size_t i) const { return options_[i].get(); }

private:
  std::vector<std::unique_ptr<ZT_Option>> options_;
};
