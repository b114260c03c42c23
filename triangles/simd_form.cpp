#include "triangles/simd_form.h"

#include <cstdlib>
#include <cstring>

namespace triangles {

bool simd_form_runs(Simd_Form form) {
  switch (form) {
  case Simd_Form::Scalar: return true;
#if defined(__SSE2__)
  case Simd_Form::Sse2: return true;
#endif
#if defined(ZDI_AVX2_FORM)
  case Simd_Form::Avx2:
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#endif
  default: return false;
  }
}

Simd_Form simd_form_for(const char* request) {
  Simd_Form wanted = Simd_Form::Avx2;
  if (request && std::strcmp(request, "scalar") == 0) wanted = Simd_Form::Scalar;
  else if (request && std::strcmp(request, "sse2") == 0) wanted = Simd_Form::Sse2;
  while (!simd_form_runs(wanted)) wanted = Simd_Form(int32_t(wanted) - 1);
  return wanted;
}

Simd_Form chosen_simd_form() {
  static const Simd_Form form = simd_form_for(std::getenv("ZDI_SIMD"));
  return form;
}

const char* simd_form_name(Simd_Form form) {
  switch (form) {
  case Simd_Form::Sse2: return "sse2";
  case Simd_Form::Avx2: return "avx2";
  default: return "scalar";
  }
}

}  // namespace triangles
