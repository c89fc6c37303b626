#include "plot/RecentColumns.h"

#include <algorithm>

std::vector<ColumnValues> RecentColumns::Read(const MinMaxPyramid& pyramid, std::span<const double> values,
                                              std::span<const MinMaxPyramid::Stretch> columns)
{
    std::vector<MinMaxPyramid::Stretch> rests;
    rests.reserve(columns.size());
    for (const MinMaxPyramid::Stretch& column : columns)
        rests.push_back({column.first + 1, column.end});
    const std::vector<ValueSpan> spans = pyramid.Over(values, rests);
    std::vector<ColumnValues> read;
    read.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        read.push_back({values[columns[i].first], values[columns[i].end - 1], spans[i]});
    return read;
}

std::vector<ColumnValues> RecentColumns::Of(const MinMaxPyramid& pyramid, std::span<const double> values,
                                            std::span<const MinMaxPyramid::Stretch> columns, std::uint64_t revision)
{
    if (revision != revision_)
        frames_.clear();
    revision_ = revision;
    // Each remembered frame is in ascending order: one pass over each finds
    // every column it holds.
    std::vector<std::size_t> at(frames_.size(), 0);
    std::vector<std::size_t> hits(frames_.size(), 0);
    std::vector<ColumnValues> found(columns.size());
    std::vector<MinMaxPyramid::Stretch> unknown;
    std::vector<std::size_t> unknownAt;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const MinMaxPyramid::Stretch column = columns[i];
        bool known = false;
        for (std::size_t f = 0; f < frames_.size(); ++f) {
            const Frame& frame = frames_[f];
            std::size_t& k = at[f];
            while (k < frame.size() && frame[k].column.first < column.first)
                ++k;
            if (k < frame.size() && frame[k].column == column) {
                found[i] = frame[k].values;
                known = true;
                ++hits[f];
            }
        }
        if (!known) {
            unknown.push_back(column);
            unknownAt.push_back(i);
        }
    }
    const std::vector<ColumnValues> read = Read(pyramid, values, unknown);
    for (std::size_t j = 0; j < read.size(); ++j)
        found[unknownAt[j]] = read[j];
    lastRead_ = read.size();

    // A frame seen again goes first again, rather than taking the place of
    // another.
    for (std::size_t f = 0; f < frames_.size(); ++f)
        if (hits[f] == columns.size() && frames_[f].size() == columns.size()) {
            std::rotate(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(f),
                        frames_.begin() + static_cast<std::ptrdiff_t>(f) + 1);
            return found;
        }
    Frame frame(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        frame[i] = {columns[i], found[i]};
    std::ranges::sort(frame, {}, [](const Known& known) { return known.column.first; });
    frames_.push_front(std::move(frame));
    if (frames_.size() > kFrames)
        frames_.pop_back();
    return found;
}
