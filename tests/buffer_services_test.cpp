// Presentation and the buffer services: depth clears, depth and colour reads,
// depth writes and solid rectangles.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/test_host.h"

namespace {

struct Presented {
  ZT_DCI_Point ul, lr;
  int32_t x, y;
  const ZT_Shared_Image* image;
  int calls = 0;
};

int32_t record_presentation(void* context, const ZT_DCI_Point* ul, const ZT_DCI_Point* lr,
                            const ZT_Shared_Image* image, int32_t x, int32_t y) {
  auto* p = static_cast<Presented*>(context);
  *p = {*ul, *lr, x, y, image, p->calls + 1};
  return 0;
}

TEST(Update, PresentsTheRectangleWithTheWindowsDownwardY) {
  Test_Host host;
  Presented p;
  host.renderer->present = &record_presentation;
  host.renderer->present_context = &p;
  host.establish_config('F', 64, 100);
  host.renderer->update({0, 9, 0, 9});
  EXPECT_EQ(p.calls, 1);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 90);
  EXPECT_EQ(p.ul, (ZT_DCI_Point{0, 9, 0}));
  EXPECT_EQ(p.lr, (ZT_DCI_Point{9, 0, 0}));
  EXPECT_EQ(p.image->data(), host.r().color_buffer.data());
  // With a window origin the destination moves with it.
  Window_Setup s;
  s.height = 100;
  s.origin = {5, 7};
  host.establish(s);
  host.renderer->update_all({2, 4, 10, 20});
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 100 + 7 - 20 - 1);
}

// Only the part inside the colour buffer is presented, also for rectangles
// that reach past it anywhere and for windows at the ends of 32 bits.
TEST(Update, PresentsOnlyThePartInTheBufferAtAnyOrigin) {
  for (const ZT_Int_Point origin : {ZT_Int_Point{0, 0}, ZT_Int_Point{INT32_MAX - 15, INT32_MAX - 7},
                                    ZT_Int_Point{INT32_MIN, INT32_MIN}}) {
    Test_Host host;
    Presented p;
    host.renderer->present = &record_presentation;
    host.renderer->present_context = &p;
    host.establish_config('B', 16, 8, origin);
    host.renderer->update({INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX});
    EXPECT_EQ(p.calls, 1);
    EXPECT_EQ(p.ul, (ZT_DCI_Point{0, 7, 0}));
    EXPECT_EQ(p.lr, (ZT_DCI_Point{15, 0, 0}));
    EXPECT_EQ(p.x, origin.x);
    EXPECT_EQ(p.y, origin.y);
    host.renderer->update({16, 40, -9, -1});  // wholly beside the buffer
    host.renderer->update({5, 4, 0, 7});      // crossed
    EXPECT_EQ(p.calls, 1);
  }
}

TEST(ClearDepth, BlockAndRowPathsAgreeAndStayInTheWindow) {
  // Full width (one block, padding included) and a column short of it (rows).
  for (bool full : {true, false}) {
    Test_Host host('F', 37, 23);
    host.fill_depth(0x1234);
    host.rendition.modify()->hard_clip = {0, full ? 36 : 35, 3, 17};
    host.actions().call<ZT_Slot::clear_depth_buffer>(host.rendition);
    for (int32_t y = 0; y < 23; ++y)
      for (int32_t x = 0; x < 37; ++x) {
        bool inside = y >= 3 && y <= 17 && x <= (full ? 36 : 35);
        ASSERT_EQ(host.depth(x, y), inside ? 0xFFFF : 0x1234) << x << "," << y << " " << full;
      }
    if (!full) {
      EXPECT_TRUE(host.fences_intact());
    }
  }
  // A rectangle reaching beyond the window writes nothing outside it.
  Test_Host host('D', 20, 10);
  host.fill_depth(7);
  host.rendition.modify()->hard_clip = {-50, 5, -1000, 1000};
  host.actions().call<ZT_Slot::clear_depth_buffer>(host.rendition);
  EXPECT_EQ(host.depth(5, 9), 0xFFFF);
  EXPECT_EQ(host.depth(6, 0), 7);
  EXPECT_TRUE(host.fences_intact());
}

TEST(DepthImages, PutThenGetRoundTripsAndReusesTheTarget) {
  Test_Host host('F', 30, 20, {100, 50});
  // A 4x3 block at device (105..108, 60..58), rows top first.
  uint16_t block[3][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
  ZT_DCI_Point start{105, 60, 0}, end{108, 58, 0};
  host.actions().call<ZT_Slot::put_depth_image>(host.rendition, &start, &end, 8, &block[0][0]);
  EXPECT_EQ(host.depth(5, 10), 1);
  EXPECT_EQ(host.depth(8, 8), 12);
  EXPECT_EQ(host.depth(9, 10), 0xFFFF);
  EXPECT_TRUE(host.fences_intact());

  ZT_Shared_Image target;
  ZT_Image_Format format = ZT_Image_Format_Any;
  host.actions().call<ZT_Slot::get_depth_image>(host.rendition, &start, &end, &format, &target);
  ASSERT_FALSE(target.empty());
  EXPECT_EQ(target->format, ZT_Image_Format_Depth16);
  EXPECT_EQ(target->row_bytes, 8);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(reinterpret_cast<uint16_t*>(target->rows_in_memory_order[i])[j], block[i][j]);
  ZT_Image_Data* first = target.data();
  host.actions().call<ZT_Slot::get_depth_image>(host.rendition, &start, &end, &format, &target);
  EXPECT_EQ(target.data(), first);  // the same rectangle reuses its target
  format = ZT_Image_Format_RGB32;   // a format other than 3 or 7 empties it
  host.actions().call<ZT_Slot::get_depth_image>(host.rendition, &start, &end, &format, &target);
  EXPECT_TRUE(target.empty());
}

// No depths draws nothing; rows far above the buffer are passed over without
// being walked (rows 0 bytes apart all read the same source row).
TEST(DepthImages, PutWithoutDepthsOrWithRowsFarOutside) {
  Test_Host host('F', 8, 4);
  host.fill_depth(7);
  const ZT_DCI_Point start{0, 3, 0}, end{7, 0, 0};
  host.actions().call<ZT_Slot::put_depth_image>(host.rendition, &start, &end, 16,
                                                static_cast<const void*>(nullptr));
  EXPECT_EQ(host.depth_snapshot(), std::vector<uint16_t>(32, 7));
  const std::vector<uint16_t> row = {1, 2, 3, 4, 5, 6, 7, 8};
  const ZT_DCI_Point top{0, INT32_MAX, 0}, bottom{7, INT32_MIN, 0};
  host.actions().call<ZT_Slot::put_depth_image>(host.rendition, &top, &bottom, 0,
                                                static_cast<const void*>(row.data()));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(host.depth(x, y), row[std::size_t(x)]);
  EXPECT_TRUE(host.fences_intact());
}

TEST(DepthImages, PutIsCutAtTheWindowsRightEdge) {
  Test_Host host('E', 10, 4);
  host.fill_depth(0);
  uint16_t row[6] = {11, 12, 13, 14, 15, 16};
  ZT_DCI_Point start{7, 2, 0}, end{12, 2, 0};  // columns 7..12; 10..12 lie beyond
  host.actions().call<ZT_Slot::put_depth_image>(host.rendition, &start, &end, 12, row);
  EXPECT_EQ(host.depth(7, 2), 11);
  EXPECT_EQ(host.depth(9, 2), 13);
  EXPECT_EQ(host.depth(0, 1), 0);  // nothing wrapped into the next row
  EXPECT_TRUE(host.fences_intact());
}

TEST(GetImage, TrueColourFormatsAndCutting) {
  Test_Host host('B', 16, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x)
      reinterpret_cast<uint32_t*>(host.r().color_buffer->rows_by_y[y])[x] = uint32_t(y * 100 + x);
  ZT_Shared_Image target;
  ZT_Image_Format any = ZT_Image_Format_Any;
  ZT_DCI_Point ul{2, 5, 0}, lr{4, 3, 0};
  host.actions().call<ZT_Slot::get_image>(host.rendition, &ul, &lr, &any, &target);
  ASSERT_FALSE(target.empty());
  EXPECT_EQ(target->format, ZT_Image_Format_RGB32);  // 7 gives the buffer's own format
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_in_memory_order[0])[0], 502u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_in_memory_order[2])[2], 304u);

  // A rectangle sticking out to the left and the top is cut to the buffer; the
  // cut rows and columns start at the target's first row and column.
  ZT_DCI_Point ul2{-2, 9, 0}, lr2{1, 6, 0};
  host.actions().call<ZT_Slot::get_image>(host.rendition, &ul2, &lr2, &any, &target);
  EXPECT_EQ(target->width, 4);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_in_memory_order[0])[0], 700u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_in_memory_order[1])[1], 601u);

  ZT_Image_Format mapped = ZT_Image_Format_Mapped8;
  host.actions().call<ZT_Slot::get_image>(host.rendition, &ul, &lr, &mapped, &target);
  EXPECT_TRUE(target.empty());
}

TEST(GetImage, FullWindowTargetKeepsPlaces) {
  Test_Host host('F', 16, 8);
  host.fill_color(0xFF00FF00);
  ZT_Shared_Image target(3, 3, ZT_Image_Format_RGB32, 0, nullptr, true);
  ZT_Image_Format rgb = ZT_Image_Format_RGB32;
  ZT_DCI_Point ul{10, 6, 0}, lr{20, 2, 0};  // cut at the right edge
  host.actions().call<ZT_Slot::get_image>(host.rendition, &ul, &lr, &rgb, &target);
  ASSERT_EQ(target->width, 16);
  EXPECT_TRUE(target->full_window);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_by_y[6])[15], 0xFF00FF00u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_by_y[6])[9], 0u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(target->rows_by_y[1])[12], 0u);
  // Corners whose local coordinates leave 32 bits, with the window at the far
  // end of them (found by fuzzing): the whole window is copied, nothing more.
  Test_Host far('F', 16, 8, {INT32_MAX - 15, 0});
  far.fill_color(0xFF0000FF);
  ZT_Shared_Image whole(1, 1, ZT_Image_Format_RGB32, 0, nullptr, true);
  ZT_DCI_Point from{-4001, 100, 0}, to{INT32_MAX, -100, 0};
  far.actions().call<ZT_Slot::get_image>(far.rendition, &from, &to, &rgb, &whole);
  ASSERT_EQ(whole->width, 16);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x)
      EXPECT_EQ(reinterpret_cast<uint32_t*>(whole->rows_by_y[std::size_t(y)])[x], 0xFF0000FFu);
}

TEST(GetImage, MappedReadsIndices) {
  Test_Host host('C', 16, 8);
  host.fill_color(42);
  ZT_Shared_Image target;
  ZT_Image_Format any = ZT_Image_Format_Any;
  ZT_DCI_Point ul{0, 7, 0}, lr{15, 0, 0};
  host.actions().call<ZT_Slot::get_image>(host.rendition, &ul, &lr, &any, &target);
  ASSERT_FALSE(target.empty());
  EXPECT_EQ(target->format, ZT_Image_Format_Mapped8);
  EXPECT_EQ(target->row_bytes, 16);
  EXPECT_EQ(target->rows_in_memory_order[7][15], 42);
}

TEST(SpanRectangle, SolidFillBothFormsAndClamping) {
  for (char c : std::string("BD")) {
    Test_Host host(c, 20, 10);
    ZT_Rendition_Data* d = host.rendition.modify();
    d->rectangle_color = {1, 2, 3, 255};
    d->rectangle_index = 77;
    uint32_t value = c == 'B' ? d->rectangle_color.word() : 77u;
    d->hard_clip = {-5, 3, 8, 30};  // clamped to the buffer
    host.actions().call<ZT_Slot::span_dc_rectangle>(host.rendition);
    EXPECT_EQ(host.color(0, 9), value);
    EXPECT_EQ(host.color(3, 8), value);
    EXPECT_EQ(host.color(4, 8), 0u);
    EXPECT_EQ(host.color(3, 7), 0u);
    EXPECT_TRUE(host.fences_intact());
    // Wholly left of, or below, the window: nothing.
    for (ZT_Int_Rectangle r : {ZT_Int_Rectangle{-9, -1, 0, 5}, ZT_Int_Rectangle{0, 5, -9, -1}}) {
      host.fill_color(0);
      host.rendition.modify()->hard_clip = r;
      host.actions().call<ZT_Slot::span_dc_rectangle>(host.rendition);
      auto pixels = host.color_snapshot();
      EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0u), 200);
    }
    // Full width: one block; equal to the row path one column narrower plus a column.
    host.fill_color(0);
    host.rendition.modify()->hard_clip = {0, 19, 2, 4};
    host.actions().call<ZT_Slot::span_dc_rectangle>(host.rendition);
    for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(host.color(x, 3), value);
    EXPECT_EQ(host.color(0, 5), 0u);
  }
}

TEST(SpanRectangle, NonSolidPatternGoesToTheHost) {
  Test_Host host('F', 20, 10);
  host.rendition.modify_face()->pattern_index = 12;
  host.rendition.modify()->hard_clip = {1, 5, 2, 6};
  const auto calls =
      host_calls([&] { host.actions().call<ZT_Slot::span_dc_rectangle>(host.rendition); });
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].function, "ZD_Span_DC_Rectangle");
  EXPECT_EQ(calls[0].arguments, (std::vector<uint64_t>{1, 5, 2, 6}));
}

}  // namespace
