#include "image/replacing_file_write.h"

#include <optional>

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

// Nothing is kept when the target is missing: the new file is made under its own
// name, sparing the temporary name, the move and their calls to the file system.
bool WriteNewFile(const std::string& target, const std::function<void(TStream& out)>& write)
{
    std::optional<TFileStream> out;
    try {
        out.emplace(target, fmCreate | fmExclusive);
    } catch (...) {
        return false;
    }
    try {
        write(*out);
        out->Close();
        return true;
    } catch (...) {
        out.reset();
        RemoveFile(target);
        return false;
    }
}

}  // namespace

bool WriteFileReplacing(const std::string& target, const std::function<void(TStream& out)>& write)
{
    if (target.empty()) return false;
    try {
        if (!FileExists(target)) return WriteNewFile(target, write);
        // A target we may not write (read-only, or held by another program)
        // fails as creating it over the old one would, not through the rename,
        // which on some systems replaces even a read-only file.
        { TFileStream probe(target, fmOpenReadWrite); }
        TTemporaryFile temporary(TemporarySibling(target));
        {
            TFileStream out(temporary.Name(), fmCreate | fmExclusive);
            write(out);
            out.Close();
        }
        // The new file takes the old one's permissions; failing that is no reason
        // to lose the picture just written.
        CopyFileMode(target, temporary.Name());
        if (!MoveFileOver(temporary.Name(), target)) return false;
        temporary.Release();
        return true;
    } catch (...) {
        return false;
    }
}
