// The renderer's named options: registration in both tables, defaults, the
// "Mask Cache" rule and the two depth setters reached through option values.
#include <gtest/gtest.h>

#include <string>

#include "core/mask_cache.h"
#include "tests/support/test_host.h"

namespace {

const char* const all_names[] = {"Margin",
                                 "Color Buffer",
                                 "Depth Buffer",
                                 "Try MMX",
                                 "Use Mask",
                                 "Clip Phase",
                                 "Enable Tiling",
                                 "Merge Control Background Color",
                                 "Force Merge Control On",
                                 "ZBuffer Write",
                                 "ZBuffer Test",
                                 "Supports Advanced Plotwise Rendering",
                                 "Supports Antialiased Lines",
                                 "Supports Gooch Shader",
                                 "Supports Shadow Mapping Shader",
                                 "Shadow Mapping Quality",
                                 "Max Active Lights",
                                 "No ISM Image Support",
                                 "Mask Cache"};

TEST(Options, NineteenOptionsInRegistrationOrderInBothTables) {
  Test_Host host;
  for (ZT_Option_Table* table : {&host.renderer->requested_options, &host.renderer->current_options}) {
    ASSERT_EQ(table->size(), 19u);
    for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(table->at(i)->name().str(), all_names[i]);
  }
  // Handles point into their own table, Mask Cache kept in position 3.
  for (int32_t h = 0; h < Option_Handle_Count; ++h) {
    EXPECT_EQ(host.r().current_option_handles[h],
              host.renderer->current_options.find(host.r().current_option_handles[h]->name()));
    EXPECT_EQ(host.r().requested_option_handles[h],
              host.renderer->requested_options.find(host.r().requested_option_handles[h]->name()));
  }
  EXPECT_EQ(host.r().current_option_handles[Option_Mask_Cache]->name().str(), "Mask Cache");
  EXPECT_EQ(host.r().current_option_handles[Option_Mask_Cache]->scope(),
            ZT_Option_Enum::Scope_Shared);
}

TEST(Options, Defaults) {
  Test_Host host;
  const ZT_Option_Table& t = host.renderer->requested_options;
  EXPECT_EQ(t.find("Margin")->value()->as_int(), 0);
  EXPECT_EQ(t.find("Color Buffer")->value()->as_pointer(), nullptr);
  EXPECT_TRUE(t.find("Try MMX")->value()->as_bool());
  EXPECT_FALSE(t.find("Use Mask")->value()->as_bool());
  EXPECT_FALSE(t.find("Enable Tiling")->value()->as_bool());
  const int32_t* white = t.find("Merge Control Background Color")->value()->as_int3();
  EXPECT_EQ(white[0], 255);
  EXPECT_EQ(white[1], 255);
  EXPECT_EQ(white[2], 255);
  EXPECT_FALSE(t.find("Force Merge Control On")->value()->as_bool());
  EXPECT_TRUE(t.find("Supports Advanced Plotwise Rendering")->value()->as_bool());
  EXPECT_FALSE(t.find("Supports Antialiased Lines")->value()->as_bool());
  EXPECT_EQ(t.find("Max Active Lights")->value()->as_int(), 2147483647);
  EXPECT_TRUE(t.find("No ISM Image Support")->value()->as_bool());
  // The requested copies of the setters keep the null default.
  EXPECT_EQ(t.find("ZBuffer Write")->value()->as_pointer(), nullptr);
  EXPECT_EQ(t.find("ZBuffer Test")->value()->as_pointer(), nullptr);
  // Defaults: no tiling slots, no masks, white merge background.
  host.establish_config('F');
  EXPECT_FALSE(host.r().mask_cache);
  EXPECT_EQ(host.r().merge_background_color, ZT_RGB32(255, 255, 255, 255));
}

TEST(Options, SettersReachedThroughOptionValues) {
  Test_Host host;
  // A client fetches the setters from the current table and calls them.
  auto write = reinterpret_cast<ZT_Depth_Write_Setter>(
      host.renderer->option_table()->find("ZBuffer Write")->value()->as_pointer());
  auto test = reinterpret_cast<ZT_Depth_Test_Setter>(
      host.renderer->option_table()->find("ZBuffer Test")->value()->as_pointer());
  ASSERT_NE(write, nullptr);
  ASSERT_NE(test, nullptr);
  write(host.renderer, false);
  EXPECT_EQ(host.r().depth_write, 0);
  write(host.renderer, true);
  EXPECT_EQ(host.r().depth_write, 1);
  int32_t mode = 5;
  test(host.renderer, &mode);
  EXPECT_EQ(host.r().depth_test_mode, 5);
  // Updating the current table from the requested one keeps the setters.
  host.set_option("Use Mask", ZT_Option_Value(true));
  EXPECT_EQ(reinterpret_cast<void*>(write),
            host.renderer->option_table()->find("ZBuffer Write")->value()->as_pointer());
}

TEST(Options, TableThatAlreadyHoldsMaskCacheKeepsIt) {
  Test_Host host;  // only for the module
  ZT_Renderer_Data parent(nullptr);
  ZT_Counted_Ptr<Mask_Cache_Data> shared(new Mask_Cache_Data());
  ZT_Option* existing = parent.current_options.add(
      ZT_Option("Mask Cache", ZT_Option_Enum::Scope_Renderer,
                new ZT_Option_Value(static_cast<ZT_Counted*>(shared.get()))));
  ZT_Option_Value* value = existing->value();
  ZT_Renderer_Data* second = host.module.create_renderer(&parent);
  ASSERT_NE(second, nullptr);
  Software_Z_Buffer& r = *Software_Z_Buffer::from(second);
  ZT_Option* handle = r.current_option_handles[Option_Mask_Cache];
  EXPECT_EQ(handle->value(), value);  // the existing option's value, shared
  EXPECT_EQ(handle->scope(), ZT_Option_Enum::Scope_Renderer);
  EXPECT_EQ(r.current_options.size(), 19u);
  // With "Use Mask" on, establish takes that cache.
  r.requested_options.find("Use Mask")->set(ZT_Option_Value(true));
  r.update_current_options();
  r.renderer_options()->set_window_size({8, 8});
  r.establish();
  EXPECT_EQ(r.mask_cache.get(), shared.get());
  second->release();
}

TEST(Module, LoadsByPathAndRefusesWhatIsNotAModule) {
  ZT_Module m;
  EXPECT_FALSE(m.load("/nonexistent/renderer.zdi"));
  EXPECT_FALSE(m.error().empty());
  ASSERT_TRUE(m.load(module_path()));
  ZT_Renderer_Data parent(nullptr);
  ZT_Renderer_Data* r = m.create_renderer(&parent);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->unnamed_operation(), 0);
  EXPECT_EQ(r->renderer_options(), r->renderer_options_second());
  EXPECT_EQ(r->option_table(), &r->current_options);
  r->release();
  m.unload();
  EXPECT_FALSE(m.loaded());
}

}  // namespace
