// Observability of the host's standard actions: every call that reaches one is
// recorded with its arguments, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ZT_Renderer_Data;
class ZT_Rendition_Data;

struct ZD_Fallback_Call {
  std::string function;  // the host function's name, e.g. "ZD_Standard_Draw_DCI_Polyline"
  ZT_Renderer_Data* renderer = nullptr;
  const void* rendition = nullptr;  // the rendition data the call carried
  std::vector<uint64_t> arguments;  // the remaining arguments, each widened to 64 bits
};

// The log of fallback calls.  Tests and tools read and clear it.
class ZD_Fallback_Log {
public:
  static std::vector<ZD_Fallback_Call>& calls();
  static void clear() { calls().clear(); }
  // Called for every fallback call (after recording) when set: lets a tool trace calls.
  static std::function<void(const ZD_Fallback_Call&)>& observer();
};

// What the standard actions do beyond recording: with drawing on (the default)
// they break the primitive into simpler actions of the same renderer where the
// host knows how; with it off they only record.
void ZD_Set_Standard_Actions_Draw(bool draw);
bool ZD_Standard_Actions_Draw();
