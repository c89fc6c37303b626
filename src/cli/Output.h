#pragma once

#include "plot/CsvTable.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace cli {

// The tool's standard output and standard error: the process's own, or a
// caller's streams when the tool runs in process.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Writes the text to standard output whole and flushed, so that a lost
// output is reported, never taken for success: raises std::system_error
// "write error: REASON" when the stream fails.
void WriteStandardOutput(std::ostream& out, std::string_view text);

// Where one of the tool's outputs goes: standard output for "-", otherwise a
// file that is replaced only once its text is complete. Every write is
// checked.
class OutputSink {
public:
    OutputSink(std::string path, std::ostream& standardOutput) : path_(std::move(path)), out_(&standardOutput) {}

    static OutputSink StandardOutput(std::ostream& out) { return OutputSink("-", out); }

    bool IsStandardOutput() const { return path_ == "-"; }
    const std::string& Path() const { return path_; }

    void Write(std::string_view text) const;

    // Writes what make gives its writer piece by piece; a file is replaced
    // only once make has ended.
    void Stream(const std::function<void(const CsvWrite&)>& make) const;

private:
    std::string path_;
    std::ostream* out_;
};

} // namespace cli
