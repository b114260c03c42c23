// One call of any action that draws a list of points (strips, polylines,
// polymarkers, polygons), whatever form of points and colours its slot takes.
#pragma once

#include <initializer_list>
#include <vector>

#include "tests/support/test_host.h"

// The points (and colours) of one call of any slot that draws a list of
// points: the slot takes them as integers or as floats, as its signature asks.
// The floats are the integers moved by less than rounding takes back.
struct Point_List {
  Point_List(std::vector<ZT_DCI_Point> points, std::vector<ZT_RGB32> colours = {},
             bool single = false);
  std::vector<ZT_DCI_Point> integer;
  std::vector<ZT_Point> floats;
  std::vector<ZT_RGB32> colours;  // empty: no colour array
  bool single;
  int32_t count;  // the count passed, the number of points unless changed
};

// Calls slot s (a strip, polyline, polymarker or polygon slot) with p.
void draw_points(Test_Host& host, ZT_Slot s, const Point_List& p);

// The slots whose names hold every one of the parts, the pre-clipped and
// textured ones aside: slots_with({"poly"}) are all that draw_points calls.
std::vector<ZT_Slot> slots_with(std::initializer_list<const char*> parts);
bool slot_named(ZT_Slot s, const char* part);
