#include "experiments/TomlFile.h"

#include "experiments/ExperimentFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

const Problem kTooLarge{.kind = ProblemKind::FileTooLarge,
                        .count = static_cast<std::int64_t>(ExperimentFile::kLargestFile)};

// The deepest keys a line may hold, counted by their dots.
constexpr int kDeepestKey = 16;

// Refuses, before the parser sees them:
// - binary data: a NUL or a control character other than tab and the line
//   ends;
// - keys nested deeper than kDeepestKey. Nested values stop at the parser's
//   own limit, but dotted keys and table headers nest tables without one,
//   and a deep enough nest exhausts the stack when the parsed tables are
//   freed. TOML keeps a key on one line, so a line's dots outside strings
//   and comments bound how deep its keys nest;
// - text beyond ASCII outside comments and the strings of values. Names are
//   ASCII, and toml++ 3.3 classifies some such characters in keys, bare
//   values and multi-line basic strings by a table with holes, which ends
//   in undefined behaviour.
void Screen(std::string_view text, std::string_view source)
{
    enum class In { Code, Comment, Basic, Literal, MultiLineBasic, MultiLineLiteral };
    In in = In::Code;
    toml::source_position at{1, 1};
    int dots = 0;
    // Where a string is a value's: after the line's "=", outside inline
    // tables (whose keys are strings too).
    bool afterEquals = false;
    int braces = 0;
    // The last character of the line outside strings and blanks: a quote
    // opens a string only where one may start, else the parser reads it as
    // part of a bare word, and so does this screen.
    char last = '\n';
    auto beyondAsciiAllowed = [&] {
        switch (in) {
        case In::Comment:
            return true;
        case In::Basic:
        case In::Literal:
        case In::MultiLineLiteral:
            return afterEquals && braces == 0;
        case In::Code:
        case In::MultiLineBasic:
            break;
        }
        return false;
    };
    std::size_t i = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    auto startsWith = [&](std::string_view token) { return text.substr(i, token.size()) == token; };
    // Moves past count bytes, keeping the line and column.
    auto advance = [&](std::size_t count) {
        for (; count > 0 && i < text.size(); --count, ++i) {
            const char c = text[i];
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                std::array<char, 8> code{};
                std::snprintf(code.data(), code.size(), "0x%02X", static_cast<unsigned>(byte));
                FailAt(source, at, {.kind = ProblemKind::BinaryData, .value = code.data()});
            }
            if (byte >= 0x80 && !beyondAsciiAllowed())
                FailAt(source, at, {.kind = ProblemKind::BeyondAscii});
            if (c != '\n') {
                ++at.column;
                continue;
            }
            ++at.line;
            at.column = 1;
            dots = 0;
            last = '\n';
            if (in == In::Comment || in == In::Basic || in == In::Literal)
                in = In::Code;
            if (in == In::Code)
                afterEquals = false;
        }
    };
    while (i < text.size()) {
        const char c = text[i];
        std::size_t length = 1;
        switch (in) {
        case In::Code: {
            const bool stringMayStart = std::string_view("\n=[{,.").find(last) != std::string_view::npos;
            if (c != ' ' && c != '\t')
                last = c;
            if (c == '#') {
                in = In::Comment;
            } else if ((c == '"' || c == '\'') && stringMayStart) {
                const bool multiLine = startsWith(R"(""")") || startsWith("'''");
                in = c == '"' ? (multiLine ? In::MultiLineBasic : In::Basic)
                              : (multiLine ? In::MultiLineLiteral : In::Literal);
                length = multiLine ? 3 : 1;
            } else if (c == '=') {
                afterEquals = true;
            } else if (c == '{' || c == '}') {
                braces = std::max(0, braces + (c == '{' ? 1 : -1));
            } else if (c == '.' && ++dots > kDeepestKey) {
                FailAt(source, at, {.kind = ProblemKind::KeysTooDeep, .count = kDeepestKey});
            }
            break;
        }
        case In::Comment:
            break;
        case In::Basic:
        case In::MultiLineBasic:
            if (c == '\\') {
                length = 2;
            } else if (in == In::Basic ? c == '"' : startsWith(R"(""")")) {
                length = in == In::Basic ? 1 : 3;
                in = In::Code;
                last = c;
            }
            break;
        case In::Literal:
        case In::MultiLineLiteral:
            if (in == In::Literal ? c == '\'' : startsWith("'''")) {
                length = in == In::Literal ? 1 : 3;
                in = In::Code;
                last = c;
            }
            break;
        }
        advance(length);
    }
}

// The rule the parser's description says was broken.
TomlFault FaultOf(std::string_view description)
{
    if (description.find("end-of-file") != std::string_view::npos || description.find("saw EOF") != std::string_view::npos)
        return TomlFault::EndOfFile;
    if (description.find("cannot redefine") != std::string_view::npos)
        return TomlFault::Redefined;
    if (description.find("control character") != std::string_view::npos)
        return TomlFault::ControlCharacter;
    if (description.find("expected") != std::string_view::npos)
        return TomlFault::Unexpected;
    return TomlFault::Other;
}

} // namespace

void FailAt(std::string_view source, const toml::source_position& at, Problem problem)
{
    problem.place = {.file = std::string(source), .line = at ? at.line : 0, .column = at ? at.column : 0};
    throw SettingsError(std::move(problem));
}

std::string ReadBoundedFile(const std::string& path)
{
    auto fail = [&](Problem problem) -> void {
        problem.place = {.file = path, .unread = true};
        throw SettingsError(std::move(problem));
    };
    auto systemReason = [](int error) { return Problem{.kind = ProblemKind::CannotRead, .value = std::strerror(error)}; };
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        fail(systemReason(errno));
    std::string text;
    std::array<char, 65536> buffer{};
    // One byte past the limit tells a file at the limit from a larger one,
    // without reading the rest of a large file or an endless device.
    while (text.size() <= ExperimentFile::kLargestFile) {
        const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(descriptor);
            fail(systemReason(error));
        }
        if (count == 0)
            break;
        text.append(buffer.data(), static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    if (text.size() > ExperimentFile::kLargestFile)
        fail(kTooLarge);
    return text;
}

toml::table ParseBoundedToml(std::string_view text, std::string_view source)
{
    if (text.size() > ExperimentFile::kLargestFile)
        FailAt(source, {}, kTooLarge);
    Screen(text, source);
    try {
        return toml::parse(text, source);
    } catch (const toml::parse_error& error) {
        const bool tooDeep = error.description().find("TOML_MAX_NESTED_VALUES") != std::string_view::npos;
        FailAt(source, error.source().begin,
               tooDeep ? Problem{.kind = ProblemKind::ValuesTooDeep, .count = TOML_MAX_NESTED_VALUES}
                       : Problem{.kind = ProblemKind::NotToml,
                                 .value = std::string(error.description()),
                                 .tomlFault = FaultOf(error.description())});
    }
}
