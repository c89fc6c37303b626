#include "cli/Output.h"

#include "toolkit/AtomicFile.h"

#include <cerrno>
#include <system_error>

namespace cli {

void WriteStandardOutput(std::ostream& out, std::string_view text)
{
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    // The system's reason is in errno: the standard output stream has none
    // of its own.
    if (!out)
        throw std::system_error(errno, std::generic_category(), "write error");
}

void OutputSink::Write(std::string_view text) const
{
    if (IsStandardOutput())
        WriteStandardOutput(*out_, text);
    else
        toolkit::ReplaceFile(path_, text);
}

void OutputSink::Stream(const std::function<void(const CsvWrite&)>& make) const
{
    if (IsStandardOutput()) {
        make([this](std::string_view piece) { WriteStandardOutput(*out_, piece); });
        return;
    }
    toolkit::FileReplacement file(path_);
    make([&file](std::string_view piece) { file.Write(piece); });
    file.Commit();
}

} // namespace cli
