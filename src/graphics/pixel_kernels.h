// Row kernels behind the pixel routines of ABitmapFilters32. The routines clip and pick rows; a kernel
// does the arithmetic of one row. Each set (scalar, SSE2, SSE4.1, AVX2) gives the same bytes for the same input.
// The SSE2 set is also the WebAssembly SIMD set: built with -msimd128 -msse2, Emscripten's SSE headers
// turn its intrinsics into WebAssembly vector instructions. A module with them does not load in a browser
// without SIMD, so the web build puts them in a library of their own (mokuren_wasm_simd): the module
// that links it runs them, and the one that does not (for such browsers) finds the weak reference empty.
#pragma once

#include <cstdint>

namespace mokuren::kernels {

// One destination row of a bilinear scaling: for pixel i, the source columns c0[i] and c1[i] (pixel
// indices into both rows) and the column weight fx[i]; fy is the row weight of row1 against row0.
struct StretchColumns {
  const int32_t* c0;
  const int32_t* c1;
  const uint8_t* fx;
};

struct RowKernels {
  // dest = (src * a + dest * (256 - a)) >> 8 on all bytes, 16-bit arithmetic.
  void (*blendConst)(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t a);
  // w = ((255 - T) * (opacity + 1)) >> 8; dest = (src * w + dest * (255 - w)) >> 8.
  void (*drawAlpha)(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity);
  // As drawAlpha, pixels with T = 255 untouched.
  void (*drawAlphaSkip)(const uint8_t* src, uint8_t* dst, int32_t pixels, uint16_t opacity);
  // Blue, green and red become 255 - value.
  void (*invert)(uint8_t* dst, int32_t pixels);
  void (*stretchRow)(const uint8_t* row0, const uint8_t* row1, uint8_t* dst, int32_t pixels,
                     const StretchColumns& columns, uint8_t fy);
  // dst pixel i = colour | (255 - coverage[i]) << 24.
  void (*coverageRow)(const uint8_t* coverage, uint8_t* dst, int32_t pixels, uint32_t colour);
};

const RowKernels& ScalarKernels();
#if defined(__x86_64__) || defined(__i386__)
#define MOKUREN_X86_KERNELS 1
#define MOKUREN_SSE2_KERNELS 1
const RowKernels& Sse41Kernels();
const RowKernels& Avx2Kernels();
#elif defined(__wasm__)
#define MOKUREN_SSE2_KERNELS 1
#define MOKUREN_WASM_SIMD_LINKED_APART 1
[[gnu::weak]] const RowKernels& Sse2Kernels();
#endif
#if defined(MOKUREN_X86_KERNELS)
const RowKernels& Sse2Kernels();
#endif

}  // namespace mokuren::kernels
