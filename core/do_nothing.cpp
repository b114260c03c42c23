#include "core/action_installation.h"

void (*do_nothing_function(ZT_Slot s))() {
  static void (*const table[])() = {
#define NOTHING_ENTRY(name, fn, standard) nothing_action<ZT_Slot::name>().function,
      ZT_ACTION_SLOTS(NOTHING_ENTRY)
#undef NOTHING_ENTRY
  };
  return table[int32_t(s)];
}
