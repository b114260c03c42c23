#include <cmath>

#include "host/zt_basics.h"

void ZT_Vector::normalize() {
  float length = std::sqrt(x * x + y * y + z * z);
  if (length > 0) {
    x /= length;
    y /= length;
    z /= length;
  }
}
