// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/FourierBuffer.h"

#include <fftw3.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

// std::complex<double> has the layout of fftw_complex (double[2]), as FFTW's manual states.
static_assert(sizeof(std::complex<double>) == sizeof(fftw_complex));

std::size_t NiceFftLength(std::size_t n) {
    if (n <= 1)
        return 1;
    std::size_t best = std::numeric_limits<std::size_t>::max();
    for (std::size_t p5 = 1; p5 < best; p5 *= 5) {
        for (std::size_t p35 = p5; p35 < best; p35 *= 3) {
            std::size_t m = p35;
            while (m < n)
                m *= 2;
            best = std::min(best, m);
            if (p35 > best / 3)
                break;
        }
        if (p5 > best / 5)
            break;
    }
    return best;
}

std::size_t PaddedFftLength(std::size_t n) {
    constexpr std::size_t kFinePaddingUpTo = std::size_t{1} << 21;
    return NiceFftLength(std::max(2 * n, std::min(8 * n, kFinePaddingUpTo)));
}

void FourierBuffer::Free::operator()(std::complex<double> *p) const {
    std::free(p);
}

FourierBuffer::FourierBuffer(std::size_t length) : FLength(length) {
    if (length == 0 || length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("Fourier transform length out of range");
    // A buffer of megabytes is touched page by page on first use, and on a virtual machine each
    // fault of a 4 KiB page costs microseconds: a 2-million-point buffer took longer to fault in
    // than to transform. Large buffers are therefore aligned to 2 MiB and offered huge pages.
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const std::size_t bytes = sizeof(std::complex<double>) * length;
    const std::size_t alignment = bytes >= kHugePage ? kHugePage : 64;
    void *p = std::aligned_alloc(alignment, (bytes + alignment - 1) / alignment * alignment);
    if (!p)
        throw std::bad_alloc();
    if (alignment == kHugePage)
        madvise(p, bytes, MADV_HUGEPAGE); // advice only: without huge pages it is merely slower
    FData.reset(static_cast<std::complex<double> *>(p));
    std::fill_n(FData.get(), length, std::complex<double>{});
}

void FourierBuffer::Forward() {
    Transform(FFTW_FORWARD);
}
void FourierBuffer::Backward() {
    Transform(FFTW_BACKWARD);
}

void FourierBuffer::Transform(int sign) {
    auto *a = reinterpret_cast<fftw_complex *>(FData.get());
    // FFTW_ESTIMATE leaves the array untouched while planning.
    fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(FLength), a, a, sign, FFTW_ESTIMATE);
    if (!plan)
        throw std::runtime_error("FFTW could not plan the transform");
    fftw_execute(plan);
    fftw_destroy_plan(plan);
}
