#include "host/zt_globals.h"
#include "host/zt_options.h"

ZT_Option_Value::ZT_Option_Value(bool v) : kind_(Kind::Bool) { ints_[0] = v ? 1 : 0; }
ZT_Option_Value::ZT_Option_Value(int32_t v) : kind_(Kind::Int) { ints_[0] = v; }
ZT_Option_Value::ZT_Option_Value(int32_t a, int32_t b, int32_t c) : kind_(Kind::Int3) {
  ints_[0] = a;
  ints_[1] = b;
  ints_[2] = c;
}
ZT_Option_Value::ZT_Option_Value(void* p) : kind_(Kind::Pointer), pointer_(p) {}
ZT_Option_Value::ZT_Option_Value(ZT_Counted* object)
    : kind_(Kind::Pointer), pointer_(object), counted_(object != nullptr) {
  if (object) object->retain();
}
ZT_Option_Value::ZT_Option_Value(const ZT_Option_Value& o)
    : ZT_Counted(o), kind_(o.kind_), pointer_(o.pointer_), counted_(o.counted_) {
  for (int i = 0; i < 3; ++i) ints_[i] = o.ints_[i];
  if (counted_) static_cast<ZT_Counted*>(pointer_)->retain();
}
ZT_Option_Value::~ZT_Option_Value() {
  if (counted_) static_cast<ZT_Counted*>(pointer_)->release();
}
void ZT_Option_Value::set_pointer(void* p) {
  if (counted_) static_cast<ZT_Counted*>(pointer_)->release();
  counted_ = false;
  kind_ = Kind::Pointer;
  pointer_ = p;
}

ZT_Option::ZT_Option(const ZT_String& name, ZT_Option_Enum::Scope scope, ZT_Option_Value* value)
    : name_(name), scope_(scope), value_(value) {}

void ZT_Option::set(const ZT_Option_Value& v) {
  value_ = new ZT_Option_Value(v);
  set_stamp_ = value_->change_stamp();
}

ZT_Option* ZT_Option_Table::add(const ZT_Option& option) {
  if (ZT_Option* existing = find(option.name())) return existing;
  options_.push_back(std::make_unique<ZT_Option>(option));
  return options_.back().get();
}

ZT_Option* ZT_Option_Table::find(const ZT_String& name) const {
  for (const auto& o : options_)
    if (o->name() == name) return o.get();
  return nullptr;
}

ZT_Option_Table::ZT_Option_Table(const ZT_Option_Table& o) { *this = o; }

ZT_Option_Table& ZT_Option_Table::operator=(const ZT_Option_Table& o) {
  if (this == &o) return *this;
  options_.clear();
  for (const auto& option : o.options_) options_.push_back(std::make_unique<ZT_Option>(*option));
  return *this;
}
