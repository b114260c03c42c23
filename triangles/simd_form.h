// Which form of the span loops a draw runs: pixel by pixel, or in blocks of
// eight pixels in integer lanes, two SSE2 registers or one AVX2 register a
// quantity.  Every form writes the same bits; they differ only in speed.
//
// The module picks the widest form the processor runs, once, at the first
// draw.  ZDI_SIMD=scalar|sse2|avx2 in the environment asks for a form instead
// (for tests and measurements); a form the processor or the build lacks gives
// the widest one below it, anything else the default.
#pragma once

#include <cstdint>

namespace triangles {

enum class Simd_Form : int32_t { Scalar, Sse2, Avx2 };

// The form the module's draws run (chosen once).
Simd_Form chosen_simd_form();
// Whether this build and processor run a form.
bool simd_form_runs(Simd_Form form);
// The form ZDI_SIMD's value asks for, as chosen_simd_form reads it (null: unset).
Simd_Form simd_form_for(const char* request);
const char* simd_form_name(Simd_Form form);

// Pixels per block of a form (1 for the scalar one).
constexpr int32_t lane_width(Simd_Form form) {
  return form == Simd_Form::Scalar ? 1 : 8;
}

}  // namespace triangles
