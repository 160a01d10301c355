// Writes the About tune: an original, cheerful four-channel module ("M.K." layout) in C major,
// with every sample synthesized here. Bass on channel 1, melody on 2, drums on 3, an
// arpeggiated chord on 4.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr double kPi = 3.14159265358979323846;

// Amiga periods for C-1 .. B-3, finetune 0.
constexpr int kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                              428, 404, 381, 360, 340, 320, 302, 285, 269, 254, 240, 226,
                              214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

enum Sample { sNone, sLead, sBass, sKick, sSnare, sHat, sPad };

struct SampleData {
    const char* name;
    std::vector<std::int8_t> data;
    int volume;
    bool loop;
};

std::int8_t Clip(double v) {
    const long r = std::lround(v);
    return std::int8_t(r > 127 ? 127 : r < -128 ? -128 : r);
}

std::uint32_t g_noise = 0x1234567u;
double Noise() {
    g_noise = g_noise * 1664525u + 1013904223u;
    return double(int(g_noise >> 16 & 0xFFFF) - 32768) / 32768.0;
}

std::vector<SampleData> MakeSamples() {
    std::vector<SampleData> s;
    { // Lead: a soft pulse blended with a triangle, one 32-byte cycle.
        std::vector<std::int8_t> d;
        for (int i = 0; i < 32; ++i) {
            const double tri = i < 16 ? -1 + i / 8.0 : 3 - i / 8.0;
            const double pulse = i < 12 ? 1 : -1;
            d.push_back(Clip(70 * tri + 40 * pulse));
        }
        s.push_back({"sunny lead", d, 44, true});
    }
    { // Bass: triangle with a little saw, one 64-byte cycle (an octave below the lead).
        std::vector<std::int8_t> d;
        for (int i = 0; i < 64; ++i) {
            const double tri = i < 32 ? -1 + i / 16.0 : 3 - i / 16.0;
            const double saw = -1 + i / 32.0;
            d.push_back(Clip(90 * tri + 25 * saw));
        }
        s.push_back({"round bass", d, 56, true});
    }
    { // Kick: a sine falling from about 160 Hz to 45 Hz at C-2's 8287 Hz.
        std::vector<std::int8_t> d;
        double phase = 0;
        for (int i = 0; i < 2400; ++i) {
            const double t = i / 2400.0;
            phase += 2 * kPi * (45 + 115 * std::exp(-t * 9)) / 8287.0;
            d.push_back(Clip(120 * std::exp(-t * 4.5) * std::sin(phase)));
        }
        d[0] = d[1] = 0;
        s.push_back({"kick", d, 64, false});
    }
    { // Snare: noise over a short 190 Hz tone.
        std::vector<std::int8_t> d;
        for (int i = 0; i < 2600; ++i) {
            const double t = i / 2600.0;
            const double tone = std::sin(2 * kPi * 190 * i / 8287.0) * std::exp(-t * 12);
            d.push_back(Clip(110 * (0.7 * Noise() * std::exp(-t * 6) + 0.5 * tone)));
        }
        d[0] = d[1] = 0;
        s.push_back({"snare", d, 48, false});
    }
    { // Hi-hat: differenced noise, very short.
        std::vector<std::int8_t> d;
        double last = 0;
        for (int i = 0; i < 700; ++i) {
            const double n = Noise();
            d.push_back(Clip(90 * (n - last) * 0.5 * std::exp(-i / 120.0)));
            last = n;
        }
        d[0] = d[1] = 0;
        s.push_back({"hat", d, 30, false});
    }
    { // Pad: a few harmonics, one 32-byte cycle, played quietly under the tune.
        std::vector<std::int8_t> d;
        for (int i = 0; i < 32; ++i) {
            const double p = 2 * kPi * i / 32.0;
            d.push_back(Clip(60 * std::sin(p) + 30 * std::sin(2 * p) + 15 * std::sin(3 * p)));
        }
        s.push_back({"chord organ", d, 18, true});
    }
    return s;
}

// Note names such as "E2" (octave 1 to 3 in module terms); -1 for a rest.
int Note(const std::string& n) {
    static const char* names = "C D EF G A B";
    int semitone = 0;
    while (names[semitone] != n[0])
        ++semitone;
    std::size_t i = 1;
    if (n[i] == '#') {
        ++semitone;
        ++i;
    }
    return (n[i] - '1') * 12 + semitone;
}

struct Cell {
    int sample = 0;
    int note = -1;
    int effect = 0;
    int param = 0;
};

struct Pattern {
    Cell cells[kRows][kChannels];
};

struct Chord {
    int root; // note index in octave 1
    bool minor;
};

// A pattern: four chords of 16 rows each and a melody written as "NOTE/ROWS" words ("-" rests,
// "|" marks bars for the reader only).
Pattern MakePattern(const std::vector<Chord>& chords, const std::string& melody, bool fill) {
    Pattern p;
    for (int bar = 0; bar < 4; ++bar) {
        const Chord c = chords[std::size_t(bar)];
        for (int r = 0; r < 16; ++r) {
            const int row = bar * 16 + r;
            // Bouncing octave bass on the eighths.
            if (r % 2 == 0) {
                const bool up = (r / 2) % 2 == 1;
                p.cells[row][0] = {sBass, c.root + (up ? 12 : 0), 0, 0};
            }
            // Drums: kick on beats 1 and 3, snare on 2 and 4, hats between.
            const bool lastBar = bar == 3 && fill;
            if (r == 0 || r == 8 || (r == 10 && bar % 2 == 1))
                p.cells[row][2] = {sKick, Note("C2"), 0, 0};
            else if (r == 4 || r == 12 || (lastBar && r >= 13))
                p.cells[row][2] = {sSnare, Note("C2"), 0, 0};
            else if (r % 2 == 0)
                p.cells[row][2] = {sHat, Note("C3"), 0, 0};
            // Chord: root in octave 2 with a major or minor arpeggio on every row.
            const int arp = c.minor ? 0x37 : 0x47;
            if (r == 0)
                p.cells[row][3] = {sPad, c.root + 12, 0x0, arp};
            else
                p.cells[row][3] = {0, -1, 0x0, arp};
        }
    }
    int row = 0;
    std::istringstream words(melody);
    std::string word;
    while (words >> word && row < kRows) {
        if (word == "|")
            continue;
        const std::size_t slash = word.find('/');
        const std::string name = word.substr(0, slash);
        if (name == "-")
            p.cells[row][1] = {0, -1, 0xC, 0}; // rest: silence the lead
        else
            p.cells[row][1] = {sLead, Note(name), 0, 0};
        row += std::stoi(word.substr(slash + 1));
    }
    return p;
}

void Put16BE(std::string& s, unsigned v) {
    s += char((v >> 8) & 255);
    s += char(v & 255);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.mod\n", argv[0]);
        return 2;
    }
    const Chord C{Note("C1"), false}, G{Note("G1"), false}, Am{Note("A1"), true},
        F{Note("F1"), false};

    std::vector<Pattern> patterns;
    patterns.push_back(MakePattern({C, G, Am, F},
                                   "G2/4 C3/4 E3/4 D3/2 C3/2 | D3/4 B2/4 G2/6 A2/2 | "
                                   "C3/4 E3/4 A2/4 B2/2 C3/2 | A2/4 C3/4 F3/4 E3/2 D3/2",
                                   false));
    patterns.push_back(MakePattern({C, G, F, G},
                                   "E3/2 E3/2 G3/4 E3/4 C3/4 | D3/2 D3/2 B2/4 G2/4 B2/4 | "
                                   "C3/2 A2/2 F2/4 A2/4 C3/4 | D3/4 G2/4 B2/4 D3/4",
                                   true));
    patterns.push_back(MakePattern({Am, F, C, G},
                                   "A2/6 C3/2 E3/4 D3/4 | C3/6 A2/2 F2/4 A2/4 | "
                                   "G2/4 C3/4 E3/4 G3/4 | F3/4 E3/4 D3/8",
                                   true));
    patterns.push_back(MakePattern({F, G, C, C},
                                   "A3/4 G3/4 F3/4 E3/4 | D3/4 E3/4 F3/4 D3/4 | "
                                   "E3/4 C3/4 G2/4 E2/4 | C3/12 -/4",
                                   false));
    // About 54 seconds at speed 6, 125 BPM (7.68 s per pattern).
    const std::vector<int> order = {0, 1, 2, 1, 0, 2, 3};

    const std::vector<SampleData> samples = MakeSamples();
    std::string mod = "sunny side up";
    mod.resize(20, '\0');
    for (std::size_t i = 0; i < 31; ++i) {
        std::string header;
        if (i < samples.size()) {
            const SampleData& s = samples[i];
            header = s.name;
            header.resize(22, '\0');
            const unsigned words = unsigned(s.data.size() / 2);
            Put16BE(header, words);
            header += char(0); // finetune
            header += char(s.volume);
            Put16BE(header, 0);
            Put16BE(header, s.loop ? words : 1);
        } else {
            header.assign(22, '\0');
            Put16BE(header, 0);
            header += char(0);
            header += char(0);
            Put16BE(header, 0);
            Put16BE(header, 1);
        }
        mod += header;
    }
    mod += char(order.size());
    mod += char(127);
    std::string table(128, '\0');
    for (std::size_t i = 0; i < order.size(); ++i)
        table[i] = char(order[i]);
    mod += table;
    mod += "M.K.";
    for (const Pattern& p : patterns) {
        for (int r = 0; r < kRows; ++r) {
            for (int ch = 0; ch < kChannels; ++ch) {
                const Cell& c = p.cells[r][ch];
                const int period = c.note >= 0 ? kPeriods[c.note] : 0;
                mod += char((c.sample & 0xF0) | (period >> 8));
                mod += char(period & 0xFF);
                mod += char(((c.sample & 0x0F) << 4) | (c.effect & 0x0F));
                mod += char(c.param);
            }
        }
    }
    for (const SampleData& s : samples)
        mod.append(reinterpret_cast<const char*>(s.data.data()), s.data.size());

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(mod.data(), std::streamsize(mod.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
