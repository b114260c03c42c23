#include <cmath>

#include "host/zt_basics.h"

// The length is taken in double precision, so that no float vector overflows or
// underflows on the way; a zero or non-finite length leaves the vector as it is.
void ZT_Vector::normalize() {
  const double length =
      std::sqrt(double(x) * double(x) + double(y) * double(y) + double(z) * double(z));
  if (length > 0 && std::isfinite(length)) {
    x = float(x / length);
    y = float(y / length);
    z = float(z / length);
  }
}
