#pragma once

namespace vokrin::engine {

// Magnitude spectrum of 1024 mono samples: a Hann window, then element k = 2·|X[k]|/1024
// for k = 0..511, so a full-scale sine at the centre of bin k reads 0.5 there.
// Safe to call from any thread; allocates nothing after the first call on a thread.
void fft1024Magnitudes(const float *samples1024, float *magnitudes512);

} // namespace vokrin::engine
