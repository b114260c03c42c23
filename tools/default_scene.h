// The built-in scene: procedural, no data files.  It shows every kind of
// primitive a host hands the renderer: Gouraud, per-face and flat triangles
// from float and integer points, textured ones (one of them lit by its face
// material, a checkered floor in perspective), a strip, a patterned and a translucent part,
// wireframe polylines, markers and dots, an image, polygons, and geometry that
// crosses the window's edges through the clipping slots.
#pragma once

#include "tools/scene_painter.h"

// The camera that frames the scene, turned by yaw and pitch (degrees) and moved
// closer by zoom (> 1) or farther (< 1).
Camera default_scene_camera(float yaw, float pitch, float zoom);
void draw_default_scene(Scene_Painter& painter);

// The scene's checkered floor: a quad at y = height from x = left to right and
// z = back to front, textured with checker_texture() (texture_images.h) whose
// image repeats every `repeat` world units along x (u) and z (v), from the
// back left corner.
struct Floor_Quad {
  float left, right, back, front, height, repeat;
};
Floor_Quad checkered_floor();
// Draws that floor, its texture perspective-correct.
void draw_checkered_floor(Scene_Painter& painter);

// A loaded mesh, framed by camera, drawn with the given shading over the
// background of the default scene; with a texture (and texture coordinates),
// textured and shaded.
Camera mesh_camera(const Mesh& mesh, float yaw, float pitch, float zoom);
void draw_mesh_scene(Scene_Painter& painter, const Mesh& mesh, Shading shading,
                     ZT_Counted_Ptr<ZT_Texture> texture = {});
