// Synthesises the interface sounds and checks them without listening: no clipping, a short soft
// attack, a decay that ends in exact silence and no DC offset. Fully deterministic.
//   TARGET.AVR: mono 16-bit AVR at 44100 Hz; played three times faster it becomes a short woody
//               tick around 1.3 kHz, so it is recorded an octave and a fifth lower and 3x longer.
//   Klink.WAV:  stereo 16-bit WAV at 44100 Hz, a small glassy "klink" around 1.6 kHz.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;

struct Partial {
    double ratio; // frequency / fundamental
    double level; // relative amplitude
    double decay; // time constant in seconds
};

// Sum of exponentially decaying sines under a raised-cosine attack and a raised-cosine tail that
// ends in zero. Every partial starts at phase 0, so the first sample is 0.
std::vector<double> Synth(double f0, const std::vector<Partial>& partials, double seconds, double attack,
                          double tail) {
    const int n = int(seconds * kRate);
    std::vector<double> out(n, 0.0);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        double s = 0.0;
        for (const Partial& p : partials)
            s += p.level * std::exp(-t / p.decay) * std::sin(2.0 * kPi * f0 * p.ratio * t);
        double env = 1.0;
        if (t < attack) env = 0.5 - 0.5 * std::cos(kPi * t / attack);
        const double toEnd = seconds - t - 1.0 / kRate;
        if (toEnd < tail) env *= toEnd <= 0.0 ? 0.0 : 0.5 - 0.5 * std::cos(kPi * toEnd / tail);
        out[i] = s * env;
    }
    return out;
}

// Removes the DC offset without a step: the mean is taken out under a smooth bump, so the ends
// stay at exactly zero.
void RemoveDc(std::vector<double>& x) {
    const size_t n = x.size();
    double mean = 0.0, bumpSum = 0.0;
    std::vector<double> bump(n);
    for (size_t i = 0; i < n; ++i) {
        mean += x[i];
        bump[i] = std::sin(kPi * double(i) / double(n - 1));
        bump[i] *= bump[i];
        bumpSum += bump[i];
    }
    for (size_t i = 0; i < n; ++i)
        x[i] -= mean * bump[i] / bumpSum;
}

std::vector<int16_t> Quantise(const std::vector<double>& x, double peakDbfs) {
    double peak = 0.0;
    for (double v : x)
        peak = std::fmax(peak, std::fabs(v));
    const double gain = std::pow(10.0, peakDbfs / 20.0) * 32767.0 / peak;
    std::vector<int16_t> q(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        q[i] = int16_t(std::lround(x[i] * gain));
    return q;
}

// The listen-free checks; prints the figures and returns false when one fails.
bool Check(const char* name, const std::vector<int16_t>& s, double playRate) {
    int peak = 0;
    size_t peakAt = 0;
    double sum = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += s[i];
        if (std::abs(s[i]) > peak) {
            peak = std::abs(s[i]);
            peakAt = i;
        }
    }
    const double dc = sum / double(s.size()) / 32768.0;
    const double attackMs = 1000.0 * double(peakAt) / (kRate * playRate);
    const double lengthMs = 1000.0 * double(s.size()) / (kRate * playRate);
    bool ok = peak < 32000 && std::fabs(dc) < 1e-4 && attackMs < 10.0 && s.front() == 0 && s.back() == 0;
    std::printf("%-11s %6zu samples, %.0f ms as played, peak %d, attack %.1f ms, dc %.2e: %s\n", name,
                s.size(), lengthMs, peak, attackMs, dc, ok ? "ok" : "FAILED");
    return ok;
}

void Put16Be(std::vector<uint8_t>& b, int v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void Put32Be(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 24; k >= 0; k -= 8)
        b.push_back(uint8_t(v >> k));
}
void Put16Le(std::vector<uint8_t>& b, int v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32Le(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 0; k <= 24; k += 8)
        b.push_back(uint8_t(v >> k));
}

std::vector<uint8_t> MakeAvr(const std::vector<int16_t>& s) {
    std::vector<uint8_t> b = {'2', 'B', 'I', 'T', 'T', 'A', 'R', 'G', 'E', 'T', 0, 0};
    Put16Be(b, 0);      // mono
    Put16Be(b, 16);     // resolution
    Put16Be(b, 0xFFFF); // signed samples
    Put16Be(b, 0);      // no loop
    Put16Be(b, 0xFFFF); // no MIDI split
    Put32Be(b, 0xFF000000u | kRate);
    Put32Be(b, uint32_t(s.size())); // sample count
    Put32Be(b, 0);                  // loop begin
    Put32Be(b, uint32_t(s.size())); // loop end
    b.resize(128, 0);               // reserved, extension and user fields
    for (int16_t v : s)
        Put16Be(b, v);
    return b;
}

std::vector<uint8_t> MakeWavStereo(const std::vector<int16_t>& left, const std::vector<int16_t>& right) {
    const uint32_t data = uint32_t(left.size() * 4);
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
    Put32Le(b, 36 + data);
    for (char c : std::string("WAVEfmt "))
        b.push_back(uint8_t(c));
    Put32Le(b, 16);
    Put16Le(b, 1); // PCM
    Put16Le(b, 2); // stereo
    Put32Le(b, kRate);
    Put32Le(b, kRate * 4);
    Put16Le(b, 4);
    Put16Le(b, 16);
    for (char c : std::string("data"))
        b.push_back(uint8_t(c));
    Put32Le(b, data);
    for (size_t i = 0; i < left.size(); ++i) {
        Put16Le(b, left[i]);
        Put16Le(b, right[i]);
    }
    return b;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : SX_DATA_DIR;

    // Tick: fundamental and a slightly stretched fourth harmonic (a small wooden bar); recorded at
    // a third of its played pitch, with every time constant three times longer.
    std::vector<double> tick =
        Synth(440.0, {{1.0, 1.0, 0.075}, {3.93, 0.22, 0.024}, {2.0, 0.08, 0.04}}, 0.27, 0.009, 0.03);
    RemoveDc(tick);
    const std::vector<int16_t> target = Quantise(tick, -1.0);

    // Klink: a bright fundamental with bell-like inharmonic partials that die away faster; the
    // right channel is a hair later so the file is true stereo (the program plays the left).
    const std::vector<Partial> glass = {
        {1.0, 1.0, 0.11}, {2.76, 0.42, 0.05}, {5.40, 0.16, 0.022}, {8.93, 0.05, 0.012}};
    std::vector<double> kl = Synth(1568.0, glass, 0.40, 0.0015, 0.04);
    std::vector<double> kr = Synth(1571.0, glass, 0.40, 0.0015, 0.04);
    RemoveDc(kl);
    RemoveDc(kr);
    const std::vector<int16_t> left = Quantise(kl, -1.0), right = Quantise(kr, -1.0);

    bool ok = Check("TARGET.AVR", target, 3.0);
    ok = Check("Klink.WAV L", left, 1.0) && ok;
    ok = Check("Klink.WAV R", right, 1.0) && ok;
    if (!ok) return 1;
    if (!Write(dir + "/TARGET.AVR", MakeAvr(target)) ||
        !Write(dir + "/Klink.WAV", MakeWavStereo(left, right))) {
        std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
