// The fuzz targets as an ordinary test: every seed of fuzz/corpus/<target>/
// is replayed, then a fixed number of inputs is made from the seeds by a
// seeded mutator (bytes flipped, inserted, dropped, repeated, spliced, and
// tokens of the target's input language put in). The run is deterministic:
// the same seeds and count give the same inputs on every machine.
//
//     fuzz_smoke [ITERATIONS [SEED]]      default 20000 per target, seed 1
#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

extern "C" int rezydoFuzzFilterExpression(const std::uint8_t*, std::size_t);
extern "C" int rezydoFuzzMoney(const std::uint8_t*, std::size_t);
extern "C" int rezydoFuzzDayText(const std::uint8_t*, std::size_t);

namespace {

using Bytes = std::string;

struct Target {
    const char* name; // the folder of its seeds under fuzz/corpus/
    int (*run)(const std::uint8_t*, std::size_t);
    std::vector<Bytes> tokens;
};

const std::vector<Target>& targets()
{
    static const std::vector<Target> list{
        {"filter_expression",
         rezydoFuzzFilterExpression,
         {" AND ",
          "and",
          " Like ",
          "LIKE",
          "'",
          "''",
          "*",
          "[",
          "]",
          "=",
          "Nazwisko",
          "Od",
          "[Do]",
          "Osob",
          "Kwota",
          "Wykwaterowany",
          "Miejscowość",
          "2026-07-01",
          "Tak",
          "nie",
          "-1",
          "1,50",
          "\t",
          "\n",
          "Ł",
          "ß",
          "\xF0\x9D\x90\x80",
          "\xC2\xA0"}},
        {"money",
         rezydoFuzzMoney,
         {",", ".", "-", "+", " ", "zł", "\xC2\xA0", "\xE2\x80\xAF", "99999999999999", "0000", "5",
          "\xD9\xA5", "\xEF\xBC\x95", std::string("\0\0\0\0\0\0\0\x80", 8), "\xFF"}},
        {"day_text",
         rezydoFuzzDayText,
         {"-", "2026", "-02-29", "1900", "0000", " ", "+", "9999-12-31", "\t", "-999", "13", "00",
          "\xD9\xA2", "\xEF\xBC\x92", "  1"}},
    };
    return list;
}

std::vector<Bytes> seeds(const char* target)
{
    std::vector<Bytes> out;
    const QDir dir(QStringLiteral(REZYDO_FUZZ_CORPUS "/") + QLatin1String(target));
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
        QFile f(file.filePath());
        if (f.open(QIODevice::ReadOnly))
            out.push_back(f.readAll().toStdString());
    }
    return out;
}

class Mutator {
public:
    Mutator(unsigned seed, const std::vector<Bytes>& seeds, const std::vector<Bytes>& tokens)
        : m_random(seed)
        , m_seeds(seeds)
        , m_tokens(tokens)
    {
    }

    Bytes next()
    {
        Bytes b = m_seeds.empty() ? Bytes() : m_seeds[pick(m_seeds.size())];
        const std::size_t steps = 1 + pick(4);
        for (std::size_t i = 0; i < steps; ++i)
            mutate(b);
        if (b.size() > kLongest)
            b.resize(kLongest);
        return b;
    }

private:
    static constexpr std::size_t kLongest = 300;

    std::size_t pick(std::size_t n) { return n == 0 ? 0 : m_random() % n; }

    void mutate(Bytes& b)
    {
        const std::size_t at = pick(b.size() + 1);
        switch (pick(7)) {
        case 0: // a bit flipped
            if (!b.empty())
                b[pick(b.size())] ^= static_cast<char>(1u << pick(8));
            break;
        case 1: // any byte put in
            b.insert(at, 1, static_cast<char>(pick(256)));
            break;
        case 2: // a run dropped
            b.erase(at, 1 + pick(8));
            break;
        case 3: // a run repeated
            if (at < b.size())
                b.insert(at, b.substr(at, 1 + pick(8)));
            break;
        case 4: // the tail of another seed
            if (!m_seeds.empty()) {
                const Bytes& other = m_seeds[pick(m_seeds.size())];
                b = b.substr(0, at) + other.substr(pick(other.size() + 1));
            }
            break;
        default: // a token of the language
            if (!m_tokens.empty())
                b.insert(at, m_tokens[pick(m_tokens.size())]);
            break;
        }
    }

    std::mt19937 m_random;
    const std::vector<Bytes>& m_seeds;
    const std::vector<Bytes>& m_tokens;
};

int run(const Target& t, const Bytes& input)
{
    return t.run(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

} // namespace

int main(int argc, char** argv)
{
    fuzzApplication();
    const long iterations = argc > 1 ? std::stol(argv[1]) : 20000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 1;
    for (const Target& t : targets()) {
        const std::vector<Bytes> corpus = seeds(t.name);
        if (corpus.empty()) {
            std::fprintf(stderr, "%s: no seeds in " REZYDO_FUZZ_CORPUS "/%s\n", t.name, t.name);
            return 1;
        }
        for (const Bytes& input : corpus)
            run(t, input);
        Mutator mutator(seed, corpus, t.tokens);
        for (long i = 0; i < iterations; ++i)
            run(t, mutator.next());
        std::printf("%s: %zu seeds and %ld made inputs, every property held\n", t.name,
                    corpus.size(), iterations);
    }
    return 0;
}
