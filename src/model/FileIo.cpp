#include "model/FileIo.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace quillon::model {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

FileContent ReadWholeFile(const std::string& path, size_t maxBytes) {
    FileContent r;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return r;
    }
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        return r;
    }
    std::vector<uint8_t>& data = r.bytes;
    uint8_t buf[65536];
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f.get());
        if (n == 0) {
            break;
        }
        if (data.size() + n > maxBytes) {
            r.status = FileContent::Status::TooLarge;
            data.clear();
            return r;
        }
        data.insert(data.end(), buf, buf + n);
    }
    if (std::ferror(f.get())) {
        data.clear();
        return r;
    }
    r.status = FileContent::Status::Ok;
    return r;
}

bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (target.filename().empty() || fs::is_directory(target, ec)) {
        return false;
    }
    // The temporary file must sit in the target's folder, or the rename
    // could cross file systems and stop being atomic.
    fs::path tmp;
    FilePtr f;
    for (int attempt = 0; attempt < 100 && !f; ++attempt) {
        tmp = target;
        tmp += ".tmp" + std::to_string(attempt);
        // "x": never reuse a file that happens to exist under that name.
        f.reset(std::fopen(tmp.string().c_str(), "wbx"));
    }
    if (!f) {
        return false;
    }
    bool ok = (size == 0 || std::fwrite(data, 1, size, f.get()) == size);
    ok = (std::fflush(f.get()) == 0) && ok;
    ok = (std::fclose(f.release()) == 0) && ok;
    if (ok) {
        fs::rename(tmp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(tmp, ec);
    }
    return ok;
}

}  // namespace quillon::model
