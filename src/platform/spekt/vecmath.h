// The C library's vector forms of log10 and atan2 (x86-64 glibc 2.35 and later, in libmvec), declared as the
// spectrum chain calls them. The build links a probe against these very declarations and builds the chain
// with them (SPEKT_VECTOR_MATH) only where that probe links; elsewhere the chain calls log10 and atan2.
#pragma once

#if defined(__x86_64__)
#include <immintrin.h>

extern "C" {
__m128d _ZGVbN2v_log10(__m128d x);
__m128d _ZGVbN2vv_atan2(__m128d y, __m128d x);
__attribute__((target("avx2"))) __m256d _ZGVdN4v_log10(__m256d x);
__attribute__((target("avx2"))) __m256d _ZGVdN4vv_atan2(__m256d y, __m256d x);
}
#endif
