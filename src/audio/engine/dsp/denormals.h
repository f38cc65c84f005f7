#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define VOKRIN_HAVE_MXCSR 1
#endif

namespace vokrin::engine::fx {

// Decaying feedback paths (reverb tails, echo repeats, filter states) sink into
// subnormal floats, which cost a hundred times more on x86. While this guard lives, the
// thread flushes them to zero; the caller's mode is restored afterwards.
class DenormalGuard
{
public:
    DenormalGuard() noexcept
    {
#ifdef VOKRIN_HAVE_MXCSR
        m_saved = _mm_getcsr();
        _mm_setcsr(m_saved | 0x8040u); // FTZ (bit 15) and DAZ (bit 6)
#endif
    }
    ~DenormalGuard()
    {
#ifdef VOKRIN_HAVE_MXCSR
        _mm_setcsr(m_saved);
#endif
    }
    DenormalGuard(const DenormalGuard &) = delete;
    DenormalGuard &operator=(const DenormalGuard &) = delete;

private:
#ifdef VOKRIN_HAVE_MXCSR
    unsigned m_saved = 0;
#endif
};

} // namespace vokrin::engine::fx
