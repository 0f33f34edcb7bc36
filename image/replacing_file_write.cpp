#include "image/replacing_file_write.h"

#include "framework/file_system.h"
#include "framework/streams.h"

namespace {

// Removes the temporary file when it goes, unless the file was moved into place.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string name) : name_(std::move(name)) {}
    ~TTemporaryFile()
    {
        if (!name_.empty() && PathKind(name_) != TPathKind::NotFound) RemoveFile(name_);
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    const std::string& Name() const { return name_; }
    void Release() { name_.clear(); }

private:
    std::string name_;
};

}  // namespace

bool WriteFileReplacing(const std::string& target, const std::function<void(const std::string& temporary)>& write)
{
    if (target.empty()) return false;
    try {
        // A target we may not write (read-only, or held by another program)
        // fails as creating it over the old one would, not through the rename,
        // which on some systems replaces even a read-only file.
        const bool replacing = FileExists(target);
        if (replacing) TFileStream probe(target, fmOpenReadWrite);
        TTemporaryFile temporary(TemporarySibling(target));
        write(temporary.Name());
        // The new file takes the old one's permissions; failing that is no reason
        // to lose the picture just written.
        if (replacing) CopyFileMode(target, temporary.Name());
        if (!MoveFileOver(temporary.Name(), target)) return false;
        temporary.Release();
        return true;
    } catch (...) {
        return false;
    }
}
