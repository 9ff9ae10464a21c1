// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zero-padded complex array and its in-place discrete Fourier transform by FFTW, for the
// analysis of recorded signals (impedance, pulse spectra, envelopes). Plans are made with
// FFTW_ESTIMATE: measuring plans would cost seconds per call, and a call is made once per request.
// Complex-to-complex plans are used even for real signals: for long lengths FFTW's estimated
// real-to-complex plans take far longer to make (their twiddle tables) than the transform itself,
// and two real signals packed as real and imaginary parts share one complex transform anyway.

#include <complex>
#include <cstddef>
#include <memory>

// Smallest 2^a·3^b·5^c not below n (n ≥ 1): lengths FFTW transforms fastest.
std::size_t NiceFftLength(std::size_t n);

// Length of the zero-padded transform of a stretch of n samples: at least 8·n up to 2^21 points,
// and never below 2·n. Padding samples the spectrum of the stretch (its discrete-time Fourier
// transform, a continuous function of frequency) on a grid finer than the stretch's own 1/T, so
// that peaks fall between fewer grid points and the parabola through three points, and the linear
// interpolation of band edges, are accurate. A short stretch needs the 8× (its 1/T is coarse); a
// long one already has a grid far finer than any resonance that decays within it, and 2× is kept
// so that the circular transform gives the analytic signal without wrap-around.
std::size_t PaddedFftLength(std::size_t n);

class FourierBuffer {
public:
    explicit FourierBuffer(std::size_t length);
    std::size_t Length() const { return FLength; }
    std::complex<double> *Data() { return FData.get(); }
    const std::complex<double> *Data() const { return FData.get(); }
    std::complex<double> &operator[](std::size_t k) { return FData[k]; }
    const std::complex<double> &operator[](std::size_t k) const { return FData[k]; }
    // X[k] = Σ x[j]·exp(−2πi·jk/N), in place, unnormalised.
    void Forward();
    // x[j] = Σ X[k]·exp(+2πi·jk/N), in place, unnormalised (N times the inverse).
    void Backward();

private:
    struct Free {
        void operator()(std::complex<double> *p) const;
    };
    void Transform(int sign);
    std::size_t FLength;
    std::unique_ptr<std::complex<double>[], Free> FData;
};
