#include "model/FileIo.h"

#include "model/AtomicFile.h"

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
    return SaveFileAtomically(path, data, size).ok();
}

}  // namespace quillon::model
