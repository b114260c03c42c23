#include <algorithm>

#include "host/zt_material.h"
#include "host/zt_rendition.h"

ZT_Light_Levels ZT_Basic_Material::lighting(const ZT_Rendition& rendition,
                                            const ZT_Vector& normal) const {
  ZT_Vector n = normal, l = light_direction;
  n.normalize();
  l.normalize();
  const float facing = std::max(0.0f, n.x * l.x + n.y * l.y + n.z * l.z);
  const ZT_RGB32 c = rendition->current_color;
  const float surface[3] = {c.b / 255.0f, c.g / 255.0f, c.r / 255.0f};
  ZT_Light_Levels out;
  for (int32_t k = 0; k < 3; ++k)
    out[k] = emission[k] + surface[k] * (ambient[k] + diffuse[k] * facing);
  return out;
}
