// What the host programs write: PNG files read back to the pixels presented
// (true colour and through a palette), update's rectangle lands where the
// presentation callback's destination says, buffer dumps read back into the
// buffer, and the demo's command line.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>

#include "tools/buffer_contents.h"
#include "tools/demo_options.h"
#include "tools/png_writer.h"
#include "tests/support/test_host.h"

namespace {


// The PNG's pixels as words 0xFFRRGGBB, palette images expanded through their palette.
std::vector<uint32_t> read_png(const std::string& path, int32_t& width, int32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(image.width * image.height);
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  width = int32_t(image.width);
  height = int32_t(image.height);
  return pixels;
}

TEST(Png, TrueColourAndPaletteImagesReadBackAsPresented) {
  Window_Image rgb;
  rgb.resize(5, 3, false);
  for (std::size_t i = 0; i < rgb.pixels.size(); ++i) rgb.pixels[i] = 0x40000000u | uint32_t(i * 0x0A1B2C);
  Window_Image indexed;
  indexed.resize(5, 3, true);
  for (int32_t i = 0; i < 256; ++i) indexed.palette.push_back(ZT_RGB32(uint8_t(i), uint8_t(255 - i), 7));
  for (std::size_t i = 0; i < indexed.pixels.size(); ++i) indexed.pixels[i] = uint32_t(i * 17);
  for (const Window_Image* image : {&rgb, &indexed}) {
    const std::string path = temporary_path("image.png");
    std::string error;
    ASSERT_TRUE(write_png(*image, path, &error)) << error;
    int32_t w = 0, h = 0;
    const std::vector<uint32_t> back = read_png(path, w, h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 3);
    for (std::size_t i = 0; i < back.size(); ++i) {
      // The window shows opaque pixels: alpha is not written.
      const uint32_t want = image->indexed ? image->palette[image->pixels[i]].word() | 0xFF000000u
                                           : image->pixels[i] | 0xFF000000u;
      EXPECT_EQ(back[i], want) << i;
    }
    std::remove(path.c_str());
  }
  std::string error;
  EXPECT_FALSE(write_png(Window_Image{}, temporary_path("empty.png"), &error));
  EXPECT_NE(error.find("empty"), std::string::npos);
  EXPECT_FALSE(write_png(rgb, "/nonexistent/folder/x.png", &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

TEST(Presentation, UpdatedRectangleLandsAtTheDestinationAndNothingElse) {
  for (ZT_Int_Point origin : {ZT_Int_Point{0, 0}, ZT_Int_Point{-7, 300}}) {
    Host_Session session(default_module_path());
    session.configure(6, 4, *configuration_named('B'));
    session.options().set_window_origin(origin);
    ZD_Establish(session.renderer());
    set_buffer_rows(session.color_buffer(), {"00000001 00000002 00000003 00000004 00000005 00000006",
                                             "00000007 00000008 00000009 0000000A 0000000B 0000000C",
                                             "0000000D 0000000E 0000000F 00000010 00000011 00000012",
                                             "00000013 00000014 00000015 00000016 00000017 00000018"});
    // Columns 1..3 of local rows 1..2 (the middle two rows of the window).
    ZD_Update(session.renderer(), {1, 3, 1, 2});
    const Window_Image& shown = session.presented();
    ASSERT_EQ(shown.width, 6);
    for (int32_t row = 0; row < 4; ++row)
      for (int32_t x = 0; x < 6; ++x) {
        const bool inside = row >= 1 && row <= 2 && x >= 1 && x <= 3;
        EXPECT_EQ(shown.pixels[std::size_t(row * 6 + x)], inside ? uint32_t(row * 6 + x + 1) : 0u)
            << "row " << row << " column " << x;
      }
  }
}

TEST(BufferContents, DumpsReadBackAndHashesSeeEveryPixel) {
  Host_Session session(default_module_path());
  session.configure(7, 5, *configuration_named('D'));
  ZD_Establish(session.renderer());
  for (const ZT_Shared_Image& buffer : {session.color_buffer(), session.depth_buffer()}) {
    ASSERT_FALSE(buffer.empty());
    for (int32_t y = 0; y < buffer->height; ++y)
      for (int32_t i = 0; i < buffer->width * ZT_Image_Data::bytes_per_pixel(buffer->format); ++i)
        buffer->rows_by_y[std::size_t(y)][i] = uint8_t(y * 31 + i * 7);
    const std::string dump = dump_rows(buffer), hash = content_hash(buffer);
    std::vector<std::string> rows;
    for (std::size_t start = 0, end; (end = dump.find('\n', start)) != dump.npos; start = end + 1)
      rows.push_back(dump.substr(start, end - start));
    ASSERT_EQ(rows.size(), 5u);
    fill_buffer(buffer, 0);
    set_buffer_rows(buffer, rows);
    EXPECT_EQ(dump_rows(buffer), dump);
    // Any one changed pixel changes the hash; the row padding does not.
    buffer->rows_by_y[2][buffer->row_bytes - 1] ^= 0xFF;
    EXPECT_EQ(content_hash(buffer), hash);
    buffer->rows_by_y[4][0] ^= 1;
    EXPECT_NE(content_hash(buffer), hash);
    EXPECT_THROW(set_buffer_rows(buffer, {rows[0]}), std::runtime_error);
  }
  EXPECT_EQ(content_hash(ZT_Shared_Image()), "none");
}

TEST(DemoOptions, EveryOptionParsesAndBadValuesAreRefusedWithAMessage) {
  Demo_Options o;
  const char* good[] = {"zdi_demo", "mesh.obj",   "--config", "d",         "--size",
                        "320x200",  "--camera",   "30,-10,2", "--shading", "points",
                        "-o",       "out.png",    "--blend",  "on",        "--print-hash"};
  ASSERT_EQ(parse_demo_options(15, good, o).kind, Parse_Outcome::run);
  EXPECT_EQ(o.mesh, "mesh.obj");
  EXPECT_EQ(o.configuration.letter(), 'D');
  EXPECT_TRUE(o.configuration.alpha_blending);
  EXPECT_EQ(o.width, 320);
  EXPECT_EQ(o.zoom, 2);
  EXPECT_EQ(o.pitch, -10);
  EXPECT_EQ(o.shading, Shading::points);
  EXPECT_TRUE(o.print_hash);
  for (char letter : std::string("ABCDEF")) {
    Demo_Options c;
    const std::string value(1, letter);
    const char* args[] = {"zdi_demo", "--config", value.c_str()};
    ASSERT_EQ(parse_demo_options(3, args, c).kind, Parse_Outcome::run);
    EXPECT_EQ(c.configuration.letter(), letter);
  }
  const std::vector<std::vector<const char*>> bad = {
      {"--size", "0x10"}, {"--size", "10"},   {"--config", "G"},     {"--depth", "maybe"},
      {"--camera", "1"},  {"--camera", "1,2,0"}, {"--shading", "toon"}, {"--frobnicate", "1"},
      {"a.obj", "b.obj"}, {"--output"}};
  for (const auto& args : bad) {
    std::vector<const char*> argv = {"zdi_demo"};
    argv.insert(argv.end(), args.begin(), args.end());
    Demo_Options d;
    const Parse_Outcome out = parse_demo_options(int(argv.size()), argv.data(), d);
    EXPECT_EQ(out.kind, Parse_Outcome::error) << args[0];
    EXPECT_FALSE(out.message.empty());
  }
  const char* help[] = {"zdi_demo", "--help"};
  EXPECT_EQ(parse_demo_options(2, help, o).kind, Parse_Outcome::help);
}

}  // namespace
