#pragma once
// What an operation outside the procedures (document files, CSV) tells its
// caller: success, or the message the user is to see.
#include <string>

#include "core/Prompts.h"

namespace quillon::model {

struct FileResult {
    enum class Status {
        Ok,
        // Refused with a message before anything went wrong: a document file
        // whose tag is not one of ours (the document is then open, emptied,
        // under the file's name), an export of an empty table.
        Refused,
        // Reading or writing failed: a document being read is emptied again,
        // a file being written keeps its old content.
        Failed,
    };
    Status status = Status::Ok;
    std::string message;
    Icon icon = Icon::None;

    bool ok() const { return status == Status::Ok; }
    static FileResult Success() { return FileResult{}; }
    static FileResult Refusal(std::string m) {
        return FileResult{Status::Refused, std::move(m), Icon::Exclamation};
    }
    static FileResult Failure(std::string m) {
        return FileResult{Status::Failed, std::move(m), Icon::Exclamation};
    }
};

}  // namespace quillon::model
