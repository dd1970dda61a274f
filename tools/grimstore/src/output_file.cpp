#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

namespace grimstore {
namespace {

namespace fs = std::filesystem;

// More links in a row than this are taken for a loop, as the system does.
constexpr int kMaxLinks = 40;
constexpr std::size_t kBufferSize = 1 << 16;
constexpr mode_t kPermissionBits = 07777;

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// Writes to a file descriptor through a buffer of its own.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(kBufferSize) {
        setp(buffer_.data(), buffer_.data() + kBufferSize);
    }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    // Writes out the buffered bytes; false (errno kept) when the system refuses them.
    bool drain() {
        for (const char* at = pbase(); at < pptr();) {
            const ssize_t written = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                error_ = written < 0 ? errno : EIO;
                return false;
            }
            at += written;
        }
        setp(buffer_.data(), buffer_.data() + kBufferSize);
        return true;
    }

    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

// A name beside the target that no other file has.
std::string partialName(const std::string& target) {
    std::random_device random;
    return target + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(random());
}

// Makes a rename durable: the folder's entry must reach the disk too.
void syncFolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::optional<OutputPath> resolveOutput(const std::string& path, std::string& error) {
    if (path == "-") return OutputPath{OutputKind::StandardOutput, path};
    fs::path at = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) {
            if (errno == ENOENT) return OutputPath{OutputKind::Replace, at.string()};
            error = systemError(at.string());
            return std::nullopt;
        }
        if (S_ISREG(st.st_mode)) return OutputPath{OutputKind::Replace, at.string()};
        if (!S_ISLNK(st.st_mode)) return OutputPath{OutputKind::Direct, at.string()};
        std::error_code failure;
        const fs::path named = fs::read_symlink(at, failure);
        if (failure) {
            error = at.string() + ": " + failure.message();
            return std::nullopt;
        }
        at = named.is_absolute() ? named : at.parent_path() / named;
    }
    error = path + ": too many symbolic links in a row";
    return std::nullopt;
}

std::optional<std::string> dataFileTarget(const std::string& path, std::string& error) {
    const auto target = resolveOutput(path, error);
    if (!target) return std::nullopt;
    if (target->kind == OutputKind::Replace) return target->path;
    error = target->kind == OutputKind::StandardOutput
                ? "a data file cannot be written to standard output"
                : path + " is not a regular file; a data file cannot be written into it";
    return std::nullopt;
}

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    stream_ = nullptr;
    ownStream_.reset();
    buffer_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!partial_.empty()) ::unlink(partial_.c_str());
    partial_.clear();
}

bool OutputFile::open(const std::string& path, std::ostream& standardOutput, std::string& error) {
    discard();
    name_ = path;
    const auto target = resolveOutput(path, error);
    if (!target) return false;
    target_ = *target;
    if (target_.kind == OutputKind::StandardOutput) {
        stream_ = &standardOutput;
        return true;
    }
    if (target_.kind == OutputKind::Direct) {
        // No creating and no truncating: what stands there takes the bytes as they come.
        fd_ = ::open(target_.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            error = systemError(path + ": cannot write");
            return false;
        }
        struct stat opened {};
        if (::fstat(fd_, &opened) != 0 || S_ISREG(opened.st_mode)) {
            error = path + ": became a regular file while it was opened; not written";
            discard();
            return false;
        }
    } else {
        struct stat old {};
        const bool replacing = ::stat(target_.path.c_str(), &old) == 0;
        for (int attempt = 0; fd_ < 0 && attempt < 10; ++attempt) {
            partial_ = partialName(target_.path);
            fd_ = ::open(partial_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) {
            error = systemError(partial_ + ": cannot write");
            partial_.clear();
            return false;
        }
        // The new file keeps the permissions of the one it replaces.
        if (replacing) ::fchmod(fd_, old.st_mode & kPermissionBits);
    }
    buffer_ = std::make_unique<DescriptorBuffer>(fd_);
    ownStream_ = std::make_unique<std::ostream>(buffer_.get());
    stream_ = ownStream_.get();
    return true;
}

bool OutputFile::commit(std::string& error) {
    if (!stream_) {
        error = name_ + ": not open";
        return false;
    }
    stream_->flush();
    if (target_.kind == OutputKind::StandardOutput) {
        const bool written = bool(*stream_);
        discard();
        if (!written) error = "writing to standard output failed";
        return written;
    }
    const auto& buffer = static_cast<const DescriptorBuffer&>(*buffer_);
    const std::string written = target_.kind == OutputKind::Replace ? partial_ : name_;
    if (!*stream_) {
        errno = buffer.error();
        error = systemError(written + ": write failed");
        return false;
    }
    if (target_.kind == OutputKind::Replace && ::fsync(fd_) != 0) {
        error = systemError(written + ": sync failed");
        return false;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        error = systemError(written + ": write failed");
        return false;
    }
    if (target_.kind == OutputKind::Replace) {
        if (::rename(partial_.c_str(), target_.path.c_str()) != 0) {
            error = systemError(target_.path + ": cannot replace");
            return false;
        }
        partial_.clear();
        syncFolderOf(target_.path);
    }
    discard();
    return true;
}

}  // namespace grimstore
