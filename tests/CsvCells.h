#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

// Reads back the CSV the chart writes: rows of comma-separated cells, and
// numbers parsed exactly, as any program reading the file would.
inline std::vector<std::vector<std::string>> CsvRows(std::string_view csv)
{
    std::vector<std::vector<std::string>> rows;
    while (!csv.empty()) {
        const std::string_view line = csv.substr(0, csv.find('\n'));
        csv.remove_prefix(std::min(csv.size(), line.size() + 1));
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos; start = comma + 1)
            cells.emplace_back(line.substr(start, comma - start));
        cells.emplace_back(line.substr(start));
        rows.push_back(std::move(cells));
    }
    return rows;
}

inline double CsvNumber(std::string_view cell)
{
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(error == std::errc{} && end == cell.data() + cell.size()) << "not a number: '" << cell << "'";
    return value;
}
