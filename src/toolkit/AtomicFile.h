#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// Checked writes for the program's outputs, Qt-free so that the batch tool
// and any other writer can share them. Failures throw std::system_error
// whose what() is "<context>: <the system's reason>", and whose code() is the
// system's error.

namespace toolkit {

// Writes the whole text to an open descriptor, however the system splits
// the write; context starts the message of the error thrown on failure.
void WriteAll(int descriptor, std::string_view text, const std::string& context);

// Replaces the file at path by one holding exactly text. The text goes to a
// new file beside it, which is flushed to the disk and then renamed over the
// target, so a failure at any point (a full disk, a size limit, a crash)
// leaves the old file byte for byte and no temporary file behind. The new
// file keeps an existing target's permissions, and a symbolic link keeps
// pointing at the replaced file. A device or pipe (/dev/stdout, a shell's
// process substitution) has no contents to keep and is written in place.
// The error names the path: "cannot write '<path>': <reason>".
void ReplaceFile(const std::filesystem::path& path, std::string_view text);

// ReplaceFile for a text written piece by piece, never held whole: the
// pieces go to the new file, which replaces the target on Commit(). Gone
// uncommitted (an error while the text was made), it leaves the target as
// it was. A device or pipe is written in place as the pieces come.
class FileReplacement {
public:
    explicit FileReplacement(const std::filesystem::path& path);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    void Write(std::string_view text);
    void Commit();

private:
    struct Open;
    std::unique_ptr<Open> open_;
};

} // namespace toolkit
