#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QTest>

#include <array>

/*
 * Random and mutated input for the parser tests. Input is broken the ways
 * files and programs break it: cut short, bytes changed, NUL and invalid UTF-8
 * put in, a piece repeated elsewhere or grown into a megabyte line, line ends
 * turned into CR alone, or plain noise. A run draws from one seed, taken from
 * KX_FUZZ_SEED or else the clock, and every failure names it so that the run
 * can be repeated exactly.
 */
namespace mutations {

enum Kind { Cut, Flip, Nul, BadUtf8, CrOnly, Splice, MegabyteLine, Noise, Mixed };

/// One row per kind, named after it, for a test's _data() table.
inline void addKindRows()
{
    QTest::addColumn<int>("kind");
    const std::array<const char*, 9> names = {"cut short",     "bytes changed", "NUL",
                                              "invalid UTF-8", "CR alone",      "piece moved",
                                              "1 MB line",     "pure noise",    "several at once"};
    for (int kind = Cut; kind <= Mixed; ++kind)
        QTest::newRow(names[kind]) << kind;
}

inline quint32 runSeed()
{
    static const quint32 seed = [] {
        bool ok = false;
        const quint32 fromEnvironment = qEnvironmentVariable("KX_FUZZ_SEED").toUInt(&ok);
        const quint32 s = ok ? fromEnvironment : QRandomGenerator::system()->generate();
        qInfo("Random input from seed %u (KX_FUZZ_SEED=%u repeats this run)", s, s);
        return s;
    }();
    return seed;
}

class Mutator
{
public:
    /// A generator for the current test row: the run's seed mixed with the
    /// row's name, so each row's cases stay the same whatever else runs.
    Mutator() : m_rng(runSeed() ^ nameHash(QTest::currentDataTag()))
    {
        QFETCH(int, kind);
        m_kind = Kind(kind);
    }

    /// Cases worth trying for the row: few for megabyte lines, many otherwise.
    int cases(int many) const { return m_kind == MegabyteLine ? 3 : many; }

    int below(int n) { return n <= 0 ? 0 : int(m_rng.bounded(quint32(n))); }
    bool chance(int percent) { return below(100) < percent; }
    template<typename List> const auto& pick(const List& list)
    {
        return list.at(below(int(list.size())));
    }

    /// The input broken the row's way.
    QByteArray mutate(QByteArray data)
    {
        if (m_kind != Mixed)
            return apply(std::move(data), m_kind);
        for (int n = 2 + below(3); n > 0; --n)
            data = apply(std::move(data), Kind(below(MegabyteLine)));
        return data;
    }

    /// Names the seed and the case; shows the input's start, escaped.
    QByteArray where(int i, const QByteArray& input) const
    {
        const QByteArray shown = input.left(160).toPercentEncoding(" /;=[]\"+#!?-.,:()");
        return QByteArray("seed ") + QByteArray::number(runSeed()) + ", row \"" +
               QTest::currentDataTag() + "\", case " + QByteArray::number(i) + ": " + shown +
               (input.size() > 160 ? "..." : "");
    }

private:
    static quint32 nameHash(const char* name)
    {
        quint32 h = 2166136261u; // FNV-1a: the same for every run, unlike qHash
        for (; name && *name; ++name)
            h = (h ^ quint8(*name)) * 16777619u;
        return h;
    }

    QByteArray apply(QByteArray data, Kind kind)
    {
        static const std::array<QByteArray, 6> badUtf8 = {"\xff",     "\xc3",         "\xe2\x82",
                                                          "\xc0\xaf", "\xed\xa0\x80", "\x80"};
        const auto at = [&] {
            return below(int(data.size()) + 1);
        };
        switch (kind) {
        case Cut:
            return data.left(at());
        case Flip:
            for (int n = 1 + below(4); n > 0 && !data.isEmpty(); --n)
                data[below(int(data.size()))] = char(below(256));
            return data;
        case Nul:
            for (int n = 1 + below(3); n > 0; --n)
                data.insert(at(), '\0');
            return data;
        case BadUtf8:
            for (int n = 1 + below(2); n > 0; --n)
                data.insert(at(), pick(badUtf8));
            return data;
        case CrOnly:
            if (chance(50))
                return data.replace("\r\n", "\r").replace('\n', '\r');
            return data.insert(at(), '\r');
        case Splice:
        case MegabyteLine: {
            const int from = below(int(data.size()));
            QByteArray piece = data.mid(from, 1 + below(16));
            if (piece.isEmpty())
                piece = "[";
            if (kind == MegabyteLine) {
                piece.replace('\n', ' ').replace('\r', ' ');
                piece = piece.repeated((1 << 20) / piece.size() + 1);
            }
            return data.insert(at(), piece);
        }
        case Noise:
        case Mixed:
            break;
        }
        // Mostly the characters the parsers look for, some of any byte.
        static const QByteArray structural = "bm ;\"[]=/*\\\r\n\t+#!?-.0123456789eKQRBNPkqrbnpxO";
        QByteArray noise;
        for (int n = below(200); n > 0; --n)
            noise += chance(80) ? structural.at(below(int(structural.size()))) : char(below(256));
        return noise;
    }

    QRandomGenerator m_rng;
    Kind m_kind = Cut;
};

} // namespace mutations
