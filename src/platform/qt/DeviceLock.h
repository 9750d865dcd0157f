#pragma once
// Keeping a serial device to one program at a time. Programs on this system
// agree on two marks: a lock file "LCK..name" holding the owner's process
// number in the lock folder, and an exclusive flock() on the device itself.
// Either held by someone alive means the device is taken.
#include <string>
#include <vector>

namespace quillon::qt {

// The usual lock folders; tests give their own.
std::vector<std::string> DefaultLockFolders();

// The process number of a live program, other than this one, that holds a
// lock file for device in one of folders; 0 when none does. Lock files of
// programs that have ended are ignored.
int LiveLockOwner(const std::string& device, const std::vector<std::string>& folders);

// The process number a lock file's content names: decimal text (with or
// without padding and following lines) or a 4-byte binary number; 0 when
// it names none.
int PidInLockFile(const std::string& content);

// Takes an exclusive flock() on an open device without waiting. False when
// another open of the device holds it.
bool LockDeviceExclusively(int fd);

}  // namespace quillon::qt
