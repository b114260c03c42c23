// The host's texturing services: textures and their images, the face
// material's lighting, transforms and their adjoints, vector normalisation.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "host/zarnik11.h"

namespace {

ZT_Shared_Image rgb_image(int32_t w, int32_t h) {
  std::vector<uint32_t> texels(std::size_t(w) * std::size_t(h));
  for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = uint32_t(i);  // memory order
  return ZT_Shared_Image(w, h, ZT_Image_Format_RGB32, 0, texels.data(), false);
}

TEST(Texture, RefusesImagesThatAreNotPowersOfTwoWithAClearError) {
  for (auto [w, h] : {std::pair{100, 64}, {64, 3}, {0, 8}, {65536, 1}}) {
    try {
      ZT_Texture t(rgb_image(w, h));
      ADD_FAILURE() << w << "x" << h << " was accepted";
    } catch (const ZT_Texture_Error& e) {
      EXPECT_NE(std::string(e.what()).find("powers of two"), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(ZT_Texture{ZT_Shared_Image{}}, ZT_Texture_Error);
  EXPECT_THROW(ZT_Texture(ZT_Shared_Image(4, 4, ZT_Image_Format_Mapped8, 0, nullptr, false)),
               ZT_Texture_Error);
  for (auto [w, h] : {std::pair{1, 1}, {1, 32768}, {256, 2}}) EXPECT_NO_THROW(ZT_Texture(rgb_image(w, h)));
}

TEST(Texture, OneImageBehindSelectorsZeroReadFromTheBottomRowUp) {
  ZT_Texture t(rgb_image(4, 2));
  EXPECT_TRUE(t.image(1, 0).empty());
  EXPECT_TRUE(t.image(0, 1).empty());
  ZT_Texel_Image image(t);
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.column_mask(), 3u);
  EXPECT_EQ(image.row_mask(), 1u);
  // Memory row 0 is the top row: row 0 counted from the bottom is memory row 1.
  EXPECT_EQ(image.texel(0, 0), 4u);
  EXPECT_EQ(image.texel(3, 1), 3u);
  // Coordinates wrap by the masks: -1 is the last column, 2 the bottom row again.
  EXPECT_EQ(image.texel(-1, 2), 7u);
  EXPECT_EQ(image.memory_row(1)[2], 6u);
  EXPECT_EQ(ZT_Texel_Image(ZT_Texture()).texel(5, 9), 0xFFFFFFFFu);  // one white texel
}

// A material whose lighting throws, to show that no reference stays taken.
struct Throwing_Material : ZT_Basic_Material {
  ZT_Light_Levels lighting(const ZT_Rendition&, const ZT_Vector&) const override {
    throw std::runtime_error("no light");
  }
};

TEST(Texture, HandlesGiveEveryReferenceBackAlsoWhenAnExceptionPasses) {
  ZT_Counted_Ptr<ZT_Texture> texture(new ZT_Texture(rgb_image(2, 2)));
  ZT_Shared_Image image = texture->image(0, 0);
  const int32_t texture_count = texture->reference_count();
  const int32_t image_count = image->reference_count();
  ZT_Rendition rendition;
  rendition.modify_face()->material = new Throwing_Material();
  rendition.modify_face()->material->surface_texture = texture;
  EXPECT_EQ(texture->reference_count(), texture_count + 1);  // the material's
  auto draw = [&] {
    ZT_Counted_Ptr<ZT_Texture> taken = rendition->face->texture();
    ZT_Texel_Image texels(*taken);
    EXPECT_EQ(texture->reference_count(), texture_count + 2);
    EXPECT_EQ(image->reference_count(), image_count + 1);
    rendition->face->material->lighting(rendition, {0, 0, 1});
  };
  EXPECT_THROW(draw(), std::runtime_error);
  EXPECT_EQ(texture->reference_count(), texture_count + 1);
  EXPECT_EQ(image->reference_count(), image_count);
  // Setting the texture of a face whose material is shared copies the material.
  ZT_Rendition other = rendition;
  other.modify_face()->set_texture(nullptr);
  EXPECT_FALSE(other->face->texture());
  EXPECT_EQ(rendition->face->texture().get(), texture.get());
}

TEST(Material, AmbientPlusOneSidedDiffuseLinearInTheSurfaceColour) {
  ZT_Counted_Ptr<ZT_Basic_Material> m(new ZT_Basic_Material());
  m->ambient = {{0.1f, 0.2f, 0.3f}};
  m->diffuse = {{0.5f, 0.5f, 1.0f}};
  m->light_direction = {0, 0, 2};  // normalised by the model
  ZT_Rendition white, black, grey;
  white.set_color({255, 255, 255}, false);
  black.set_color({0, 0, 0}, false);
  grey.set_color({255, 51, 0}, false);  // red 1.0, green 0.2, blue 0
  const ZT_Vector facing{0, 0, 5}, tilted{0, 3, 4}, away{0, 0, -1}, none{0, 0, 0};
  auto near = [](ZT_Light_Levels l, float b, float g, float r) {
    return std::fabs(l[0] - b) < 1e-6 && std::fabs(l[1] - g) < 1e-6 && std::fabs(l[2] - r) < 1e-6;
  };
  EXPECT_TRUE(near(m->lighting(white, facing), 0.6f, 0.7f, 1.3f));
  EXPECT_TRUE(near(m->lighting(white, tilted), 0.1f + 0.4f, 0.2f + 0.4f, 0.3f + 0.8f));
  EXPECT_TRUE(near(m->lighting(white, away), 0.1f, 0.2f, 0.3f));
  EXPECT_TRUE(near(m->lighting(white, none), 0.1f, 0.2f, 0.3f));
  EXPECT_TRUE(near(m->lighting(black, facing), 0, 0, 0));
  EXPECT_TRUE(near(m->lighting(grey, facing), 0, 0.2f * 0.7f, 1.3f));
  m->emission = {{0.25f, 0, 0}};
  EXPECT_TRUE(near(m->lighting(black, facing), 0.25f, 0, 0));
}

using Rows = double[4][4];

ZT_Counted_Ptr<ZT_Matrix> projection(ZT_Matrix::Precision p) {
  // A camera looking down -z, a perspective divide and a viewport of 640 x 480.
  const Rows m = {{320 * 1.2, 0, -320, 0},
                  {0, 240 * 1.6, -240, 0},
                  {0, 0, -20000, -65535},
                  {0, 0, -1, 0}};
  return ZT_Counted_Ptr<ZT_Matrix>(new ZT_Matrix(m, p));
}

TEST(Matrix, AdjointTimesMatrixIsTheDeterminantAndComesBackAfterAChange) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> e(-3, 3);
  Rows rows;
  for (auto& r : rows)
    for (double& x : r) x = e(rng);
  ZT_Counted_Ptr<ZT_Matrix> m(new ZT_Matrix(rows));
  ZT_Counted_Ptr<ZT_Matrix> a = m->adjoint();
  const double det = m->determinant();
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) {
      double s = 0;
      for (int32_t k = 0; k < 4; ++k) s += a->element(i, k) * m->element(k, j);
      EXPECT_NEAR(s, i == j ? det : 0, 1e-9 * std::fabs(det) + 1e-9) << i << "," << j;
    }
  EXPECT_EQ(m->adjoint().get(), a.get());  // kept while the matrix does not change
  m->set(0, 0, 10);
  EXPECT_NE(m->adjoint().get(), a.get());
  EXPECT_NEAR(m->adjoint()->element(0, 0), a->element(0, 0), 1e-12);  // its own cofactor
  // Single precision rounds its elements to float.
  ZT_Matrix single(rows, ZT_Matrix::Precision::Single);
  EXPECT_EQ(single.element(1, 2), double(float(rows[1][2])));
}

TEST(Matrix, AdjointThenTransformRecoversTheVertexW) {
  for (auto precision : {ZT_Matrix::Precision::Double, ZT_Matrix::Precision::Single}) {
    ZT_Counted_Ptr<ZT_Matrix> m = projection(precision);
    const double tolerance = precision == ZT_Matrix::Precision::Double ? 1e-9 : 1e-3;
    for (const ZT_Point_D model : {ZT_Point_D{0, 0, -1}, {3, -2, -10}, {-50, 40, -400}}) {
      ZT_Point_D device, back;
      const float w = m->transform(model, &device);
      EXPECT_NEAR(w, -model.z, tolerance);  // this camera's w is the distance
      m->adjoint()->transform(device, &back);
      EXPECT_NEAR(m->transform(back), w, tolerance * std::fabs(w));
      EXPECT_NEAR(back.x, model.x, tolerance * 400);
    }
  }
  // w = 0 leaves the point undivided.
  ZT_Matrix flat(Rows{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}});
  ZT_Point_D out;
  EXPECT_EQ(flat.transform({2, 3, 4}, &out), 0.0f);
  EXPECT_EQ(out.x, 2);
}

TEST(Vector, NormalizeKeepsDirectionForAnyFiniteLengthAndLeavesZeroAndNaNAlone) {
  for (float scale : {1e-30f, 1.0f, 1e30f, 3e38f}) {
    ZT_Vector v{scale * 0.6f, 0, scale * -0.8f};
    v.normalize();
    EXPECT_NEAR(v.x, 0.6f, 1e-6) << scale;
    EXPECT_NEAR(v.z, -0.8f, 1e-6) << scale;
  }
  ZT_Vector zero{0, 0, 0};
  zero.normalize();
  EXPECT_EQ(zero.x, 0);
  ZT_Vector nan{NAN, 1, 0};
  nan.normalize();
  EXPECT_EQ(nan.y, 1);
}

}  // namespace
