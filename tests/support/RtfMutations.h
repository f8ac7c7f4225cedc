#pragma once
// Damaged RTF for the readers' robustness tests: a seed changed in a few random places
// (bytes overwritten, cut, removed, repeated, control words inserted), always starting as RTF.

#include <QByteArray>
#include <iterator>
#include <random>
#include <vector>

namespace testing_support {

inline QByteArray mutatedRtf(QByteArray data, std::mt19937& random, int maxChanges, const std::vector<const char*>& marks)
{
    const auto below = [&random](int n) { return n <= 0 ? 0 : int(random() % unsigned(n)); };
    const int changes = 1 + below(maxChanges);
    for (int k = 0; k < changes; ++k) {
        const int at = below(int(data.size()));
        switch (below(5)) {
        case 0: data[at] = char(below(256)); break;
        case 1: data.truncate(std::max(6, at)); break;
        case 2: data.remove(at, below(40)); break;
        case 3: data.insert(at, data.mid(below(int(data.size())), below(60))); break;
        default: data.insert(at, marks[size_t(below(int(marks.size())))]); break;
        }
    }
    if (!data.startsWith("{\\rtf"))
        data.prepend("{\\rtf1 ");
    return data;
}

} // namespace testing_support
