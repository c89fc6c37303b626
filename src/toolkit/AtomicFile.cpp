#include "toolkit/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>
#include <utility>

namespace toolkit {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void ThrowSystemError(int error, const std::string& context)
{
    throw std::system_error(error, std::generic_category(), context);
}

// An open file's descriptor, closed on every way out.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }

    int Descriptor() const { return descriptor_; }

    // Some file systems report a failed write only when the file is closed.
    void Close(const std::string& context)
    {
        if (::close(std::exchange(descriptor_, -1)) != 0)
            ThrowSystemError(errno, context);
    }

private:
    int descriptor_;
};

// Creates a file beside the target under a name no other writer holds and
// sets created to it. The mode 0666 lets the umask decide the permissions,
// as it would for the target itself.
int CreateBeside(const fs::path& target, fs::path& created, const std::string& context)
{
    constexpr int kAttempts = 100;
    const std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0;; ++attempt) {
        created = target;
        created.replace_filename(stem + std::to_string(attempt) + ".tmp");
        const int descriptor = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0)
            return descriptor;
        if (errno != EEXIST || attempt == kAttempts)
            ThrowSystemError(errno, context);
    }
}

// The new text's file until it is renamed over the target; removed if that
// never happens.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, const std::string& context)
        : context_(context), file_(CreateBeside(target, path_, context))
    {
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!renamed_)
            ::unlink(path_.c_str());
    }

    int Descriptor() const { return file_.Descriptor(); }

    // The data reaches the disk before the rename, so after a crash the
    // target holds the old text or the new one, never a part of it.
    void RenameOver(const fs::path& target)
    {
        if (::fsync(file_.Descriptor()) != 0)
            ThrowSystemError(errno, context_);
        file_.Close(context_);
        if (::rename(path_.c_str(), target.c_str()) != 0)
            ThrowSystemError(errno, context_);
        renamed_ = true;
    }

private:
    std::string context_;
    fs::path path_;
    OpenFile file_;
    bool renamed_ = false;
};

std::optional<struct stat> StatusOf(const fs::path& path, const std::string& context)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return status;
    if (errno != ENOENT)
        ThrowSystemError(errno, context);
    return std::nullopt;
}

fs::path ResolvedLinks(const fs::path& path, const std::string& context)
{
    std::error_code error;
    fs::path resolved = fs::canonical(path, error);
    if (error)
        ThrowSystemError(error.value(), context);
    return resolved;
}

int OpenInPlace(const fs::path& path, const std::string& context)
{
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        ThrowSystemError(errno, context);
    return descriptor;
}

} // namespace

void WriteAll(int descriptor, std::string_view text, const std::string& context)
{
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            ThrowSystemError(errno, context);
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ReplaceFile(const fs::path& path, std::string_view text)
{
    FileReplacement replacement(path);
    replacement.Write(text);
    replacement.Commit();
}

// The device written in place, or the new file and the target it replaces.
struct FileReplacement::Open {
    std::string context;
    std::optional<OpenFile> device;
    std::optional<TemporaryFile> temporary;
    fs::path target;

    int Descriptor() const { return device ? device->Descriptor() : temporary->Descriptor(); }
};

FileReplacement::FileReplacement(const fs::path& path) : open_(std::make_unique<Open>())
{
    const std::string& context = open_->context = "cannot write '" + path.string() + "'";
    const std::optional<struct stat> existing = StatusOf(path, context);
    if (existing && !S_ISREG(existing->st_mode)) {
        open_->device.emplace(OpenInPlace(path, context));
        return;
    }
    // A file the user may not write stays protected, though its directory
    // would let a rename replace it.
    if (existing && ::access(path.c_str(), W_OK) != 0)
        ThrowSystemError(errno, context);
    open_->target = existing ? ResolvedLinks(path, context) : path;
    open_->temporary.emplace(open_->target, context);
    if (existing && ::fchmod(open_->temporary->Descriptor(), existing->st_mode & 07777) != 0)
        ThrowSystemError(errno, context);
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::Write(std::string_view text)
{
    WriteAll(open_->Descriptor(), text, open_->context);
}

void FileReplacement::Commit()
{
    if (open_->device)
        open_->device->Close(open_->context);
    else
        open_->temporary->RenameOver(open_->target);
}

} // namespace toolkit
