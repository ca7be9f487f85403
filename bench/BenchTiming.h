#pragma once
// The clock and the statistics every benchmark prints its figures with.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
inline double NowMs() noexcept {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t{};
    ::QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / frequency;
}

// How long one call of `work` takes, in milliseconds.
template <typename Work> double TimeMs(Work&& work) {
    const double start = NowMs();
    work();
    return NowMs() - start;
}

// The nearest-rank percentile (0 < p <= 1) of the samples; 0 without samples.
inline double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<size_t>(p * static_cast<double>(samples.size()) + 0.999999) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

// The middle sample (the mean of the two middle ones for an even count); 0 without samples.
inline double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const size_t mid = samples.size() / 2;
    return samples.size() % 2 != 0 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2.0;
}

} // namespace bench
